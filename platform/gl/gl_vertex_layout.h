// Where each element of a flexible-vertex-format vertex sits, as Direct3D 8 packs them.
#pragma once

#include <cstdint>

struct VertexLayout {
    bool valid = false;  // untransformed positions only (XYZ, XYZB1..XYZB5)
    uint32_t size = 0;   // bytes per vertex
    int weightCount =
        0;  // float blend weights stored (the last beta slot excluded when it holds indices)
    uint32_t weightOffset = 0;
    bool paletteIndices = false;  // D3DFVF_LASTBETA_UBYTE4: four bytes after the weights
    uint32_t indexOffset = 0;
    bool normal = false;
    uint32_t normalOffset = 0;
    bool diffuse = false;
    uint32_t diffuseOffset = 0;
    bool specular = false;
    uint32_t specularOffset = 0;
    int texCoordSets = 0;  // two floats each; only set 0 is used
    uint32_t texCoordOffset = 0;
};

VertexLayout vertexLayout(uint32_t fvf);
