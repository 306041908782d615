// The frame drawing: lights, the 3D pass of the scene, then the 2D pass of masks, fades,
// widgets and pictures.
#include "character/masks.h"
#include "game/dress_up_screen.h"
#include "game/game.h"
#include "game/widget.h"
#include "gfx/graphics_device.h"
#include "gfx/layer_drawing.h"
#include "gfx/layered_image.h"
#include "media/model_instance.h"

void Game::drawFrame() {
    GraphicsDevice* g = graphicsDevice();
    if (!g || !g->device()) return;
    RenderDevice* device = g->device();

    device->setRenderState(D3DRS_LIGHTING, 1);
    for (int i = 0; i < kLightCount; ++i) {
        device->lightEnable(static_cast<uint32_t>(i), lights[i].enabled);
        if (!lights[i].enabled) continue;
        lights[i].light.Type = D3DLIGHT_DIRECTIONAL;
        device->setLight(static_cast<uint32_t>(i), lights[i].light);
    }
    g->beginFrame(0xFF000000);

    device->beginScene();
    for (ModelInstance* object : drawList.objects) object->draw();
    device->endScene();

    device->beginScene();
    device->setStreamSource(0, nullptr, 0);
    device->setRenderState(D3DRS_ALPHABLENDENABLE, 1);
    device->setRenderState(D3DRS_ALPHATESTENABLE, 0);
    ID3DXSprite* sprite = g->sprite();
    if (sprite) sprite->Begin();

    drawMasks(figure(0), maskImage.get());
    drawMasks(figure(1), maskImage.get());
    if (fades[0].colour >> 24) drawFade(fades[0].colour);
    drawAllWidgets();
    if (titleShown && titleOverlay) {
        drawLayer(titleOverlay.get(), 0);
        drawLayer(titleOverlay.get(), 1);
    }
    if (dressUpScreen) dressUpScreen->drawInfoPanel();
    if (scenePicture) drawLayer(scenePicture.get(), 0);
    if (fades[1].colour >> 24) drawFade(fades[1].colour);

    if (sprite) sprite->End();
    device->endScene();
}

void Game::drawFade(D3DCOLOR colour) {
    GraphicsDevice* g = graphicsDevice();
    Texture* texture = fadeImage ? fadeImage->texture(0) : nullptr;
    if (!texture || !g->sprite()) return;
    const int w = fadeImage->layerWidth(0), h = fadeImage->layerHeight(0);
    if (w <= 0 || h <= 0) return;
    const RECT source{0, 0, w, h};
    const D3DXVECTOR2 scaling{static_cast<float>(g->backBufferWidth()) / static_cast<float>(w),
                              static_cast<float>(g->backBufferHeight()) / static_cast<float>(h)};
    const D3DXVECTOR2 origin{0, 0};
    g->sprite()->Draw(texture, &source, &scaling, nullptr, 0, &origin, colour);
}
