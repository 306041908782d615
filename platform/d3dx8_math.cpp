// The D3DX8 matrix and vector operations (row vectors, p' = p x M).
#include "platform/d3dx8_math.h"

#include <cmath>

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out) {
    *out = D3DXMATRIX();
    out->_11 = out->_22 = out->_33 = out->_44 = 1.0f;
    return out;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
    D3DXMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a->m[i][0] * b->m[0][j] + a->m[i][1] * b->m[1][j] +
                        a->m[i][2] * b->m[2][j] + a->m[i][3] * b->m[3][j];
    *out = r;
    return out;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z) {
    D3DXMatrixIdentity(out);
    out->_41 = x;
    out->_42 = y;
    out->_43 = z;
    return out;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz) {
    D3DXMatrixIdentity(out);
    out->_11 = sx;
    out->_22 = sy;
    out->_33 = sz;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    D3DXMatrixIdentity(out);
    out->_22 = c;
    out->_23 = s;
    out->_32 = -s;
    out->_33 = c;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    D3DXMatrixIdentity(out);
    out->_11 = c;
    out->_13 = -s;
    out->_31 = s;
    out->_33 = c;
    return out;
}

namespace {
D3DXVECTOR3 sub(const D3DVECTOR& a, const D3DVECTOR& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
D3DXVECTOR3 cross(const D3DVECTOR& a, const D3DVECTOR& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(const D3DVECTOR& a, const D3DVECTOR& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
}  // namespace

D3DXMATRIX* D3DXMatrixLookAtRH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* target,
                               const D3DXVECTOR3* up) {
    D3DXVECTOR3 z = sub(*eye, *target);
    D3DXVec3Normalize(&z, &z);
    D3DXVECTOR3 x = cross(*up, z);
    D3DXVec3Normalize(&x, &x);
    const D3DXVECTOR3 y = cross(z, x);
    *out = D3DXMATRIX();
    out->_11 = x.x, out->_12 = y.x, out->_13 = z.x;
    out->_21 = x.y, out->_22 = y.y, out->_23 = z.y;
    out->_31 = x.z, out->_32 = y.z, out->_33 = z.z;
    out->_41 = -dot(x, *eye), out->_42 = -dot(y, *eye), out->_43 = -dot(z, *eye);
    out->_44 = 1.0f;
    return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovRH(D3DXMATRIX* out, float fovy, float aspect, float zn,
                                       float zf) {
    const float h = std::cos(fovy / 2) / std::sin(fovy / 2);
    const float w = h / aspect;
    *out = D3DXMATRIX();
    out->_11 = w;
    out->_22 = h;
    out->_33 = zf / (zn - zf);
    out->_34 = -1.0f;
    out->_43 = zn * zf / (zn - zf);
    return out;
}

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v) {
    const float length = std::sqrt(dot(*v, *v));
    if (length == 0.0f) {
        *out = D3DXVECTOR3();
    } else {
        *out = D3DXVECTOR3(v->x / length, v->y / length, v->z / length);
    }
    return out;
}

D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* out, const D3DXVECTOR4* v, const D3DXMATRIX* m) {
    const D3DXVECTOR4 in = *v;
    out->x = in.x * m->_11 + in.y * m->_21 + in.z * m->_31 + in.w * m->_41;
    out->y = in.x * m->_12 + in.y * m->_22 + in.z * m->_32 + in.w * m->_42;
    out->z = in.x * m->_13 + in.y * m->_23 + in.z * m->_33 + in.w * m->_43;
    out->w = in.x * m->_14 + in.y * m->_24 + in.z * m->_34 + in.w * m->_44;
    return out;
}

D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    const D3DXVECTOR4 in{v->x, v->y, v->z, 1.0f};
    return D3DXVec4Transform(out, &in, m);
}

D3DXVECTOR3* D3DXVec3Project(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT8* viewport,
                             const D3DXMATRIX* projection, const D3DXMATRIX* view,
                             const D3DXMATRIX* world) {
    D3DXMATRIX m;
    D3DXMatrixMultiply(&m, world, view);
    D3DXMatrixMultiply(&m, &m, projection);
    D3DXVECTOR4 p;
    D3DXVec3Transform(&p, v, &m);
    if (p.w != 0.0f) {
        p.x /= p.w;
        p.y /= p.w;
        p.z /= p.w;
    }
    out->x = static_cast<float>(viewport->X) + (1.0f + p.x) * static_cast<float>(viewport->Width) / 2;
    out->y = static_cast<float>(viewport->Y) + (1.0f - p.y) * static_cast<float>(viewport->Height) / 2;
    out->z = viewport->MinZ + p.z * (viewport->MaxZ - viewport->MinZ);
    return out;
}
