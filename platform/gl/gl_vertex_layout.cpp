// Flexible vertex format decoding: elements in Direct3D 8's fixed order, packed without gaps.
#include "platform/gl/gl_vertex_layout.h"

#include "platform/d3d8_types.h"

namespace {
constexpr uint32_t kPositionMask = 0x00E;
constexpr uint32_t kPositionXyz = 0x002;
constexpr uint32_t kPositionXyzB1 = 0x006;
constexpr uint32_t kPointSize = 0x020;
constexpr uint32_t kSpecular = 0x080;
constexpr uint32_t kTexCountShift = 8;
constexpr uint32_t kTexCountMask = 0xF00;
constexpr uint32_t kLastBetaUbyte4 = 0x1000;
}  // namespace

VertexLayout vertexLayout(uint32_t fvf) {
    VertexLayout layout;
    const uint32_t position = fvf & kPositionMask;
    int betas = 0;
    if (position == kPositionXyz) {
        betas = 0;
    } else if (position >= kPositionXyzB1) {
        betas = static_cast<int>((position - kPositionXyzB1) / 2 + 1);  // B1..B5
    } else {
        return layout;  // pre-transformed positions are not drawn by this pipeline
    }
    uint32_t offset = 12;
    layout.weightOffset = offset;
    layout.paletteIndices = betas > 0 && (fvf & kLastBetaUbyte4);
    layout.weightCount = layout.paletteIndices ? betas - 1 : betas;
    offset += 4u * static_cast<uint32_t>(layout.weightCount);
    if (layout.paletteIndices) {
        layout.indexOffset = offset;
        offset += 4;
    }
    if (fvf & D3DFVF_NORMAL) {
        layout.normal = true;
        layout.normalOffset = offset;
        offset += 12;
    }
    if (fvf & kPointSize) offset += 4;
    if (fvf & D3DFVF_DIFFUSE) {
        layout.diffuse = true;
        layout.diffuseOffset = offset;
        offset += 4;
    }
    if (fvf & kSpecular) {
        layout.specular = true;
        layout.specularOffset = offset;
        offset += 4;
    }
    layout.texCoordSets = static_cast<int>((fvf & kTexCountMask) >> kTexCountShift);
    layout.texCoordOffset = offset;
    offset += 8u * static_cast<uint32_t>(layout.texCoordSets);
    layout.size = offset;
    layout.valid = true;
    return layout;
}
