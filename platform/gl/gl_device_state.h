// The fixed-function state a render device records between draws, with Direct3D 8's defaults.
#pragma once

#include <array>

#include "platform/render_device.h"

constexpr int kMaxLights = 8;
constexpr int kTextureStages = 8;
constexpr int kStageStates = 32;

struct DeviceState {
    std::array<uint32_t, D3DRS_MAX> renderStates{};
    D3DMATRIX view{};
    D3DMATRIX projection{};
    std::array<D3DMATRIX, kWorldMatrixCount> world{};
    std::array<D3DLIGHT8, kMaxLights> lights{};
    std::array<bool, kMaxLights> lightEnabled{};
    D3DMATERIAL8 material{};
    std::array<Texture*, kTextureStages> textures{};
    std::array<std::array<uint32_t, kStageStates>, kTextureStages> stageStates{};
    uint32_t vertexShader = 0;
    VertexBuffer* stream = nullptr;
    uint32_t streamStride = 0;
    D3DVIEWPORT8 viewport{};
    // Rises with every change of the view or a world matrix, so that the pipeline uploads
    // its matrix palette again only when it changed.
    uint64_t transformGeneration = 0;

    // The device's state right after creation.
    void setDefaults(int backBufferWidth, int backBufferHeight, bool depthBuffer);
};

// 4x4 identity.
D3DMATRIX identityMatrix();
