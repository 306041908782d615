// The mask overlays: each enabled channel's locator projected to the screen, a sprite there.
#include "character/masks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/settings.h"
#include "gfx/graphics_device.h"
#include "gfx/layered_image.h"
#include "media/model_instance.h"
#include "media/motion.h"

void setMaskChannel(CharacterInstance* figure, int channel, float size) {
    if (!figure || channel < 0 || channel >= kMaskChannels) return;
    const uint32_t bit = 1u << channel;
    figure->locatorValues[channel] = size;
    if (size > 0)
        figure->locatorMask |= bit;
    else
        figure->locatorMask &= ~bit;
}

void drawMasks(const CharacterInstance* figure, const LayeredImage* maskImage) {
    if (!figure || !figure->body || !figure->body->motion) return;
    GraphicsDevice* graphics = graphicsDevice();
    if (!graphics || !graphics->device()) return;
    RenderDevice* device = graphics->device();
    D3DVIEWPORT8 viewport{};
    D3DXMATRIX projection, view;
    device->getViewport(&viewport);
    device->getTransform(D3DTS_PROJECTION, &projection);
    device->getTransform(D3DTS_VIEW, &view);
    const D3DXVECTOR3 eye = graphics->eye();
    const float screenScale = std::max(static_cast<float>(screenWidth()) / 800.0f,
                                       static_cast<float>(screenHeight()) / 600.0f);
    Texture* texture = maskImage ? maskImage->texture(0) : nullptr;
    const Motion* motion = figure->body->motion;
    const float frame = motionFrame(figure);

    for (int c = 0; c < kMaskChannels; ++c) {
        if (!(figure->locatorMask & (1u << c))) continue;
        char name[16];
        std::snprintf(name, sizeof name, "loc_mask%02d", c);
        const float* locator = locatorByName(motion, frame, name);
        if (!locator) continue;
        const D3DXMATRIX m = attachmentMatrix(figure, locator[0], locator[1], locator[2], 1.0f);
        const D3DXVECTOR3 origin{0, 0, 0};
        D3DXVECTOR3 p;
        D3DXVec3Project(&p, &origin, &viewport, &projection, &view, &m);
        const float ex = eye.x - m._41, ey = eye.y - m._42, ez = eye.z - m._43;
        float d = std::sqrt(ex * ex + ey * ey + ez * ez);
        if (d <= 0) d = 0.00001f;
        const float size = (1.0f / d) * screenScale * figure->locatorValues[c] * 8.0f;
        if (!texture || !graphics->sprite()) continue;
        const D3DXVECTOR2 scaling{size, size};
        const D3DXVECTOR2 at{p.x - 64.0f * size, p.y - 64.0f * size};
        graphics->sprite()->Draw(texture, nullptr, &scaling, nullptr, 0, &at, 0xFCFFFFFF);
    }
}
