// Distance primitives and the surface-nets mesher.
#include "content/figure/geometry.h"

#include <algorithm>
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

namespace {
// A symmetric 4x4 quadric: a a^T for the plane (n, d) summed over faces.
struct Quadric {
    double q[10] = {};
    void addPlane(V3 n, double d, double weight) {
        const double a = n.x, b = n.y, c = n.z;
        const double v[10] = {a * a, a * b, a * c, a * d, b * b, b * c, b * d, c * c, c * d, d * d};
        for (int i = 0; i < 10; ++i) q[i] += v[i] * weight;
    }
    void add(const Quadric& o) {
        for (int i = 0; i < 10; ++i) q[i] += o.q[i];
    }
    double error(V3 p) const {
        const double x = p.x, y = p.y, z = p.z;
        return q[0] * x * x + 2 * q[1] * x * y + 2 * q[2] * x * z + 2 * q[3] * x + q[4] * y * y +
               2 * q[5] * y * z + 2 * q[6] * y + q[7] * z * z + 2 * q[8] * z + q[9];
    }
};

struct Candidate {
    double cost;
    uint32_t a, b;
    uint32_t versionA, versionB;
    V3 target;
    bool operator<(const Candidate& o) const { return cost > o.cost; }
};
}  // namespace

void decimateMesh(Mesh* mesh, float keepRatio, float maxError, const Field& field) {
    std::vector<V3>& P = mesh->positions;
    auto& T = mesh->triangles;
    const size_t nv = P.size();
    std::vector<uint8_t> faceAlive(T.size(), 1), vertexAlive(nv, 1), locked(nv, 0);
    std::vector<std::vector<uint32_t>> faces(nv);
    std::vector<Quadric> Q(nv);
    std::vector<uint32_t> version(nv, 0);
    for (uint32_t f = 0; f < T.size(); ++f) {
        const V3 a = P[T[f][0]], b = P[T[f][1]], c = P[T[f][2]];
        const V3 n = cross(b - a, c - a);
        const float area = length(n);
        if (area < 1e-12f) continue;
        const V3 u = n * (1.0f / area);
        for (uint32_t v : T[f]) {
            faces[v].push_back(f);
            Q[v].addPlane(u, -dot(u, a), area);
        }
    }
    // Boundary vertices: on an edge with one face.
    {
        std::unordered_map<uint64_t, int> edgeUse;
        for (const auto& t : T)
            for (int e = 0; e < 3; ++e) {
                const uint32_t a = std::min(t[e], t[(e + 1) % 3]),
                               b = std::max(t[e], t[(e + 1) % 3]);
                ++edgeUse[static_cast<uint64_t>(a) << 32 | b];
            }
        for (const auto& [key, count] : edgeUse)
            if (count != 2) locked[key >> 32] = locked[key & 0xFFFFFFFFu] = 1;
    }
    auto neighbours = [&](uint32_t v) {
        std::vector<uint32_t> n;
        for (uint32_t f : faces[v])
            if (faceAlive[f])
                for (uint32_t w : T[f])
                    if (w != v && std::find(n.begin(), n.end(), w) == n.end()) n.push_back(w);
        return n;
    };
    std::vector<Candidate> heap;
    auto consider = [&](uint32_t a, uint32_t b) {
        if (locked[a] || locked[b]) return;
        Quadric q = Q[a];
        q.add(Q[b]);
        Candidate best{1e300, a, b, version[a], version[b], {}};
        for (V3 p : {P[a], P[b], (P[a] + P[b]) * 0.5f}) {
            const double e = q.error(p);
            if (e < best.cost) {
                best.cost = e;
                best.target = p;
            }
        }
        heap.push_back(best);
        std::push_heap(heap.begin(), heap.end());
    };
    for (uint32_t v = 0; v < nv; ++v)
        for (uint32_t w : neighbours(v))
            if (v < w) consider(v, w);

    size_t alive = 0;
    for (uint8_t f : faceAlive) alive += f;
    const size_t goal = static_cast<size_t>(alive * keepRatio);
    const double limit = static_cast<double>(maxError) * maxError;
    while (alive > goal && !heap.empty()) {
        std::pop_heap(heap.begin(), heap.end());
        const Candidate c = heap.back();
        heap.pop_back();
        if (!vertexAlive[c.a] || !vertexAlive[c.b] || version[c.a] != c.versionA ||
            version[c.b] != c.versionB)
            continue;
        // Quadric errors are summed over face areas: compare per unit of area around the edge.
        double area = 0;
        for (uint32_t f : faces[c.a])
            if (faceAlive[f])
                area += 0.5 * length(cross(P[T[f][1]] - P[T[f][0]], P[T[f][2]] - P[T[f][0]]));
        if (area > 0 && c.cost / area > limit) continue;
        // Keep the surface a manifold: the edge's ends share exactly two neighbours.
        const std::vector<uint32_t> na = neighbours(c.a), nb = neighbours(c.b);
        int common = 0;
        for (uint32_t w : na) common += std::find(nb.begin(), nb.end(), w) != nb.end();
        if (common != 2) continue;
        // No face may turn over or collapse.
        bool ok = true;
        for (uint32_t v : {c.a, c.b})
            for (uint32_t f : faces[v]) {
                if (!faceAlive[f]) continue;
                const auto& t = T[f];
                const bool hasA = t[0] == c.a || t[1] == c.a || t[2] == c.a;
                const bool hasB = t[0] == c.b || t[1] == c.b || t[2] == c.b;
                if (hasA && hasB) continue;
                V3 p[3], q[3];
                for (int k = 0; k < 3; ++k) {
                    p[k] = P[t[k]];
                    q[k] = (t[k] == c.a || t[k] == c.b) ? c.target : p[k];
                }
                const V3 before = cross(p[1] - p[0], p[2] - p[0]);
                const V3 after = cross(q[1] - q[0], q[2] - q[0]);
                if (length(after) < 1e-9f || dot(normalize(before), normalize(after)) < 0.4f)
                    ok = false;
            }
        if (!ok) continue;
        P[c.a] = c.target;
        Q[c.a].add(Q[c.b]);
        vertexAlive[c.b] = 0;
        ++version[c.a];
        for (uint32_t f : faces[c.b]) {
            if (!faceAlive[f]) continue;
            auto& t = T[f];
            if (t[0] == c.a || t[1] == c.a || t[2] == c.a) {
                faceAlive[f] = 0;
                --alive;
                continue;
            }
            for (uint32_t& v : t)
                if (v == c.b) v = c.a;
            faces[c.a].push_back(f);
        }
        faces[c.b].clear();
        std::vector<uint32_t> kept;
        for (uint32_t f : faces[c.a])
            if (faceAlive[f]) kept.push_back(f);
        faces[c.a].swap(kept);
        for (uint32_t w : neighbours(c.a)) {
            ++version[w];
            consider(c.a, w);
        }
        // Neighbours' other edges changed version too: queue them again.
        for (uint32_t w : neighbours(c.a))
            for (uint32_t x : neighbours(w))
                if (x != c.a) consider(w, x);
    }

    std::vector<int32_t> remap(nv, -1);
    Mesh out;
    for (uint32_t v = 0; v < nv; ++v)
        if (vertexAlive[v] && !faces[v].empty()) {
            remap[v] = static_cast<int32_t>(out.positions.size());
            out.positions.push_back(P[v]);
        }
    for (uint32_t f = 0; f < T.size(); ++f)
        if (faceAlive[f]) {
            const auto& t = T[f];
            if (remap[t[0]] < 0 || remap[t[1]] < 0 || remap[t[2]] < 0) continue;
            out.triangles.push_back({static_cast<uint32_t>(remap[t[0]]),
                                     static_cast<uint32_t>(remap[t[1]]),
                                     static_cast<uint32_t>(remap[t[2]])});
        }
    out.normals.resize(out.positions.size());
    for (size_t i = 0; i < out.positions.size(); ++i)
        out.normals[i] = normalize(fieldGradient(field, out.positions[i]));
    *mesh = std::move(out);
}
