// A render device that refuses everything, for the paths that end the program when a texture
// cannot be created.
#pragma once

#include "platform/render_device.h"

class NoTextureDevice final : public RenderDevice {
public:
    HRESULT setRenderState(D3DRENDERSTATETYPE, uint32_t) override { return D3DERR_INVALIDCALL; }
    uint32_t renderState(D3DRENDERSTATETYPE) const override { return 0; }
    HRESULT setTransform(D3DTRANSFORMSTATETYPE, const D3DMATRIX&) override {
        return D3DERR_INVALIDCALL;
    }
    HRESULT getTransform(D3DTRANSFORMSTATETYPE, D3DMATRIX*) const override {
        return D3DERR_INVALIDCALL;
    }
    HRESULT setLight(uint32_t, const D3DLIGHT8&) override { return D3DERR_INVALIDCALL; }
    HRESULT lightEnable(uint32_t, bool) override { return D3DERR_INVALIDCALL; }
    HRESULT setMaterial(const D3DMATERIAL8&) override { return D3DERR_INVALIDCALL; }
    HRESULT setTexture(uint32_t, Texture*) override { return D3DERR_INVALIDCALL; }
    HRESULT setTextureStageState(uint32_t, D3DTEXTURESTAGESTATETYPE, uint32_t) override {
        return D3DERR_INVALIDCALL;
    }
    HRESULT setViewport(const D3DVIEWPORT8&) override { return D3DERR_INVALIDCALL; }
    HRESULT getViewport(D3DVIEWPORT8*) const override { return D3DERR_INVALIDCALL; }
    HRESULT createTexture(uint32_t, uint32_t, uint32_t, uint32_t, D3DFORMAT, D3DPOOL,
                          std::unique_ptr<Texture>*) override {
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    HRESULT createVertexBuffer(uint32_t, uint32_t, uint32_t, D3DPOOL,
                               std::unique_ptr<VertexBuffer>*) override {
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    HRESULT setVertexShader(uint32_t) override { return D3DERR_INVALIDCALL; }
    HRESULT setStreamSource(uint32_t, VertexBuffer*, uint32_t) override {
        return D3DERR_INVALIDCALL;
    }
    HRESULT drawPrimitive(D3DPRIMITIVETYPE, uint32_t, uint32_t) override {
        return D3DERR_INVALIDCALL;
    }
    HRESULT drawSpriteQuads(Texture*, const SpriteVertex*, uint32_t) override {
        return D3DERR_INVALIDCALL;
    }
    HRESULT beginScene() override { return D3DERR_INVALIDCALL; }
    HRESULT endScene() override { return D3DERR_INVALIDCALL; }
    HRESULT clear(uint32_t, D3DCOLOR, float, uint32_t) override { return D3DERR_INVALIDCALL; }
    HRESULT present() override { return D3DERR_INVALIDCALL; }
    int backBufferWidth() const override { return 800; }
    int backBufferHeight() const override { return 600; }
    D3DFORMAT backBufferFormat() const override { return D3DFMT_X8R8G8B8; }
    HRESULT readBackBuffer(BackBufferImage*) override { return D3DERR_INVALIDCALL; }
};
