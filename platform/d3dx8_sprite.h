// The D3DX8 sprite: textured screen-space rectangles drawn through the render device.
#pragma once

#include <memory>

#include "platform/render_device.h"

struct D3DXVECTOR2 {
    float x = 0, y = 0;
};

class ID3DXSprite {
public:
    explicit ID3DXSprite(RenderDevice* device) : device_(device) {}

    // Starts a batch. Each Draw reaches the device at once, so a texture rewritten between two
    // draws shows its old picture in the first; the device batches what it safely can.
    HRESULT Begin();
    // The source rectangle of `texture` (the whole texture when null) becomes a rectangle of
    // the same size in pixels, scaled, rotated by `rotation` radians about `rotationCenter`
    // (in scaled pixels from its top-left corner) and moved so that its top-left corner lands
    // at `translation`; every texel is multiplied by `colour`.
    HRESULT Draw(Texture* texture, const RECT* source, const D3DXVECTOR2* scaling,
                 const D3DXVECTOR2* rotationCenter, float rotation, const D3DXVECTOR2* translation,
                 D3DCOLOR colour);
    HRESULT End();

    // The four corners Draw gives, for tests and callers that need the placement.
    static void corners(const Texture& texture, const RECT* source, const D3DXVECTOR2* scaling,
                        const D3DXVECTOR2* rotationCenter, float rotation,
                        const D3DXVECTOR2* translation, D3DCOLOR colour, SpriteVertex out[4]);

private:
    RenderDevice* device_;
    bool inBatch_ = false;
};

HRESULT D3DXCreateSprite(RenderDevice* device, std::unique_ptr<ID3DXSprite>* sprite);
