// The render device over OpenGL 3.3 core: state recording, clears, present and read-back.
#include "platform/gl/gl_render_device.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/gl/gl_resources.h"

GlRenderDevice::GlRenderDevice(SDL_Window* window, SDL_GLContext context,
                               const D3DPRESENT_PARAMETERS& parameters, GLenum colourFormat,
                               GLenum depthFormat)
    : window_(window),
      context_(context),
      width_(static_cast<int>(parameters.BackBufferWidth)),
      height_(static_cast<int>(parameters.BackBufferHeight)),
      format_(parameters.BackBufferFormat),
      hasDepth_(parameters.EnableAutoDepthStencil != 0) {
    makeCurrent();
    // Depth 0..1 in clip space, as the projection matrices produce it.
    if (epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_ARB_clip_control"))
        glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
    hasResetStatus_ = epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_KHR_robustness");

    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glGenRenderbuffers(1, &colour_);
    glBindRenderbuffer(GL_RENDERBUFFER, colour_);
    glRenderbufferStorage(GL_RENDERBUFFER, colourFormat, width_, height_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
    if (hasDepth_) {
        glGenRenderbuffers(1, &depth_);
        glBindRenderbuffer(GL_RENDERBUFFER, depth_);
        glRenderbufferStorage(GL_RENDERBUFFER, depthFormat, width_, height_);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
    }
    state_.setDefaults(width_, height_, hasDepth_);
    bindings_->state = &state_;
    applyViewport();
    spritePass_ = std::make_unique<GlSpritePass>();
    if (!std::getenv("TR2_GL_PLAIN_SPRITES"))
        spriteBatch_ = std::make_unique<GlSpriteBatch>(*spritePass_);
    fixedFunction_ = std::make_unique<GlFixedFunction>();
}

GlRenderDevice::~GlRenderDevice() {
    bindings_->state = nullptr;  // resources that outlive the device have nothing to unbind
    if (SDL_GL_MakeCurrent(window_, context_) != 0) {
        // Without the context its objects cannot be named; deleting the context frees them.
        if (spriteBatch_) spriteBatch_->forget();
        spritePass_->forget();
        fixedFunction_->forget();
        SDL_GL_DeleteContext(context_);
        return;
    }
    flushSprites();
    spriteBatch_.reset();
    spritePass_.reset();
    fixedFunction_.reset();
    if (depth_) glDeleteRenderbuffers(1, &depth_);
    if (colour_) glDeleteRenderbuffers(1, &colour_);
    if (framebuffer_) glDeleteFramebuffers(1, &framebuffer_);
    SDL_GL_DeleteContext(context_);
}

void GlRenderDevice::makeCurrent() {
    if (SDL_GL_GetCurrentContext() != context_) SDL_GL_MakeCurrent(window_, context_);
}

void GlRenderDevice::applyViewport() {
    const D3DVIEWPORT8& v = state_.viewport;
    // The framebuffer's rows run bottom-up; the viewport is given from the top.
    glViewport(static_cast<GLint>(v.X),
               height_ - static_cast<GLint>(v.Y) - static_cast<GLint>(v.Height),
               static_cast<GLsizei>(v.Width), static_cast<GLsizei>(v.Height));
    glDepthRange(v.MinZ, v.MaxZ);
}

void GlRenderDevice::flushSprites() {
    if (!spriteBatch_ || !spriteBatch_->pending()) return;
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    spriteBatch_->flush();
}

HRESULT GlRenderDevice::setRenderState(D3DRENDERSTATETYPE state, uint32_t value) {
    if (state >= D3DRS_MAX) return D3DERR_INVALIDCALL;
    state_.renderStates[state] = value;
    return D3D_OK;
}

uint32_t GlRenderDevice::renderState(D3DRENDERSTATETYPE state) const {
    return state < D3DRS_MAX ? state_.renderStates[state] : 0;
}

HRESULT GlRenderDevice::setTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix) {
    if (state == D3DTS_VIEW) {
        state_.view = matrix;
        ++state_.transformGeneration;
    } else if (state == D3DTS_PROJECTION) {
        state_.projection = matrix;
    } else if (state >= D3DTS_WORLD && state < D3DTS_WORLD + kWorldMatrixCount) {
        D3DMATRIX& world = state_.world[state - D3DTS_WORLD];
        // Costume parts set the palette their body has just set: the one uploaded still holds.
        if (std::memcmp(&world, &matrix, sizeof matrix) != 0) {
            world = matrix;
            ++state_.transformGeneration;
        }
    } else {
        return D3DERR_INVALIDCALL;
    }
    return D3D_OK;
}

HRESULT GlRenderDevice::getTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) const {
    if (!matrix) return D3DERR_INVALIDCALL;
    if (state == D3DTS_VIEW) {
        *matrix = state_.view;
    } else if (state == D3DTS_PROJECTION) {
        *matrix = state_.projection;
    } else if (state >= D3DTS_WORLD && state < D3DTS_WORLD + kWorldMatrixCount) {
        *matrix = state_.world[state - D3DTS_WORLD];
    } else {
        return D3DERR_INVALIDCALL;
    }
    return D3D_OK;
}

HRESULT GlRenderDevice::setLight(uint32_t index, const D3DLIGHT8& light) {
    if (index >= kMaxLights) return D3DERR_INVALIDCALL;
    state_.lights[index] = light;
    return D3D_OK;
}

HRESULT GlRenderDevice::lightEnable(uint32_t index, bool enable) {
    if (index >= kMaxLights) return D3DERR_INVALIDCALL;
    state_.lightEnabled[index] = enable;
    return D3D_OK;
}

HRESULT GlRenderDevice::setMaterial(const D3DMATERIAL8& material) {
    state_.material = material;
    return D3D_OK;
}

HRESULT GlRenderDevice::setTexture(uint32_t stage, Texture* texture) {
    if (stage >= kTextureStages) return D3DERR_INVALIDCALL;
    state_.textures[stage] = texture;
    return D3D_OK;
}

HRESULT GlRenderDevice::setTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type,
                                             uint32_t value) {
    if (stage >= kTextureStages || type >= kStageStates) return D3DERR_INVALIDCALL;
    state_.stageStates[stage][type] = value;
    return D3D_OK;
}

HRESULT GlRenderDevice::setViewport(const D3DVIEWPORT8& viewport) {
    if (viewport.Width == 0 || viewport.Height == 0 ||
        viewport.X + viewport.Width > static_cast<uint32_t>(width_) ||
        viewport.Y + viewport.Height > static_cast<uint32_t>(height_))
        return D3DERR_INVALIDCALL;
    makeCurrent();
    flushSprites();
    state_.viewport = viewport;
    applyViewport();
    return D3D_OK;
}

HRESULT GlRenderDevice::getViewport(D3DVIEWPORT8* viewport) const {
    if (!viewport) return D3DERR_INVALIDCALL;
    *viewport = state_.viewport;
    return D3D_OK;
}

HRESULT GlRenderDevice::createTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t,
                                      D3DFORMAT format, D3DPOOL,
                                      std::unique_ptr<Texture>* texture) {
    if (!texture) return D3DERR_INVALIDCALL;
    texture->reset();
    if (width == 0 || height == 0 || levels > 1) return D3DERR_INVALIDCALL;
    if (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8) return D3DERR_INVALIDCALL;
    GLint maxSize = 0;
    makeCurrent();
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (width > static_cast<uint32_t>(maxSize) || height > static_cast<uint32_t>(maxSize))
        return D3DERR_OUTOFVIDEOMEMORY;
    *texture = std::make_unique<GlTexture>(static_cast<int>(width), static_cast<int>(height),
                                           format, bindings_);
    return D3D_OK;
}

HRESULT GlRenderDevice::createVertexBuffer(uint32_t length, uint32_t, uint32_t fvf, D3DPOOL,
                                           std::unique_ptr<VertexBuffer>* buffer) {
    if (!buffer) return D3DERR_INVALIDCALL;
    buffer->reset();
    if (length == 0) return D3DERR_INVALIDCALL;
    *buffer = std::make_unique<GlVertexBuffer>(length, fvf, bindings_);
    return D3D_OK;
}

HRESULT GlRenderDevice::setVertexShader(uint32_t fvf) {
    state_.vertexShader = fvf;
    return D3D_OK;
}

HRESULT GlRenderDevice::setStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t stride) {
    if (stream != 0) return D3DERR_INVALIDCALL;
    state_.stream = buffer;
    state_.streamStride = stride;
    return D3D_OK;
}

HRESULT GlRenderDevice::drawPrimitive(D3DPRIMITIVETYPE type, uint32_t startVertex,
                                      uint32_t primitiveCount) {
    if (type != D3DPT_TRIANGLELIST || !state_.stream) return D3DERR_INVALIDCALL;
    auto* buffer = static_cast<GlVertexBuffer*>(state_.stream);
    const uint64_t end =
        (static_cast<uint64_t>(startVertex) + 3ull * primitiveCount) * state_.streamStride;
    if (state_.streamStride == 0 || end > buffer->size()) return D3DERR_INVALIDCALL;
    if (primitiveCount == 0) return D3D_OK;
    makeCurrent();
    flushSprites();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    return fixedFunction_->draw(state_, *buffer, startVertex, primitiveCount);
}

HRESULT GlRenderDevice::drawSpriteQuads(Texture* texture, const SpriteVertex* vertices,
                                        uint32_t quadCount) {
    if (!texture || !vertices) return D3DERR_INVALIDCALL;
    if (quadCount == 0) return D3D_OK;
    makeCurrent();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    auto& glTexture = static_cast<GlTexture&>(*texture);
    if (spriteBatch_ && spriteBatch_->add(glTexture, vertices, quadCount, state_.viewport))
        return D3D_OK;
    flushSprites();
    spritePass_->draw(glTexture, vertices, quadCount, state_.viewport);
    return D3D_OK;
}

HRESULT GlRenderDevice::beginScene() {
    if (inScene_) return D3DERR_INVALIDCALL;
    inScene_ = true;
    return D3D_OK;
}

HRESULT GlRenderDevice::endScene() {
    if (!inScene_) return D3DERR_INVALIDCALL;
    inScene_ = false;
    return D3D_OK;
}

HRESULT GlRenderDevice::clear(uint32_t flags, D3DCOLOR colour, float z, uint32_t) {
    makeCurrent();
    flushSprites();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    GLbitfield mask = 0;
    if (flags & D3DCLEAR_TARGET) {
        glClearColor(((colour >> 16) & 0xFF) / 255.0f, ((colour >> 8) & 0xFF) / 255.0f,
                     (colour & 0xFF) / 255.0f, ((colour >> 24) & 0xFF) / 255.0f);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if ((flags & D3DCLEAR_ZBUFFER) && hasDepth_) {
        glClearDepth(z);
        glDepthMask(GL_TRUE);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    glDisable(GL_SCISSOR_TEST);
    if (mask) glClear(mask);
    return D3D_OK;
}

HRESULT GlRenderDevice::present() {
    makeCurrent();
    flushSprites();
    int drawableWidth = 0, drawableHeight = 0;
    SDL_GL_GetDrawableSize(window_, &drawableWidth, &drawableHeight);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBlitFramebuffer(
        0, 0, width_, height_, 0, 0, drawableWidth, drawableHeight, GL_COLOR_BUFFER_BIT,
        (drawableWidth == width_ && drawableHeight == height_) ? GL_NEAREST : GL_LINEAR);
    SDL_GL_SwapWindow(window_);
    pacer_.afterSwap(window_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    // Only a context reset loses the device; any other error is a fault to log, not a loss.
    bool lost = false;
    for (int i = 0; i < 16; ++i) {
        const GLenum error = glGetError();
        if (error == GL_NO_ERROR) break;
        if (error == GL_CONTEXT_LOST) {
            lost = true;
            break;
        }
        std::fprintf(stderr, "OpenGL error 0x%04X, found at present\n", error);
    }
    if (hasResetStatus_ && glGetGraphicsResetStatus() != GL_NO_ERROR) lost = true;
    return lost ? D3DERR_DEVICELOST : D3D_OK;
}

HRESULT GlRenderDevice::readBackBuffer(BackBufferImage* image) {
    if (!image) return D3DERR_INVALIDCALL;
    makeCurrent();
    flushSprites();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    image->width = width_;
    image->height = height_;
    image->format = format_;
    const bool sixteen = format_ == D3DFMT_R5G6B5;
    const int bytesPerPixel = sixteen ? 2 : 4;
    image->pitch = (width_ * bytesPerPixel + 3) & ~3;
    std::vector<uint8_t> bottomUp(static_cast<size_t>(image->pitch) * height_);
    if (sixteen) {
        glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, bottomUp.data());
    } else {
        glReadPixels(0, 0, width_, height_, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, bottomUp.data());
    }
    image->bytes.resize(bottomUp.size());
    for (int row = 0; row < height_; ++row)
        std::memcpy(image->bytes.data() + static_cast<size_t>(row) * image->pitch,
                    bottomUp.data() + static_cast<size_t>(height_ - 1 - row) * image->pitch,
                    static_cast<size_t>(image->pitch));
    return glGetError() == GL_NO_ERROR ? D3D_OK : E_FAIL;
}

void GlRenderDevice::finish() {
    makeCurrent();
    glFinish();
}
