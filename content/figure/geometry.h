// Small vector maths, signed distance primitives and the surface-nets mesher of the figure
// generator.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

struct V3 {
    float x = 0, y = 0, z = 0;
};
inline V3 operator+(V3 a, V3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline V3 operator-(V3 a, V3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline V3 operator*(V3 a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline V3 mul(V3 a, V3 b) {
    return {a.x * b.x, a.y * b.y, a.z * b.z};
}
inline float dot(V3 a, V3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline V3 cross(V3 a, V3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float length(V3 a) {
    return std::sqrt(dot(a, a));
}
inline V3 normalize(V3 a) {
    const float l = length(a);
    return l > 1e-12f ? a * (1.0f / l) : V3{0, 1, 0};
}
inline V3 lerp(V3 a, V3 b, float t) {
    return a + (b - a) * t;
}
inline float clampf(float v, float lo, float hi) {
    return std::min(hi, std::max(lo, v));
}
inline float smoothstep(float a, float b, float x) {
    const float t = clampf((x - a) / (b - a), 0, 1);
    return t * t * (3 - 2 * t);
}

// Polynomial smooth minimum: joins two distances with a fillet of about k.
inline float smin(float a, float b, float k) {
    if (k <= 0) return std::min(a, b);
    const float h = clampf(0.5f + 0.5f * (b - a) / k, 0, 1);
    return b + (a - b) * h - k * h * (1 - h);
}
inline float smax(float a, float b, float k) {
    return -smin(-a, -b, k);
}

// A capsule from a to b whose radius goes from ra to rb.
float sdCapsule(V3 p, V3 a, V3 b, float ra, float rb);
// An ellipsoid (approximate distance, good near the surface).
float sdEllipsoid(V3 p, V3 centre, V3 radii);
// A torus around the axis `axis` through `centre`.
float sdTorus(V3 p, V3 centre, V3 axis, float major, float minor);
// Distance from p to the segment a-b and the segment parameter of the nearest point.
float segmentDistance(V3 p, V3 a, V3 b, float* t = nullptr);

using Field = std::function<float(V3)>;

V3 fieldGradient(const Field& f, V3 p, float eps = 0.01f);

struct Mesh {
    std::vector<V3> positions;
    std::vector<V3> normals;
    std::vector<std::array<uint32_t, 3>> triangles;  // counter-clockwise seen from outside
};

// Polygonises the zero set of f (negative inside) in the box lo..hi with cells of size h: one
// vertex per crossed cell, projected onto the surface; normals from the field's gradient.
Mesh meshField(const Field& f, V3 lo, V3 hi, float h);

// Moves every vertex towards the mean of its neighbours (lambda) and back (mu): smooths the
// surface without shrinking it, then re-projects onto the field when one is given.
void smoothMesh(Mesh* mesh, int rounds, const Field* reproject);

// Drops triangles for which `keep` of the centroid is false.
void filterTriangles(Mesh* mesh, const std::function<bool(V3 centroid, V3 normal)>& keep);

// Collapses edges by quadric error until `keepRatio` of the triangles remain or the next
// collapse would move the surface by more than about `maxError`; boundary edges stay. Normals
// are taken again from `field`.
void decimateMesh(Mesh* mesh, float keepRatio, float maxError, const Field& field);
