// The fixed-function states a draw uses, reduced to what changes the generated GLSL program.
#pragma once

#include <cstdint>
#include <string>

enum class ColourSource : uint8_t { kMaterial = 0, kDiffuse = 1, kSpecular = 2 };

struct PipelineKey {
    bool lighting = false;
    int lightCount = 0;     // enabled directional lights, 0..8
    int blendMatrices = 1;  // matrices blended per vertex, 1..4
    bool indexed = false;   // matrices named by the vertex's palette indices
    int vertexWeights = 0;  // weights the vertex carries, 0..4
    bool normal = false;
    bool diffuse = false;   // the vertex carries a diffuse colour
    bool specular = false;  // the vertex carries a specular colour
    bool texCoord = false;
    bool specularEnable = false;
    bool normalizeNormals = false;
    bool localViewer = true;
    ColourSource diffuseSource = ColourSource::kMaterial;
    ColourSource ambientSource = ColourSource::kMaterial;
    ColourSource specularSource = ColourSource::kMaterial;
    ColourSource emissiveSource = ColourSource::kMaterial;
    bool flat = false;
    bool textured = false;
    uint32_t alphaFunc = 0;   // a D3DCMPFUNC, 0 when the alpha test is off
    bool remapDepth = false;  // clip depth -w..w instead of 0..w (no clip control)

    uint64_t packed() const;
};

std::string fixedFunctionVertexShader(const PipelineKey& key);
std::string fixedFunctionFragmentShader(const PipelineKey& key);
