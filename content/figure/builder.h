// Turns polygonised fields into skinned TMB meshes and assembles heroine models.
#pragma once

#include <functional>
#include <string>

#include "content/figure/geometry.h"
#include "content/figure/paint.h"
#include "content/figure/skeleton.h"

struct SurfaceStyle {
    // Material index of a triangle (by centroid and face normal).
    std::function<int(V3 centroid, V3 normal)> material = [](V3, V3) { return 0; };
    // Texture coordinates of a vertex; `wrapU` is the period of u for cylindrical maps (0: none).
    std::function<std::array<float, 2>(V3 p, V3 n)> uv = [](V3, V3) {
        return std::array<float, 2>{0.5f, 0.5f};
    };
    float wrapU = 0;
    std::function<Influence(V3 p)> skin;  // none: bone 0
    bool oneSided = true;
};

TmbMesh buildMesh(const std::string& name, const Mesh& mesh, const SurfaceStyle& style);

// A heroine model: the shared skeleton, textures and plain materials (one per texture).
struct ModelBuilder {
    TmbModel model;
    explicit ModelBuilder(bool skinned);
    // Adds a texture with a material of the given ambient level; returns the material index.
    int material(TmbTexture texture, float ambient = 0.55f, float specular = 0, float power = 0);
    void add(TmbMesh mesh) { model.meshes.push_back(std::move(mesh)); }
};

// The body's field and its skin weights (by nearest body primitive, blended at the joints).
float bodyField(V3 p);
Influence bodySkin(V3 p);
// Only the primitives of the listed bones.
float bodyFieldOf(V3 p, std::initializer_list<int> bones);
// The head alone (for the face, the eyes and the hair).
float headField(V3 p);
// A bone-rigid influence.
Influence rigid(int bone);
// Cylindrical texture coordinates around the vertical axis: `repeat` tiles around, `scale` per unit
// up.
std::function<std::array<float, 2>(V3, V3)> cylinderUv(float repeat, float scale);
