// The TMB model writer: textures, materials, meshes of 52-byte vertices, bone offsets, placements.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

using Matrix16 = std::array<float, 16>;  // row-major, _11 ... _44

Matrix16 identity16();

struct TmbTexture {
    std::string name;  // at most 31 bytes are kept
    int width = 0, height = 0;
    std::vector<uint32_t> argb;  // width x height, top row first; missing pixels are written as 0
};

struct TmbMaterial {
    std::array<float, 4> diffuse{1, 1, 1, 1};
    std::array<float, 4> ambient{1, 1, 1, 1};
    std::array<float, 4> specular{0, 0, 0, 0};
    std::array<float, 4> emissive{0, 0, 0, 0};
    float power = 0;
    int32_t texture = 0;  // record number in the texture list
};

struct TmbVertex {
    std::array<float, 3> position{};
    std::array<float, 3> weights{};  // the fourth is 1 minus their sum
    std::array<uint8_t, 4> bones{};
    std::array<float, 3> normal{0, 0, 1};
    uint32_t colour = 0xFFFFFFFF;  // ARGB
    std::array<float, 2> uv{};
};

struct TmbRange {
    int32_t material = 0, firstVertex = 0, triangleCount = 0;
};

struct TmbMesh {
    std::string name;
    Matrix16 matrix = identity16();
    bool oneSided = true;
    std::vector<TmbRange> ranges;     // written as given, then a terminator (first vertex -1)
    std::vector<TmbVertex> vertices;  // three per triangle
};

struct TmbPlacement {
    std::string name;
    std::array<float, 3> position{}, rotation{}, scale{1, 1, 1};
};

struct TmbModel {
    std::vector<TmbTexture> textures;
    std::vector<TmbMaterial> materials;
    std::vector<TmbMesh> meshes;
    std::vector<Matrix16> boneOffsets;
    std::vector<TmbPlacement> placements;
};

std::vector<uint8_t> writeTmb(const TmbModel& model);
