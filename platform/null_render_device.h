// A render device that draws nothing: memory-backed textures and buffers, states kept, every
// call accepted. The windowless backend for tools, benchmarks and tests that need no pixels.
#pragma once

#include <array>
#include <vector>

#include "platform/render_device.h"

class NullTexture : public Texture {
public:
    NullTexture(int width, int height, D3DFORMAT format = D3DFMT_A8R8G8B8);
    int width() const override { return width_; }
    int height() const override { return height_; }
    D3DFORMAT format() const override { return format_; }
    HRESULT lockRect(uint32_t level, D3DLOCKED_RECT* locked, const RECT* rect,
                     uint32_t flags) override;
    HRESULT unlockRect(uint32_t level) override;
    HRESULT addDirtyRect(const RECT* rect) override;

    std::vector<uint32_t> texels;
    bool markedDirty = false;

private:
    int width_, height_;
    D3DFORMAT format_;
};

class NullVertexBuffer : public VertexBuffer {
public:
    NullVertexBuffer(uint32_t length, uint32_t fvf) : bytes(length), fvf_(fvf) {}
    uint32_t size() const override { return static_cast<uint32_t>(bytes.size()); }
    uint32_t format() const override { return fvf_; }
    HRESULT lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t flags) override;
    HRESULT unlock() override { return D3D_OK; }

    std::vector<uint8_t> bytes;

private:
    uint32_t fvf_;
};

class NullRenderDevice : public RenderDevice {
public:
    NullRenderDevice(int width = 800, int height = 600);

    // When set, texture and vertex buffer creation fail as an exhausted device's would.
    bool refuseResources = false;

    HRESULT setRenderState(D3DRENDERSTATETYPE state, uint32_t value) override;
    uint32_t renderState(D3DRENDERSTATETYPE state) const override;
    HRESULT setTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix) override;
    HRESULT getTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) const override;
    HRESULT setLight(uint32_t, const D3DLIGHT8&) override { return D3D_OK; }
    HRESULT lightEnable(uint32_t, bool) override { return D3D_OK; }
    HRESULT setMaterial(const D3DMATERIAL8&) override { return D3D_OK; }
    HRESULT setTexture(uint32_t, Texture*) override { return D3D_OK; }
    HRESULT setTextureStageState(uint32_t, D3DTEXTURESTAGESTATETYPE, uint32_t) override {
        return D3D_OK;
    }
    HRESULT setViewport(const D3DVIEWPORT8& viewport) override;
    HRESULT getViewport(D3DVIEWPORT8* viewport) const override;
    HRESULT createTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                          D3DFORMAT format, D3DPOOL pool,
                          std::unique_ptr<Texture>* texture) override;
    HRESULT createVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, D3DPOOL pool,
                               std::unique_ptr<VertexBuffer>* buffer) override;
    HRESULT setVertexShader(uint32_t) override { return D3D_OK; }
    HRESULT setStreamSource(uint32_t, VertexBuffer*, uint32_t) override { return D3D_OK; }
    HRESULT drawPrimitive(D3DPRIMITIVETYPE, uint32_t, uint32_t) override { return D3D_OK; }
    HRESULT drawSpriteQuads(Texture*, const SpriteVertex*, uint32_t) override { return D3D_OK; }
    HRESULT beginScene() override { return D3D_OK; }
    HRESULT endScene() override { return D3D_OK; }
    HRESULT clear(uint32_t, D3DCOLOR, float, uint32_t) override { return D3D_OK; }
    HRESULT present() override { return D3D_OK; }
    int backBufferWidth() const override { return width_; }
    int backBufferHeight() const override { return height_; }
    D3DFORMAT backBufferFormat() const override { return D3DFMT_X8R8G8B8; }
    HRESULT readBackBuffer(BackBufferImage*) override { return D3DERR_INVALIDCALL; }

protected:
    std::array<uint32_t, D3DRS_MAX> states_{};
    D3DMATRIX view_{}, projection_{};
    std::array<D3DMATRIX, kWorldMatrixCount> world_{};
    D3DVIEWPORT8 viewport_{};

private:
    int width_, height_;
};
