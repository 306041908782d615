// The D3DX8 sprite over the render device's screen-space quads.
#include "platform/d3dx8_sprite.h"

#include <cmath>

HRESULT D3DXCreateSprite(RenderDevice* device, std::unique_ptr<ID3DXSprite>* sprite) {
    if (!device || !sprite) return D3DERR_INVALIDCALL;
    *sprite = std::make_unique<ID3DXSprite>(device);
    return D3D_OK;
}

HRESULT ID3DXSprite::Begin() {
    if (inBatch_) return D3DERR_INVALIDCALL;
    inBatch_ = true;
    return D3D_OK;
}

HRESULT ID3DXSprite::End() {
    if (!inBatch_) return D3DERR_INVALIDCALL;
    inBatch_ = false;
    return D3D_OK;
}

void ID3DXSprite::corners(const Texture& texture, const RECT* source, const D3DXVECTOR2* scaling,
                          const D3DXVECTOR2* rotationCenter, float rotation,
                          const D3DXVECTOR2* translation, D3DCOLOR colour, SpriteVertex out[4]) {
    const float tw = static_cast<float>(texture.width());
    const float th = static_cast<float>(texture.height());
    RECT r = source ? *source : RECT{0, 0, texture.width(), texture.height()};
    const float w = static_cast<float>(r.right - r.left);
    const float h = static_cast<float>(r.bottom - r.top);
    const float sx = scaling ? scaling->x : 1.0f;
    const float sy = scaling ? scaling->y : 1.0f;
    const float cx = rotationCenter ? rotationCenter->x : 0.0f;
    const float cy = rotationCenter ? rotationCenter->y : 0.0f;
    const float tx = translation ? translation->x : 0.0f;
    const float ty = translation ? translation->y : 0.0f;
    const float c = std::cos(rotation), s = std::sin(rotation);
    const float px[4] = {0, w * sx, w * sx, 0};
    const float py[4] = {0, 0, h * sy, h * sy};
    const float u[4] = {r.left / tw, r.right / tw, r.right / tw, r.left / tw};
    const float v[4] = {r.top / th, r.top / th, r.bottom / th, r.bottom / th};
    for (int i = 0; i < 4; ++i) {
        float x = px[i], y = py[i];
        if (rotation != 0.0f) {
            const float dx = x - cx, dy = y - cy;
            x = cx + dx * c - dy * s;
            y = cy + dx * s + dy * c;
        }
        out[i] = {x + tx, y + ty, u[i], v[i], colour};
    }
}

HRESULT ID3DXSprite::Draw(Texture* texture, const RECT* source, const D3DXVECTOR2* scaling,
                          const D3DXVECTOR2* rotationCenter, float rotation,
                          const D3DXVECTOR2* translation, D3DCOLOR colour) {
    if (!texture) return D3DERR_INVALIDCALL;
    SpriteVertex quad[4];
    corners(*texture, source, scaling, rotationCenter, rotation, translation, colour, quad);
    return device_->drawSpriteQuads(texture, quad, 1);
}
