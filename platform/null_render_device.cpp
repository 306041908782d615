// A render device that draws nothing but keeps its resources and states.
#include "platform/null_render_device.h"

NullTexture::NullTexture(int width, int height, D3DFORMAT format)
    : texels(static_cast<size_t>(width) * static_cast<size_t>(height)),
      width_(width), height_(height), format_(format) {}

HRESULT NullTexture::lockRect(uint32_t level, D3DLOCKED_RECT* locked, const RECT* rect, uint32_t) {
    if (level != 0 || !locked) return D3DERR_INVALIDCALL;
    const RECT r = rect ? *rect : RECT{0, 0, width_, height_};
    if (r.left < 0 || r.top < 0 || r.right > width_ || r.bottom > height_) return D3DERR_INVALIDCALL;
    locked->Pitch = width_ * 4;
    locked->pBits = texels.data() + static_cast<size_t>(r.top) * width_ + r.left;
    return D3D_OK;
}

HRESULT NullTexture::unlockRect(uint32_t level) { return level == 0 ? D3D_OK : D3DERR_INVALIDCALL; }

HRESULT NullTexture::addDirtyRect(const RECT*) {
    markedDirty = true;
    return D3D_OK;
}

HRESULT NullVertexBuffer::lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t) {
    if (!data || offset > bytes.size()) return D3DERR_INVALIDCALL;
    if (size != 0 && size > bytes.size() - offset) return D3DERR_INVALIDCALL;
    *data = bytes.data() + offset;
    return D3D_OK;
}

NullRenderDevice::NullRenderDevice(int width, int height) : width_(width), height_(height) {
    viewport_ = {0, 0, static_cast<uint32_t>(width), static_cast<uint32_t>(height), 0.0f, 1.0f};
}

HRESULT NullRenderDevice::setRenderState(D3DRENDERSTATETYPE state, uint32_t value) {
    if (state >= D3DRS_MAX) return D3DERR_INVALIDCALL;
    states_[state] = value;
    return D3D_OK;
}

uint32_t NullRenderDevice::renderState(D3DRENDERSTATETYPE state) const {
    return state < D3DRS_MAX ? states_[state] : 0;
}

HRESULT NullRenderDevice::setTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix) {
    if (state == D3DTS_VIEW) view_ = matrix;
    else if (state == D3DTS_PROJECTION) projection_ = matrix;
    else if (state >= D3DTS_WORLD && state < D3DTS_WORLD + kWorldMatrixCount) world_[state - D3DTS_WORLD] = matrix;
    else return D3DERR_INVALIDCALL;
    return D3D_OK;
}

HRESULT NullRenderDevice::getTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) const {
    if (!matrix) return D3DERR_INVALIDCALL;
    if (state == D3DTS_VIEW) *matrix = view_;
    else if (state == D3DTS_PROJECTION) *matrix = projection_;
    else if (state >= D3DTS_WORLD && state < D3DTS_WORLD + kWorldMatrixCount) *matrix = world_[state - D3DTS_WORLD];
    else return D3DERR_INVALIDCALL;
    return D3D_OK;
}

HRESULT NullRenderDevice::setViewport(const D3DVIEWPORT8& viewport) {
    viewport_ = viewport;
    return D3D_OK;
}

HRESULT NullRenderDevice::getViewport(D3DVIEWPORT8* viewport) const {
    if (!viewport) return D3DERR_INVALIDCALL;
    *viewport = viewport_;
    return D3D_OK;
}

HRESULT NullRenderDevice::createTexture(uint32_t width, uint32_t height, uint32_t, uint32_t,
                                        D3DFORMAT format, D3DPOOL,
                                        std::unique_ptr<Texture>* texture) {
    if (!texture) return D3DERR_INVALIDCALL;
    texture->reset();
    if (refuseResources) return D3DERR_OUTOFVIDEOMEMORY;
    if (width == 0 || height == 0) return D3DERR_INVALIDCALL;
    *texture = std::make_unique<NullTexture>(static_cast<int>(width), static_cast<int>(height), format);
    return D3D_OK;
}

HRESULT NullRenderDevice::createVertexBuffer(uint32_t length, uint32_t, uint32_t fvf, D3DPOOL,
                                             std::unique_ptr<VertexBuffer>* buffer) {
    if (!buffer) return D3DERR_INVALIDCALL;
    buffer->reset();
    if (refuseResources) return D3DERR_OUTOFVIDEOMEMORY;
    if (length == 0) return D3DERR_INVALIDCALL;
    *buffer = std::make_unique<NullVertexBuffer>(length, fvf);
    return D3D_OK;
}
