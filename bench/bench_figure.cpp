// The benchmarks' heroine-like figure: a skinned cylinder body and twelve costume parts.
#include "bench/bench_figure.h"

#include <algorithm>
#include <cmath>

namespace {
// A closed cylinder wall around the y axis from y0 to y1, skinned along a chain of bones by
// height (each vertex between two neighbouring bones), textured and one-sided.
TmbMesh cylinder(const char* name, float radius, float y0, float y1, int rings, int segments) {
    TmbMesh mesh;
    mesh.name = name;
    auto at = [&](int ring, int segment) {
        const float t = static_cast<float>(ring) / rings;
        const float a = 6.2831853f * static_cast<float>(segment) / segments;
        TmbVertex v;
        v.position = {radius * std::cos(a), y0 + (y1 - y0) * t, radius * std::sin(a)};
        v.normal = {std::cos(a), 0, std::sin(a)};
        const float bone = (y0 + (y1 - y0) * t) / 16.0f * (kBones - 1);
        const int b0 = std::clamp(static_cast<int>(bone), 0, kBones - 2);
        v.bones = {static_cast<uint8_t>(b0), static_cast<uint8_t>(b0 + 1), 0, 0};
        const float w = std::clamp(1.0f - (bone - static_cast<float>(b0)), 0.0f, 1.0f);
        v.weights = {w, 1 - w, 0};
        v.uv = {static_cast<float>(segment) / segments, t};
        v.colour = 0xFFFFFFFF;
        return v;
    };
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < segments; ++s) {
            const TmbVertex a = at(r, s), b = at(r, s + 1), c = at(r + 1, s + 1), d = at(r + 1, s);
            mesh.vertices.insert(mesh.vertices.end(), {a, c, b, a, d, c});
        }
    mesh.ranges = {{0, 0, static_cast<int32_t>(mesh.vertices.size() / 3)}};
    return mesh;
}

}  // namespace

TmbModel figureModel(const char* name, float radius, float y0, float y1, int rings, int segments) {
    TmbModel m;
    TmbTexture t{"skin", 256, 256, {}};
    t.argb.resize(256 * 256);
    for (size_t i = 0; i < t.argb.size(); ++i)
        t.argb[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
    m.textures = {t};
    TmbMaterial material;
    material.specular = {0.3f, 0.3f, 0.3f, 1};
    material.power = 12;
    m.materials = {material};
    m.meshes = {cylinder(name, radius, y0, y1, rings, segments)};
    for (int b = 0; b < kBones; ++b) {
        Matrix16 offset = identity16();
        offset[13] = -16.0f * b / (kBones - 1);
        m.boneOffsets.push_back(offset);
    }
    return m;
}

// 20,400 vertices: 100 rings of 34 segments.
TmbModel bodyModel() {
    return figureModel("body", 1.5f, 0, 16, 100, 34);
}

// Twelve costume parts over parts of the height, about 6,000 vertices each.
TmbModel partModel(int i) {
    const float y0 = static_cast<float>(i % 6) * 2.5f;
    return figureModel("part", 1.55f + 0.02f * static_cast<float>(i), y0, y0 + 3.0f, 30, 34);
}

MotionData swayMotion() {
    MotionData m;
    m.boneCount = kBones;
    m.frameCount = 90;
    for (int f = 0; f < 90; ++f)
        for (int b = 0; b < kBones; ++b) {
            Matrix16 r = identity16();
            const float a = 0.004f * b * std::sin(f * 0.07f);
            r[0] = std::cos(a), r[1] = std::sin(a), r[4] = -std::sin(a), r[5] = std::cos(a);
            r[13] = 16.0f * b / (kBones - 1);
            m.matrices.push_back(r);
        }
    return m;
}
