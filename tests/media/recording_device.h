// A render device that only records what it is asked: call log, current states and draws.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/null_render_device.h"

// What the device hands out: memory-backed textures and vertex buffers.
using RecordedTexture = NullTexture;
using RecordedVertexBuffer = NullVertexBuffer;

struct RecordedDraw {
    VertexBuffer* stream;
    uint32_t startVertex, primitiveCount;
    Texture* texture;
    D3DMATERIAL8 material;
    uint32_t cullMode, vertexBlend;
};

class RecordingDevice : public NullRenderDevice {
public:
    HRESULT setRenderState(D3DRENDERSTATETYPE state, uint32_t value) override;
    HRESULT setTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix) override;
    HRESULT setMaterial(const D3DMATERIAL8& m) override;
    HRESULT setTexture(uint32_t stage, Texture* texture) override;
    HRESULT setTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type,
                                 uint32_t value) override;
    HRESULT createTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                          D3DFORMAT format, D3DPOOL pool,
                          std::unique_ptr<Texture>* texture) override;
    HRESULT createVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, D3DPOOL pool,
                               std::unique_ptr<VertexBuffer>* buffer) override;
    HRESULT setVertexShader(uint32_t fvf) override;
    HRESULT setStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t stride) override;
    HRESULT drawPrimitive(D3DPRIMITIVETYPE type, uint32_t start, uint32_t count) override;

    std::vector<std::string> log;  // one line per call, e.g. "rs 27 1", "world 3", "draw 0 2"
    std::array<uint32_t, D3DRS_MAX>& states = states_;
    std::array<D3DMATRIX, kWorldMatrixCount>& world = world_;
    std::vector<RecordedDraw> draws;
    HRESULT failTextures = D3D_OK, failVertexBuffers = D3D_OK;

private:
    D3DMATERIAL8 material_{};
    Texture* texture_ = nullptr;
    VertexBuffer* stream_ = nullptr;
};
