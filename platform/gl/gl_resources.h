// Textures and vertex buffers of the OpenGL render device: a CPU copy to lock, uploaded when used.
#pragma once

#include <epoxy/gl.h>

#include <memory>
#include <vector>

#include "platform/gl/gl_device_state.h"
#include "platform/render_device.h"

// The device state that a resource may be bound in. A resource released while bound unbinds
// itself there, so that the device never draws from freed memory; the device cuts the link
// when it goes first.
struct GlBindings {
    DeviceState* state = nullptr;
};

class GlTexture final : public Texture {
public:
    GlTexture(int width, int height, D3DFORMAT format, std::shared_ptr<GlBindings> bindings);
    ~GlTexture() override;

    int width() const override { return width_; }
    int height() const override { return height_; }
    D3DFORMAT format() const override { return format_; }
    HRESULT lockRect(uint32_t level, D3DLOCKED_RECT* locked, const RECT* rect,
                     uint32_t flags) override;
    HRESULT unlockRect(uint32_t level) override;
    HRESULT addDirtyRect(const RECT* rect) override;

    // Binds the texture to the current unit, uploading it first when it changed.
    void bind();
    // Whether every texel of the picture last uploaded has alpha 255 (false before the first
    // upload): sampling it then gives alpha 1 exactly, whatever the filter.
    bool uploadedOpaque() const { return uploadedOpaque_; }
    const std::vector<uint32_t>& pixels() const { return pixels_; }

    // Where the sprite batch last found this texture's picture on a shelf; `changed` is set
    // when the picture changes, so that it is looked up again.
    struct ShelfPlace {
        bool changed = true;
        int layer = -1;
        uint64_t stamp = 0;
    };
    ShelfPlace& shelfPlace() { return shelfPlace_; }
    // Whether every texel of the picture is `*argb`, with each channel 0 or 255: sampling it
    // then gives exactly 0 or 1 per channel, so a quad of it is its colour masked by that
    // texel. Kept until the picture changes.
    bool solidBinary(uint32_t* argb);

private:
    std::shared_ptr<GlBindings> bindings_;
    int width_, height_;
    D3DFORMAT format_;
    std::vector<uint32_t> pixels_;
    GLuint name_ = 0;
    bool locked_ = false;
    bool lockUpdates_ = true;
    bool dirty_ = true;
    bool uploadedOpaque_ = false;
    int solid_ = -1;  // -1: not known since the picture last changed
    uint32_t solidTexel_ = 0;
    ShelfPlace shelfPlace_;
};

class GlVertexBuffer final : public VertexBuffer {
public:
    GlVertexBuffer(uint32_t length, uint32_t fvf, std::shared_ptr<GlBindings> bindings);
    ~GlVertexBuffer() override;

    uint32_t size() const override { return static_cast<uint32_t>(bytes_.size()); }
    uint32_t format() const override { return fvf_; }
    HRESULT lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t flags) override;
    HRESULT unlock() override;

    // Binds the buffer as GL_ARRAY_BUFFER, uploading it first when it changed.
    void bind();
    const std::vector<uint8_t>& bytes() const { return bytes_; }
    // The highest of the four palette index bytes found `offset` bytes into each vertex of
    // `stride` bytes (kept until the next unlock), so that the pipeline uploads only the
    // palette matrices the vertices can name.
    int highestPaletteIndex(uint32_t stride, uint32_t offset);

private:
    std::shared_ptr<GlBindings> bindings_;
    std::vector<uint8_t> bytes_;
    uint32_t fvf_;
    GLuint name_ = 0;
    bool locked_ = false;
    bool dirty_ = true;
    uint32_t indexStride_ = 0, indexOffset_ = 0;
    int highestIndex_ = -1;
};
