// Distance primitives and the surface-nets mesher.
#include "content/figure/geometry.h"

#include <unordered_map>

float segmentDistance(V3 p, V3 a, V3 b, float* tOut) {
    const V3 ba = b - a;
    const float len2 = dot(ba, ba);
    const float t = len2 > 0 ? clampf(dot(p - a, ba) / len2, 0, 1) : 0;
    if (tOut) *tOut = t;
    return length(p - (a + ba * t));
}

float sdCapsule(V3 p, V3 a, V3 b, float ra, float rb) {
    float t = 0;
    const float d = segmentDistance(p, a, b, &t);
    return d - (ra + (rb - ra) * t);
}

float sdEllipsoid(V3 p, V3 c, V3 r) {
    const V3 q = p - c;
    const float k0 = length(V3{q.x / r.x, q.y / r.y, q.z / r.z});
    const float k1 = length(V3{q.x / (r.x * r.x), q.y / (r.y * r.y), q.z / (r.z * r.z)});
    if (k1 < 1e-9f) return -std::min(r.x, std::min(r.y, r.z));
    return k0 * (k0 - 1) / k1;
}

float sdTorus(V3 p, V3 c, V3 axis, float major, float minor) {
    const V3 q = p - c;
    const V3 n = normalize(axis);
    const float h = dot(q, n);
    const V3 radial = q - n * h;
    const float r = length(radial);
    const float dx = r - major;
    return std::sqrt(dx * dx + h * h) - minor;
}

V3 fieldGradient(const Field& f, V3 p, float e) {
    return V3{f({p.x + e, p.y, p.z}) - f({p.x - e, p.y, p.z}),
              f({p.x, p.y + e, p.z}) - f({p.x, p.y - e, p.z}),
              f({p.x, p.y, p.z + e}) - f({p.x, p.y, p.z - e})} *
           (0.5f / e);
}

Mesh meshField(const Field& f, V3 lo, V3 hi, float h) {
    const int nx = static_cast<int>(std::ceil((hi.x - lo.x) / h)) + 1;
    const int ny = static_cast<int>(std::ceil((hi.y - lo.y) / h)) + 1;
    const int nz = static_cast<int>(std::ceil((hi.z - lo.z) / h)) + 1;
    auto node = [&](int i, int j, int k) { return (static_cast<size_t>(k) * ny + j) * nx + i; };
    auto at = [&](int i, int j, int k) { return V3{lo.x + i * h, lo.y + j * h, lo.z + k * h}; };
    std::vector<float> value(static_cast<size_t>(nx) * ny * nz);
    for (int k = 0; k < nz; ++k)
        for (int j = 0; j < ny; ++j)
            for (int i = 0; i < nx; ++i) value[node(i, j, k)] = f(at(i, j, k));

    Mesh mesh;
    std::vector<int32_t> cellVertex(static_cast<size_t>(nx) * ny * nz, -1);
    static const int corner[8][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0},
                                     {0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}};
    static const int edges[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3},
                                     {4, 6}, {5, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    for (int k = 0; k + 1 < nz; ++k)
        for (int j = 0; j + 1 < ny; ++j)
            for (int i = 0; i + 1 < nx; ++i) {
                float v[8];
                int inside = 0;
                for (int c = 0; c < 8; ++c) {
                    v[c] = value[node(i + corner[c][0], j + corner[c][1], k + corner[c][2])];
                    inside += v[c] < 0;
                }
                if (inside == 0 || inside == 8) continue;
                V3 sum{};
                int count = 0;
                for (const auto& e : edges) {
                    const float a = v[e[0]], b = v[e[1]];
                    if ((a < 0) == (b < 0)) continue;
                    const float t = a / (a - b);
                    const V3 pa = at(i + corner[e[0]][0], j + corner[e[0]][1], k + corner[e[0]][2]);
                    const V3 pb = at(i + corner[e[1]][0], j + corner[e[1]][1], k + corner[e[1]][2]);
                    sum = sum + lerp(pa, pb, t);
                    ++count;
                }
                cellVertex[node(i, j, k)] = static_cast<int32_t>(mesh.positions.size());
                mesh.positions.push_back(sum * (1.0f / count));
            }

    auto quad = [&](int32_t a, int32_t b, int32_t c, int32_t d) {
        if (a < 0 || b < 0 || c < 0 || d < 0) return;
        const uint32_t A = a, B = b, C = c, D = d;
        if (length(mesh.positions[A] - mesh.positions[C]) <
            length(mesh.positions[B] - mesh.positions[D])) {
            mesh.triangles.push_back({A, B, C});
            mesh.triangles.push_back({A, C, D});
        } else {
            mesh.triangles.push_back({A, B, D});
            mesh.triangles.push_back({B, C, D});
        }
    };
    auto cell = [&](int i, int j, int k) -> int32_t {
        if (i < 0 || j < 0 || k < 0 || i + 1 >= nx || j + 1 >= ny || k + 1 >= nz) return -1;
        return cellVertex[node(i, j, k)];
    };
    for (int k = 0; k < nz; ++k)
        for (int j = 0; j < ny; ++j)
            for (int i = 0; i < nx; ++i) {
                const bool in = value[node(i, j, k)] < 0;
                if (i + 1 < nx && in != (value[node(i + 1, j, k)] < 0))
                    quad(cell(i, j - 1, k - 1), cell(i, j, k - 1), cell(i, j, k),
                         cell(i, j - 1, k));
                if (j + 1 < ny && in != (value[node(i, j + 1, k)] < 0))
                    quad(cell(i - 1, j, k - 1), cell(i, j, k - 1), cell(i, j, k),
                         cell(i - 1, j, k));
                if (k + 1 < nz && in != (value[node(i, j, k + 1)] < 0))
                    quad(cell(i - 1, j - 1, k), cell(i, j - 1, k), cell(i, j, k),
                         cell(i - 1, j, k));
            }

    // Onto the surface: two Newton steps along the gradient.
    for (V3& p : mesh.positions)
        for (int step = 0; step < 2; ++step) {
            const V3 g = fieldGradient(f, p, h * 0.25f);
            const float g2 = dot(g, g);
            if (g2 < 1e-8f) break;
            const V3 moved = p - g * (f(p) / g2);
            if (length(moved - p) > h) break;
            p = moved;
        }
    mesh.normals.resize(mesh.positions.size());
    for (size_t i = 0; i < mesh.positions.size(); ++i)
        mesh.normals[i] = normalize(fieldGradient(f, mesh.positions[i], h * 0.25f));
    // Wind every triangle counter-clockwise seen from outside.
    for (auto& t : mesh.triangles) {
        const V3 a = mesh.positions[t[0]], b = mesh.positions[t[1]], c = mesh.positions[t[2]];
        const V3 n = cross(b - a, c - a);
        const V3 outward = mesh.normals[t[0]] + mesh.normals[t[1]] + mesh.normals[t[2]];
        if (dot(n, outward) < 0) std::swap(t[1], t[2]);
    }
    return mesh;
}

void smoothMesh(Mesh* mesh, int rounds, const Field* reproject) {
    const size_t n = mesh->positions.size();
    std::vector<std::vector<uint32_t>> neighbours(n);
    for (const auto& t : mesh->triangles)
        for (int e = 0; e < 3; ++e) {
            neighbours[t[e]].push_back(t[(e + 1) % 3]);
            neighbours[t[(e + 1) % 3]].push_back(t[e]);
        }
    std::vector<V3> next(n);
    for (int round = 0; round < rounds * 2; ++round) {
        const float factor = round % 2 == 0 ? 0.5f : -0.53f;
        for (size_t i = 0; i < n; ++i) {
            if (neighbours[i].empty()) {
                next[i] = mesh->positions[i];
                continue;
            }
            V3 mean{};
            for (uint32_t j : neighbours[i]) mean = mean + mesh->positions[j];
            mean = mean * (1.0f / neighbours[i].size());
            next[i] = mesh->positions[i] + (mean - mesh->positions[i]) * factor;
        }
        mesh->positions.swap(next);
    }
    if (reproject) {
        for (V3& p : mesh->positions) {
            const V3 g = fieldGradient(*reproject, p);
            const float g2 = dot(g, g);
            if (g2 > 1e-8f) p = p - g * ((*reproject)(p) / g2);
        }
        for (size_t i = 0; i < n; ++i)
            mesh->normals[i] = normalize(fieldGradient(*reproject, mesh->positions[i]));
    }
}

void filterTriangles(Mesh* mesh, const std::function<bool(V3, V3)>& keep) {
    std::vector<std::array<uint32_t, 3>> kept;
    for (const auto& t : mesh->triangles) {
        const V3 a = mesh->positions[t[0]], b = mesh->positions[t[1]], c = mesh->positions[t[2]];
        if (keep((a + b + c) * (1.0f / 3), normalize(cross(b - a, c - a)))) kept.push_back(t);
    }
    mesh->triangles.swap(kept);
}
