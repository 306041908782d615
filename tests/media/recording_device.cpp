// A render device that only records what it is asked.
#include "tests/media/recording_device.h"

HRESULT RecordingDevice::setRenderState(D3DRENDERSTATETYPE state, uint32_t value) {
    NullRenderDevice::setRenderState(state, value);
    log.push_back("rs " + std::to_string(state) + " " + std::to_string(value));
    return D3D_OK;
}

HRESULT RecordingDevice::setTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix) {
    NullRenderDevice::setTransform(state, matrix);
    if (state >= D3DTS_WORLD && state < D3DTS_WORLD + kWorldMatrixCount) {
        log.push_back("world " + std::to_string(state - D3DTS_WORLD));
    }
    return D3D_OK;
}

HRESULT RecordingDevice::setMaterial(const D3DMATERIAL8& m) {
    material_ = m;
    log.push_back("material");
    return D3D_OK;
}

HRESULT RecordingDevice::setTexture(uint32_t stage, Texture* texture) {
    texture_ = texture;
    log.push_back("texture " + std::to_string(stage));
    return D3D_OK;
}

HRESULT RecordingDevice::setTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type,
                                              uint32_t value) {
    log.push_back("tss " + std::to_string(stage) + " " + std::to_string(type) + " " +
                  std::to_string(value));
    return D3D_OK;
}

HRESULT RecordingDevice::createTexture(uint32_t width, uint32_t height, uint32_t levels,
                                       uint32_t usage, D3DFORMAT format, D3DPOOL pool,
                                       std::unique_ptr<Texture>* texture) {
    log.push_back("create texture " + std::to_string(width) + "x" + std::to_string(height) + " " +
                  std::to_string(levels) + " " + std::to_string(usage) + " " +
                  std::to_string(format) + " " + std::to_string(pool));
    if (FAILED(failTextures)) return failTextures;
    return NullRenderDevice::createTexture(width, height, levels, usage, format, pool, texture);
}

HRESULT RecordingDevice::createVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf,
                                            D3DPOOL pool, std::unique_ptr<VertexBuffer>* buffer) {
    log.push_back("create vertices " + std::to_string(length) + " " + std::to_string(usage) + " " +
                  std::to_string(fvf) + " " + std::to_string(pool));
    if (FAILED(failVertexBuffers)) return failVertexBuffers;
    return NullRenderDevice::createVertexBuffer(length, usage, fvf, pool, buffer);
}

HRESULT RecordingDevice::setVertexShader(uint32_t fvf) {
    log.push_back("fvf " + std::to_string(fvf));
    return D3D_OK;
}

HRESULT RecordingDevice::setStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t stride) {
    stream_ = buffer;
    log.push_back("stream " + std::to_string(stream) + " " + std::to_string(stride));
    return D3D_OK;
}

HRESULT RecordingDevice::drawPrimitive(D3DPRIMITIVETYPE, uint32_t start, uint32_t count) {
    draws.push_back({stream_, start, count, texture_, material_, states[D3DRS_CULLMODE],
                     states[D3DRS_VERTEXBLEND]});
    log.push_back("draw " + std::to_string(start) + " " + std::to_string(count));
    return D3D_OK;
}
