// The device's shortcuts (opaque textures unblended, one-colour sprites unsampled, a zero
// specular term left out) against the plain drawing: the same scenes must give the same bytes,
// also where a texture changes between draws and the shortcut no longer applies.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "platform/d3dx8_sprite.h"
#include "platform/gl/gl_render_device.h"
#include "tests/platform/model_vertices.h"
#include "tests/support/headless_device.h"

namespace {
void fill(Texture& texture, const std::function<uint32_t(int, int)>& texel) {
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture.lockRect(0, &locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < texture.height(); ++y)
        for (int x = 0; x < texture.width(); ++x)
            static_cast<uint32_t*>(locked.pBits)[y * locked.Pitch / 4 + x] = texel(x, y);
    texture.unlockRect(0);
}

class Shortcuts : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(h.ok());
        device = h.device();
        gl = dynamic_cast<GlRenderDevice*>(device);
        ASSERT_NE(gl, nullptr);
    }

    // Draws `scene` without and then with the shortcuts; both pictures must be the same.
    void expectSamePicture(const std::function<void()>& scene) {
        BackBufferImage pictures[2];
        for (int on = 0; on < 2; ++on) {
            gl->setShortcuts(on != 0);
            device->clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF306090, 1.0f, 0);
            scene();
            ASSERT_EQ(device->readBackBuffer(&pictures[on]), D3D_OK);
        }
        gl->setShortcuts(true);
        EXPECT_EQ(firstDifference(pictures[0], pictures[1]), "");
        h.image = pictures[1];
    }

    // A lit, textured, alpha-blended and alpha-tested quad over the given clip rectangle, as
    // models are drawn.
    void drawModelQuad(Texture* texture, float left, float top, float right, float bottom,
                       float z) {
        std::vector<Vertex> v;
        auto corner = [&](float x, float y, float u, float t) {
            v.push_back({x, y, z, {0, 0, 0}, {0, 0, 0, 0}, 0.3f, 0.2f, -1, 0xC0FFD0A0, u, t});
        };
        corner(left, top, 0, 0), corner(right, top, 1, 0), corner(right, bottom, 1, 1);
        corner(left, top, 0, 0), corner(right, bottom, 1, 1), corner(left, bottom, 0, 1);
        device->setTexture(0, texture);
        drawTriangleList(device, v, buffers);
        device->setTexture(0, nullptr);
    }

    void sprite(Texture* texture, float x, float y, float scale, D3DCOLOR colour) {
        const D3DXVECTOR2 at{x, y}, scaling{scale, scale};
        SpriteVertex quad[4];
        ID3DXSprite::corners(*texture, nullptr, &scaling, nullptr, 0, &at, colour, quad);
        ASSERT_EQ(device->drawSpriteQuads(texture, quad, 1), D3D_OK);
    }

    HeadlessDevice h{96, 64};
    RenderDevice* device = nullptr;
    GlRenderDevice* gl = nullptr;
    std::vector<std::unique_ptr<VertexBuffer>> buffers;
};
}  // namespace

TEST_F(Shortcuts, ModelsKeepTheirPixelsAsTexturesTurnTranslucentAndBack) {
    std::unique_ptr<Texture> texture;
    ASSERT_EQ(device->createTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3D_OK);
    D3DMATRIX identity{};
    identity._11 = identity._22 = identity._33 = identity._44 = 1;
    auto opaque = [](int x, int y) { return 0xFF000000u | (x * 0x3F0000u) | (y * 0x3F00u); };
    // Alpha 0, 128 and 255 side by side: cut out, blended and solid.
    auto translucent = [](int x, int) {
        return (x == 0 ? 0u : x == 1 ? 0x80u : 0xFFu) << 24 | 0x40C020u;
    };
    expectSamePicture([&] {
        device->setTransform(D3DTS_VIEW, identity);
        device->setTransform(D3DTS_PROJECTION, identity);
        device->setTransform(D3DTS_WORLD, identity);
        device->setVertexShader(kModelVertexFormat);
        device->setRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->setRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
        device->setRenderState(D3DRS_ALPHABLENDENABLE, 1);
        device->setRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->setRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device->setRenderState(D3DRS_ALPHATESTENABLE, 1);
        device->setRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
        device->setRenderState(D3DRS_ALPHAREF, 1);
        device->setTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
        device->setTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
        device->setRenderState(D3DRS_LIGHTING, 1);
        device->setRenderState(D3DRS_SPECULARENABLE, 1);
        device->setRenderState(D3DRS_NORMALIZENORMALS, 1);
        D3DLIGHT8 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = light.Specular = {1, 1, 1, 1};
        light.Direction = {0.2f, -0.3f, 1};
        device->setLight(0, light);
        device->lightEnable(0, true);
        // No specular colour (left out with the shortcuts), then a highlight.
        D3DMATERIAL8 material{};
        material.Ambient = {0.2f, 0.2f, 0.2f, 1};
        material.Power = 8;
        device->setMaterial(material);
        fill(*texture, opaque);
        drawModelQuad(texture.get(), -0.9f, 0.9f, -0.1f, 0.1f, 0.5f);
        fill(*texture, translucent);
        drawModelQuad(texture.get(), -0.5f, 0.5f, 0.4f, -0.4f, 0.4f);
        material.Specular = {0.6f, 0.5f, 0.4f, 1};
        device->setMaterial(material);
        fill(*texture, opaque);
        drawModelQuad(texture.get(), 0.1f, 0.9f, 0.9f, -0.9f, 0.3f);
        // Unlit and untextured: alpha 1 everywhere.
        device->setRenderState(D3DRS_LIGHTING, 0);
        drawModelQuad(nullptr, -0.9f, -0.5f, 0.9f, -0.9f, 0.2f);
    });
    // The translucent texture was blended over the first quad, not written over it.
    const uint32_t cut = h.pixel(30, 24), blended = h.pixel(40, 24);
    EXPECT_NE(cut & 0xFFFFFF, blended & 0xFFFFFF);
}

TEST_F(Shortcuts, SpritesOfOneColourTexturesKeepTheirPixels) {
    auto texture = [&](uint32_t argb) { return solidTexture(device, 16, 16, argb); };
    std::unique_ptr<Texture> white = texture(0xFFFFFFFF), green = texture(0xFF00FF00),
                             clear = texture(0x00FFFFFF), halfWhite = texture(0x80FFFFFF),
                             grey = texture(0xFF808080);
    expectSamePicture([&] {
        sprite(white.get(), 0, 0, 6, 0x80FF8040);  // the fade: any tint over a white picture
        sprite(green.get(), 10, 10, 2, 0xC0A0B0C0);
        sprite(clear.get(), 20, 20, 2, 0xFFFFFFFF);
        sprite(halfWhite.get(), 30, 30, 2, 0xFFFF00FF);
        sprite(grey.get(), 40, 5, 2, 0xFFFFFFFF);
        // A one-colour picture repainted with a pattern is sampled again.
        fill(*white, [](int x, int y) { return (x + y) % 2 ? 0xFFFF0000u : 0xFF0000FFu; });
        sprite(white.get(), 60, 20, 2, 0xFFFFFFFF);
        fill(*white, [](int, int) { return 0xFFFFFFFFu; });
        sprite(white.get(), 70, 40, 1, 0x40000000);
    });
}
