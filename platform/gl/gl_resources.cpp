// Textures and vertex buffers of the OpenGL render device.
#include "platform/gl/gl_resources.h"

#include <algorithm>
#include <utility>

GlTexture::GlTexture(int width, int height, D3DFORMAT format, std::shared_ptr<GlBindings> bindings)
    : bindings_(std::move(bindings)),
      width_(width),
      height_(height),
      format_(format),
      pixels_(static_cast<size_t>(width) * static_cast<size_t>(height), 0) {}

GlTexture::~GlTexture() {
    if (bindings_ && bindings_->state)
        for (Texture*& bound : bindings_->state->textures)
            if (bound == this) bound = nullptr;
    if (name_) glDeleteTextures(1, &name_);
}

HRESULT GlTexture::lockRect(uint32_t level, D3DLOCKED_RECT* locked, const RECT* rect,
                            uint32_t flags) {
    if (level != 0 || !locked || locked_) return D3DERR_INVALIDCALL;
    RECT r = rect ? *rect : RECT{0, 0, width_, height_};
    if (r.left < 0 || r.top < 0 || r.right > width_ || r.bottom > height_ || r.left > r.right ||
        r.top > r.bottom)
        return D3DERR_INVALIDCALL;
    locked->Pitch = width_ * 4;
    locked->pBits = pixels_.data() + static_cast<size_t>(r.top) * width_ + r.left;
    locked_ = true;
    lockUpdates_ = !(flags & (D3DLOCK_READONLY | D3DLOCK_NO_DIRTY_UPDATE));
    return D3D_OK;
}

HRESULT GlTexture::unlockRect(uint32_t level) {
    if (level != 0 || !locked_) return D3DERR_INVALIDCALL;
    locked_ = false;
    if (lockUpdates_) {
        dirty_ = shelfPlace_.changed = true;
        solid_ = -1;
    }
    return D3D_OK;
}

HRESULT GlTexture::addDirtyRect(const RECT*) {
    dirty_ = shelfPlace_.changed = true;
    solid_ = -1;
    return D3D_OK;
}

bool GlTexture::solidBinary(uint32_t* argb) {
    if (solid_ < 0) {
        solidTexel_ = pixels_.empty() ? 0 : pixels_[0];
        bool binary = true;
        for (int shift = 0; shift < 32; shift += 8) {
            const uint32_t channel = (solidTexel_ >> shift) & 0xFF;
            binary = binary && (channel == 0 || channel == 0xFF);
        }
        solid_ = binary && std::all_of(pixels_.begin(), pixels_.end(),
                                       [&](uint32_t texel) { return texel == solidTexel_; });
    }
    *argb = solidTexel_;
    return solid_ == 1;
}

void GlTexture::bind() {
    if (!name_) {
        glGenTextures(1, &name_);
        glBindTexture(GL_TEXTURE_2D, name_);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width_, height_, 0, GL_BGRA,
                     GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    } else {
        glBindTexture(GL_TEXTURE_2D, name_);
    }
    if (dirty_) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width_, height_, GL_BGRA,
                        GL_UNSIGNED_INT_8_8_8_8_REV, pixels_.data());
        dirty_ = false;
        uploadedOpaque_ = std::all_of(pixels_.begin(), pixels_.end(),
                                      [](uint32_t argb) { return (argb >> 24) == 0xFF; });
    }
}

GlVertexBuffer::GlVertexBuffer(uint32_t length, uint32_t fvf, std::shared_ptr<GlBindings> bindings)
    : bindings_(std::move(bindings)), bytes_(length, 0), fvf_(fvf) {}

GlVertexBuffer::~GlVertexBuffer() {
    if (bindings_ && bindings_->state && bindings_->state->stream == this) {
        bindings_->state->stream = nullptr;
        bindings_->state->streamStride = 0;
    }
    if (name_) glDeleteBuffers(1, &name_);
}

HRESULT GlVertexBuffer::lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t) {
    if (!data || locked_ || offset > bytes_.size()) return D3DERR_INVALIDCALL;
    if (size != 0 && size > bytes_.size() - offset) return D3DERR_INVALIDCALL;
    *data = bytes_.data() + offset;
    locked_ = true;
    return D3D_OK;
}

HRESULT GlVertexBuffer::unlock() {
    if (!locked_) return D3DERR_INVALIDCALL;
    locked_ = false;
    dirty_ = true;
    highestIndex_ = -1;
    return D3D_OK;
}

int GlVertexBuffer::highestPaletteIndex(uint32_t stride, uint32_t offset) {
    if (highestIndex_ >= 0 && stride == indexStride_ && offset == indexOffset_)
        return highestIndex_;
    int highest = 0;
    if (stride > 0)
        for (size_t at = offset; at + 4 <= bytes_.size() && highest < 255; at += stride)
            for (size_t i = 0; i < 4; ++i)
                highest = std::max(highest, static_cast<int>(bytes_[at + i]));
    indexStride_ = stride;
    indexOffset_ = offset;
    highestIndex_ = highest;
    return highest;
}

void GlVertexBuffer::bind() {
    if (!name_) glGenBuffers(1, &name_);
    glBindBuffer(GL_ARRAY_BUFFER, name_);
    if (dirty_) {
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes_.size()), bytes_.data(),
                     GL_STATIC_DRAW);
        dirty_ = false;
    }
}
