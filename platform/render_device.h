// The Direct3D-8-shaped render device interface that everything draws through.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/d3d8_types.h"

class Window;

// A 2D texture with one level; pixels are 32-bit A8R8G8B8 in memory.
class Texture {
public:
    virtual ~Texture() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual D3DFORMAT format() const = 0;
    // Maps the level for writing (or reading); `rect` null means the whole texture.
    virtual HRESULT lockRect(uint32_t level, D3DLOCKED_RECT* locked, const RECT* rect,
                             uint32_t flags) = 0;
    virtual HRESULT unlockRect(uint32_t level) = 0;
    // Marks a region for upload; null marks the whole texture.
    virtual HRESULT addDirtyRect(const RECT* rect) = 0;
};

class VertexBuffer {
public:
    virtual ~VertexBuffer() = default;
    virtual uint32_t size() const = 0;
    virtual uint32_t format() const = 0;
    // `size` 0 with `offset` 0 locks the whole buffer.
    virtual HRESULT lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t flags) = 0;
    virtual HRESULT unlock() = 0;
};

// One screen-space vertex of a sprite quad: pixel position, texture coordinate, ARGB colour.
struct SpriteVertex {
    float x, y;
    float u, v;
    D3DCOLOR colour;
};

// A copy of the back buffer: top row first, `pitch` bytes per row, 32-bit B,G,R,X texels
// for the 32-bit formats and 16-bit texels for R5G6B5.
struct BackBufferImage {
    int width = 0;
    int height = 0;
    int pitch = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    std::vector<uint8_t> bytes;
};

class RenderDevice {
public:
    virtual ~RenderDevice() = default;

    // Fixed-function state. Changes are recorded; they cost nothing until a draw.
    virtual HRESULT setRenderState(D3DRENDERSTATETYPE state, uint32_t value) = 0;
    virtual uint32_t renderState(D3DRENDERSTATETYPE state) const = 0;
    virtual HRESULT setTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix) = 0;
    virtual HRESULT getTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) const = 0;
    virtual HRESULT setLight(uint32_t index, const D3DLIGHT8& light) = 0;
    virtual HRESULT lightEnable(uint32_t index, bool enable) = 0;
    virtual HRESULT setMaterial(const D3DMATERIAL8& material) = 0;
    virtual HRESULT setTexture(uint32_t stage, Texture* texture) = 0;
    virtual HRESULT setTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type,
                                         uint32_t value) = 0;
    virtual HRESULT setViewport(const D3DVIEWPORT8& viewport) = 0;
    virtual HRESULT getViewport(D3DVIEWPORT8* viewport) const = 0;

    // Resources.
    virtual HRESULT createTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                                  D3DFORMAT format, D3DPOOL pool,
                                  std::unique_ptr<Texture>* texture) = 0;
    virtual HRESULT createVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, D3DPOOL pool,
                                       std::unique_ptr<VertexBuffer>* buffer) = 0;

    // Drawing.
    virtual HRESULT setVertexShader(uint32_t fvf) = 0;
    virtual HRESULT setStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t stride) = 0;
    virtual HRESULT drawPrimitive(D3DPRIMITIVETYPE type, uint32_t startVertex,
                                  uint32_t primitiveCount) = 0;
    // Screen-space textured quads (4 vertices each: top-left, top-right, bottom-right,
    // bottom-left), unlit, texture x colour, blended source alpha over inverse source alpha,
    // no depth. This is what the sprite batcher flushes through.
    virtual HRESULT drawSpriteQuads(Texture* texture, const SpriteVertex* vertices,
                                    uint32_t quadCount) = 0;
    virtual HRESULT beginScene() = 0;
    virtual HRESULT endScene() = 0;
    virtual HRESULT clear(uint32_t flags, D3DCOLOR colour, float z, uint32_t stencil) = 0;
    virtual HRESULT present() = 0;

    // The back buffer.
    virtual int backBufferWidth() const = 0;
    virtual int backBufferHeight() const = 0;
    virtual D3DFORMAT backBufferFormat() const = 0;
    virtual HRESULT readBackBuffer(BackBufferImage* image) = 0;
};

// The device factory, shaped like IDirect3D8.
class Direct3D8 {
public:
    virtual ~Direct3D8() = default;
    virtual HRESULT getAdapterDisplayMode(uint32_t adapter, D3DDISPLAYMODE* mode) = 0;
    virtual HRESULT createDevice(uint32_t adapter, D3DDEVTYPE type, Window* focusWindow,
                                 uint32_t behaviourFlags, D3DPRESENT_PARAMETERS* parameters,
                                 std::unique_ptr<RenderDevice>* device) = 0;
};

// Creates the factory of the platform's render devices; null when the SDK version is wrong
// or no graphics are available.
std::unique_ptr<Direct3D8> Direct3DCreate8(uint32_t sdkVersion);
constexpr uint32_t D3D_SDK_VERSION = 220;
