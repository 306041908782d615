// A render device that only records what it is asked: call log, current states and draws.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/render_device.h"

struct RecordedTexture : Texture {
    RecordedTexture(int w, int h) : w_(w), h_(h), texels(static_cast<size_t>(w) * h) {}
    int width() const override { return w_; }
    int height() const override { return h_; }
    D3DFORMAT format() const override { return D3DFMT_A8R8G8B8; }
    HRESULT lockRect(uint32_t, D3DLOCKED_RECT* locked, const RECT*, uint32_t) override;
    HRESULT unlockRect(uint32_t) override { return D3D_OK; }
    HRESULT addDirtyRect(const RECT* rect) override;

    int w_, h_;
    std::vector<uint32_t> texels;
    bool markedDirty = false;
};

struct RecordedVertexBuffer : VertexBuffer {
    RecordedVertexBuffer(uint32_t length, uint32_t fvf) : bytes(length), fvf_(fvf) {}
    uint32_t size() const override { return static_cast<uint32_t>(bytes.size()); }
    uint32_t format() const override { return fvf_; }
    HRESULT lock(uint32_t, uint32_t, uint8_t** data, uint32_t) override;
    HRESULT unlock() override { return D3D_OK; }

    std::vector<uint8_t> bytes;
    uint32_t fvf_;
};

struct RecordedDraw {
    VertexBuffer* stream;
    uint32_t startVertex, primitiveCount;
    Texture* texture;
    D3DMATERIAL8 material;
    uint32_t cullMode, vertexBlend;
};

class RecordingDevice : public RenderDevice {
public:
    RecordingDevice();

    HRESULT setRenderState(D3DRENDERSTATETYPE state, uint32_t value) override;
    uint32_t renderState(D3DRENDERSTATETYPE state) const override { return states[state]; }
    HRESULT setTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix) override;
    HRESULT getTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) const override;
    HRESULT setLight(uint32_t, const D3DLIGHT8&) override { return D3D_OK; }
    HRESULT lightEnable(uint32_t, bool) override { return D3D_OK; }
    HRESULT setMaterial(const D3DMATERIAL8& m) override;
    HRESULT setTexture(uint32_t stage, Texture* texture) override;
    HRESULT setTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type,
                                 uint32_t value) override;
    HRESULT setViewport(const D3DVIEWPORT8&) override { return D3D_OK; }
    HRESULT getViewport(D3DVIEWPORT8*) const override { return D3D_OK; }
    HRESULT createTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                          D3DFORMAT format, D3DPOOL pool,
                          std::unique_ptr<Texture>* texture) override;
    HRESULT createVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, D3DPOOL pool,
                               std::unique_ptr<VertexBuffer>* buffer) override;
    HRESULT setVertexShader(uint32_t fvf) override;
    HRESULT setStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t stride) override;
    HRESULT drawPrimitive(D3DPRIMITIVETYPE type, uint32_t start, uint32_t count) override;
    HRESULT drawSpriteQuads(Texture*, const SpriteVertex*, uint32_t) override { return D3D_OK; }
    HRESULT beginScene() override { return D3D_OK; }
    HRESULT endScene() override { return D3D_OK; }
    HRESULT clear(uint32_t, D3DCOLOR, float, uint32_t) override { return D3D_OK; }
    HRESULT present() override { return D3D_OK; }
    int backBufferWidth() const override { return 800; }
    int backBufferHeight() const override { return 600; }
    D3DFORMAT backBufferFormat() const override { return D3DFMT_X8R8G8B8; }
    HRESULT readBackBuffer(BackBufferImage*) override { return D3DERR_INVALIDCALL; }

    std::vector<std::string> log;  // one line per call, e.g. "rs 27 1", "world 3", "draw 0 2"
    std::array<uint32_t, D3DRS_MAX> states{};
    std::array<D3DMATRIX, kWorldMatrixCount> world{};
    std::vector<RecordedDraw> draws;
    HRESULT failTextures = D3D_OK, failVertexBuffers = D3D_OK;

private:
    D3DMATERIAL8 material_{};
    Texture* texture_ = nullptr;
    VertexBuffer* stream_ = nullptr;
};
