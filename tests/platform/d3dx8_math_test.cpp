// Matrix and vector operations give the documented results.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "platform/d3dx8_math.h"

namespace {
D3DXVECTOR4 transform(const D3DXMATRIX& m, float x, float y, float z) {
    D3DXVECTOR3 v(x, y, z);
    D3DXVECTOR4 out;
    D3DXVec3Transform(&out, &v, &m);
    return out;
}
}  // namespace

TEST(D3DXMath, TranslationAppliesBeforeRotationInAProduct) {
    D3DXMATRIX t, r, m;
    D3DXMatrixTranslation(&t, 1, 0, 0);
    D3DXMatrixRotationY(&r, 3.14159265f / 2);
    D3DXMatrixMultiply(&m, &t, &r);
    const D3DXVECTOR4 p = transform(m, 0, 0, 0);
    EXPECT_NEAR(p.x, 0, 1e-6);
    EXPECT_NEAR(p.y, 0, 1e-6);
    EXPECT_NEAR(p.z, -1, 1e-6);
    EXPECT_FLOAT_EQ(p.w, 1);
    // The product may be written over one of its inputs.
    D3DXMatrixMultiply(&t, &t, &r);
    EXPECT_EQ(std::memcmp(&t, &m, sizeof m), 0);
}

TEST(D3DXMath, ConstructorsPutValuesWhereDirect3DDoes) {
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, 1, 2, 3);
    EXPECT_EQ(m._41, 1);
    EXPECT_EQ(m._42, 2);
    EXPECT_EQ(m._43, 3);
    D3DXMatrixScaling(&m, 2, 3, 4);
    EXPECT_EQ(m._11, 2);
    EXPECT_EQ(m._22, 3);
    EXPECT_EQ(m._33, 4);
    EXPECT_EQ(m._44, 1);
    const float a = 0.5f;
    D3DXMatrixRotationX(&m, a);
    EXPECT_FLOAT_EQ(m._22, std::cos(a));
    EXPECT_FLOAT_EQ(m._23, std::sin(a));
    EXPECT_FLOAT_EQ(m._32, -std::sin(a));
    D3DXMatrixRotationY(&m, a);
    EXPECT_FLOAT_EQ(m._13, -std::sin(a));
    EXPECT_FLOAT_EQ(m._31, std::sin(a));
}

TEST(D3DXMath, LookAtMapsTheTargetOntoTheNegativeZAxis) {
    D3DXMATRIX view;
    const D3DXVECTOR3 eye(0, 8, 15), target(0, 8, 0), up(0, 1, 0);
    D3DXMatrixLookAtRH(&view, &eye, &target, &up);
    const D3DXVECTOR4 p = transform(view, 0, 8, 0);
    EXPECT_NEAR(p.x, 0, 1e-5);
    EXPECT_NEAR(p.y, 0, 1e-5);
    EXPECT_NEAR(p.z, -15, 1e-5);
}

TEST(D3DXMath, PerspectiveFovHasTheDocumentedScales) {
    D3DXMATRIX p;
    D3DXMatrixPerspectiveFovRH(&p, 0.7853982f, 4.0f / 3.0f, 1.0f, 1000.0f);
    EXPECT_NEAR(p._22, 2.4142137f, 1e-5);
    EXPECT_NEAR(p._11, 1.8106602f, 1e-5);
    EXPECT_FLOAT_EQ(p._33, 1000.0f / (1.0f - 1000.0f));
    EXPECT_FLOAT_EQ(p._34, -1.0f);
    EXPECT_FLOAT_EQ(p._43, 1000.0f / (1.0f - 1000.0f));
    EXPECT_FLOAT_EQ(p._44, 0.0f);
}

TEST(D3DXMath, ProjectionOfAPointOnTheViewAxisLandsInTheViewportCentre) {
    D3DXMATRIX world, view, projection;
    D3DXMatrixIdentity(&world);
    const D3DXVECTOR3 eye(3, 4, 20), target(3, 4, 0), up(0, 1, 0);
    D3DXMatrixLookAtRH(&view, &eye, &target, &up);
    D3DXMatrixPerspectiveFovRH(&projection, 0.7853982f, 4.0f / 3.0f, 1.0f, 1000.0f);
    const D3DVIEWPORT8 viewport{10, 20, 800, 600, 0.0f, 1.0f};
    D3DXVECTOR3 point(3, 4, -5), out;
    D3DXVec3Project(&out, &point, &viewport, &projection, &view, &world);
    EXPECT_NEAR(out.x, 410, 1e-3);
    EXPECT_NEAR(out.y, 320, 1e-3);
    EXPECT_GT(out.z, 0);
    EXPECT_LT(out.z, 1);
}

TEST(D3DXMath, NormalizeKeepsTheZeroVector) {
    D3DXVECTOR3 zero, out(1, 1, 1);
    D3DXVec3Normalize(&out, &zero);
    EXPECT_EQ(out.x, 0);
    EXPECT_EQ(out.y, 0);
    EXPECT_EQ(out.z, 0);
    D3DXVECTOR3 v(3, 0, 4);
    D3DXVec3Normalize(&out, &v);
    EXPECT_FLOAT_EQ(out.x, 0.6f);
    EXPECT_FLOAT_EQ(out.z, 0.8f);
}

TEST(D3DXMath, Vec4TransformUsesW) {
    D3DXMATRIX t;
    D3DXMatrixTranslation(&t, 5, 6, 7);
    D3DXVECTOR4 direction{1, 2, 3, 0}, out;
    D3DXVec4Transform(&out, &direction, &t);
    EXPECT_EQ(out.x, 1);
    EXPECT_EQ(out.y, 2);
    EXPECT_EQ(out.z, 3);
    EXPECT_EQ(out.w, 0);
}
