// Drawing one layer of a layered image at its designed place in the 800 x 600 space.
#include "gfx/layer_drawing.h"

#include "gfx/graphics_device.h"
#include "gfx/layered_image.h"

void drawLayer(const LayeredImage* image, int index) {
    GraphicsDevice* g = graphicsDevice();
    if (!image || !g || !g->sprite()) return;
    Texture* texture = image->texture(index);
    if (!texture) return;
    const float sx = static_cast<float>(g->backBufferWidth()) * 0.00125f;
    const float sy = static_cast<float>(g->backBufferHeight()) * 0.0016666667f;
    const RECT source{0, 0, image->layerWidth(index), image->layerHeight(index)};
    const D3DXVECTOR2 scaling{sx, sy};
    const D3DXVECTOR2 at{static_cast<float>(image->layerLeft(index)) * sx,
                         static_cast<float>(image->layerTop(index)) * sy};
    g->sprite()->Draw(texture, &source, &scaling, nullptr, 0, &at,
                      (image->opacity(index) << 24) | 0x00FFFFFF);
}

void drawLayerByName(const LayeredImage* image, const char* name) {
    if (image && name) drawLayer(image, image->findLayer(name));
}
