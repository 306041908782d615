// The render device over an OpenGL 3.3 core context, drawing into a back-buffer framebuffer.
#pragma once

#include <SDL.h>
#include <epoxy/gl.h>

#include <memory>

#include "platform/gl/gl_device_state.h"
#include "platform/gl/gl_fixed_function.h"
#include "platform/gl/gl_frame_pacer.h"
#include "platform/gl/gl_resources.h"
#include "platform/gl/gl_sprite_batch.h"
#include "platform/gl/gl_sprite_pass.h"
#include "platform/render_device.h"

class GlRenderDevice final : public RenderDevice {
public:
    // Takes over `context`, current on `window`; sets up the back buffer of `parameters`.
    GlRenderDevice(SDL_Window* window, SDL_GLContext context,
                   const D3DPRESENT_PARAMETERS& parameters, GLenum colourFormat,
                   GLenum depthFormat);
    ~GlRenderDevice() override;

    HRESULT setRenderState(D3DRENDERSTATETYPE state, uint32_t value) override;
    uint32_t renderState(D3DRENDERSTATETYPE state) const override;
    HRESULT setTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix) override;
    HRESULT getTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) const override;
    HRESULT setLight(uint32_t index, const D3DLIGHT8& light) override;
    HRESULT lightEnable(uint32_t index, bool enable) override;
    HRESULT setMaterial(const D3DMATERIAL8& material) override;
    HRESULT setTexture(uint32_t stage, Texture* texture) override;
    HRESULT setTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type,
                                 uint32_t value) override;
    HRESULT setViewport(const D3DVIEWPORT8& viewport) override;
    HRESULT getViewport(D3DVIEWPORT8* viewport) const override;

    HRESULT createTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                          D3DFORMAT format, D3DPOOL pool,
                          std::unique_ptr<Texture>* texture) override;
    HRESULT createVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, D3DPOOL pool,
                               std::unique_ptr<VertexBuffer>* buffer) override;

    HRESULT setVertexShader(uint32_t fvf) override;
    HRESULT setStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t stride) override;
    HRESULT drawPrimitive(D3DPRIMITIVETYPE type, uint32_t startVertex,
                          uint32_t primitiveCount) override;
    HRESULT drawSpriteQuads(Texture* texture, const SpriteVertex* vertices,
                            uint32_t quadCount) override;
    HRESULT beginScene() override;
    HRESULT endScene() override;
    HRESULT clear(uint32_t flags, D3DCOLOR colour, float z, uint32_t stencil) override;
    HRESULT present() override;

    int backBufferWidth() const override { return width_; }
    int backBufferHeight() const override { return height_; }
    D3DFORMAT backBufferFormat() const override { return format_; }
    HRESULT readBackBuffer(BackBufferImage* image) override;

    const DeviceState& state() const { return state_; }
    // Waits until everything drawn so far is finished (for timing a frame to its end).
    void finish();

    // Drawing with or without the shortcuts that leave the picture unchanged (benchmarks).
    void setShortcuts(bool on) {
        makeCurrent();
        flushSprites();
        fixedFunction_->setShortcuts(on);
        if (spriteBatch_) spriteBatch_->setShortcuts(on);
    }

private:
    void makeCurrent();
    void applyViewport();
    // Draws the sprite quads held back, before anything that must see them.
    void flushSprites();

    SDL_Window* window_;
    SDL_GLContext context_;
    int width_, height_;
    D3DFORMAT format_;
    bool hasDepth_;
    GLuint framebuffer_ = 0, colour_ = 0, depth_ = 0;
    DeviceState state_;
    std::shared_ptr<GlBindings> bindings_ = std::make_shared<GlBindings>();
    std::unique_ptr<GlSpritePass> spritePass_;
    // Null when TR2_GL_PLAIN_SPRITES is set: every sprite is then drawn from its own texture.
    std::unique_ptr<GlSpriteBatch> spriteBatch_;
    std::unique_ptr<GlFixedFunction> fixedFunction_;
    bool inScene_ = false;
    bool hasResetStatus_ = false;  // glGetGraphicsResetStatus can tell a lost context
    GlFramePacer pacer_;
};
