// The OpenGL render device on Mesa's software renderer: creation, clears, sprites, read-back.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/d3dx8_sprite.h"
#include "platform/gl/gl_render_device.h"  // the device's OpenGL, to leave an error behind
#include "tests/support/headless_device.h"

TEST(RenderDevice, CreationSkipsTheInvalidPureSoftwareAttempt) {
    HeadlessDevice h;
    ASSERT_TRUE(h.ok());
    // A pure device needs hardware vertex processing, so the second attempt is the first valid one.
    EXPECT_EQ(h.graphics->creationAttempt(), 2);
    EXPECT_EQ(h.device()->backBufferWidth(), 800);
    EXPECT_EQ(h.device()->backBufferHeight(), 600);
    EXPECT_EQ(h.device()->renderState(D3DRS_SHADEMODE), static_cast<uint32_t>(D3DSHADE_FLAT));
    EXPECT_EQ(h.device()->renderState(D3DRS_AMBIENT), 0xFFFFFFFFu);
    EXPECT_TRUE(h.graphics->presented());
}

TEST(RenderDevice, RejectsInvalidCreationRequests) {
    HeadlessDevice h;
    ASSERT_TRUE(h.ok());
    auto d3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_TRUE(d3d);
    EXPECT_EQ(Direct3DCreate8(219), nullptr);
    D3DPRESENT_PARAMETERS p = h.graphics->presentParameters();
    std::unique_ptr<RenderDevice> device;
    EXPECT_EQ(
        d3d->createDevice(0, D3DDEVTYPE_HAL, h.window.get(),
                          D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING,
                          &p, &device),
        D3DERR_INVALIDCALL);
    p.BackBufferFormat = D3DFMT_D16;
    EXPECT_EQ(d3d->createDevice(0, D3DDEVTYPE_HAL, h.window.get(),
                                D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p, &device),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device, nullptr);
}

TEST(RenderDevice, ClearFillsTheBackBufferAtAnySize) {
    for (auto [w, h] : {std::pair{800, 600}, std::pair{322, 241}}) {
        HeadlessDevice d(w, h);
        ASSERT_TRUE(d.ok());
        d.device()->clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF336699, 1.0f, 0);
        d.readBack();
        EXPECT_EQ(d.image.width, w);
        EXPECT_EQ(d.image.height, h);
        EXPECT_EQ(d.pixel(0, 0) | 0xFF000000, 0xFF336699u);
        EXPECT_EQ(d.pixel(w - 1, h - 1) | 0xFF000000, 0xFF336699u);
    }
}

TEST(RenderDevice, SpriteLandsScaledAtItsTranslationWithRowsTopFirst) {
    HeadlessDevice d;
    ASSERT_TRUE(d.ok());
    auto red = solidTexture(d.device(), 16, 8, 0xFFFF0000);
    auto green = solidTexture(d.device(), 4, 4, 0xFF00FF00);
    ID3DXSprite* sprite = d.graphics->sprite();
    d.device()->clear(D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    sprite->Begin();
    const D3DXVECTOR2 scale{2, 3}, at{100, 50}, corner{0, 0};
    sprite->Draw(red.get(), nullptr, &scale, nullptr, 0, &at, 0xFFFFFFFF);
    sprite->Draw(green.get(), nullptr, nullptr, nullptr, 0, &corner, 0xFFFFFFFF);
    sprite->End();
    d.readBack();
    auto rgb = [&](int x, int y) { return d.pixel(x, y) & 0xFFFFFF; };
    EXPECT_EQ(rgb(100, 50), 0xFF0000u);
    EXPECT_EQ(rgb(131, 73), 0xFF0000u);
    EXPECT_EQ(rgb(132, 73), 0u);
    EXPECT_EQ(rgb(131, 74), 0u);
    EXPECT_EQ(rgb(99, 50), 0u);
    EXPECT_EQ(rgb(100, 49), 0u);
    EXPECT_EQ(rgb(0, 0), 0x00FF00u);
    EXPECT_EQ(rgb(3, 3), 0x00FF00u);
    EXPECT_EQ(rgb(4, 4), 0u);
}

TEST(RenderDevice, SpriteColourTintsAndBlendsOverTheFrame) {
    HeadlessDevice d(64, 64);
    ASSERT_TRUE(d.ok());
    auto white = solidTexture(d.device(), 8, 8, 0xFFFFFFFF);
    auto halfBlue = solidTexture(d.device(), 8, 8, 0x800000FF);
    d.device()->clear(D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    const D3DXVECTOR2 a{0, 0}, b{16, 0};
    d.graphics->sprite()->Draw(white.get(), nullptr, nullptr, nullptr, 0, &a, 0xFF00FF00);
    d.graphics->sprite()->Draw(halfBlue.get(), nullptr, nullptr, nullptr, 0, &b, 0xFFFFFFFF);
    d.readBack();
    EXPECT_EQ(d.pixel(4, 4) & 0xFFFFFF, 0x00FF00u);
    const uint32_t blue = d.pixel(20, 4) & 0xFF;
    EXPECT_NEAR(static_cast<int>(blue), 128, 1);
    EXPECT_EQ(d.pixel(20, 4) & 0xFFFF00, 0u);
}

TEST(RenderDevice, LocksStayInsideTheirResources) {
    HeadlessDevice d(64, 64);
    ASSERT_TRUE(d.ok());
    std::unique_ptr<Texture> texture;
    ASSERT_EQ(d.device()->createTexture(8, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3D_OK);
    D3DLOCKED_RECT locked;
    const RECT outside{0, 0, 9, 4};
    EXPECT_EQ(texture->lockRect(0, &locked, &outside, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture->lockRect(1, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    ASSERT_EQ(texture->lockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 32);
    EXPECT_EQ(texture->lockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture->unlockRect(0), D3D_OK);
    EXPECT_EQ(texture->unlockRect(0), D3DERR_INVALIDCALL);

    EXPECT_EQ(d.device()->createTexture(0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(
        d.device()->createTexture(1 << 20, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
        D3DERR_OUTOFVIDEOMEMORY);

    std::unique_ptr<VertexBuffer> buffer;
    ASSERT_EQ(d.device()->createVertexBuffer(156, 0, kModelVertexFormat, D3DPOOL_MANAGED, &buffer),
              D3D_OK);
    uint8_t* bytes = nullptr;
    EXPECT_EQ(buffer->lock(100, 57, &bytes, 0), D3DERR_INVALIDCALL);
    ASSERT_EQ(buffer->lock(0, 0, &bytes, 0), D3D_OK);
    EXPECT_EQ(buffer->unlock(), D3D_OK);
    d.device()->setStreamSource(0, buffer.get(), 52);
    EXPECT_EQ(d.device()->drawPrimitive(D3DPT_TRIANGLELIST, 1, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(d.device()->drawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
}

TEST(RenderDevice, KeepsTransformsAndTheViewport) {
    HeadlessDevice d(64, 64);
    ASSERT_TRUE(d.ok());
    D3DMATRIX m{};
    m._41 = 7;
    EXPECT_EQ(d.device()->setTransform(D3DTS_WORLDMATRIX(255), m), D3D_OK);
    EXPECT_EQ(d.device()->setTransform(D3DTS_WORLDMATRIX(256), m), D3DERR_INVALIDCALL);
    D3DMATRIX back{};
    d.device()->getTransform(D3DTS_WORLDMATRIX(255), &back);
    EXPECT_EQ(back._41, 7);
    D3DVIEWPORT8 viewport;
    d.device()->getViewport(&viewport);
    EXPECT_EQ(viewport.Width, 64u);
    EXPECT_EQ(viewport.MaxZ, 1.0f);
    EXPECT_EQ(d.device()->setViewport({0, 0, 65, 64, 0, 1}), D3DERR_INVALIDCALL);
}

TEST(RenderDevice, ASpriteRewrittenBetweenTwoDrawsShowsEachPictureInTurn) {
    HeadlessDevice d(64, 64);
    ASSERT_TRUE(d.ok());
    // Larger than anything the device keeps copies of: it is drawn from its own texture.
    auto texture = solidTexture(d.device(), 128, 8, 0xFFFF0000);
    d.device()->clear(D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    ID3DXSprite* sprite = d.graphics->sprite();
    const D3DXVECTOR2 first{0, 0}, second{0, 16};
    sprite->Begin();
    sprite->Draw(texture.get(), nullptr, nullptr, nullptr, 0, &first, 0xFFFFFFFF);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->lockRect(0, &locked, nullptr, 0), D3D_OK);
    for (int i = 0; i < 128 * 8; ++i) static_cast<uint32_t*>(locked.pBits)[i] = 0xFF0000FF;
    texture->unlockRect(0);
    sprite->Draw(texture.get(), nullptr, nullptr, nullptr, 0, &second, 0xFFFFFFFF);
    sprite->End();
    d.readBack();
    EXPECT_EQ(d.pixel(5, 4) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(d.pixel(5, 20) & 0xFFFFFF, 0x0000FFu);
}

// Sprite positions are render-target pixels whatever the viewport; the viewport only clips.
TEST(RenderDevice, SpritesLandOnTargetPixelsInsideASmallerViewport) {
    for (const bool plain : {false, true}) {
        std::unique_ptr<PlainSprites> plainSprites;
        if (plain) plainSprites = std::make_unique<PlainSprites>();
        HeadlessDevice d(64, 64);
        ASSERT_TRUE(d.ok());
        auto green = solidTexture(d.device(), 8, 8, 0xFF00FF00);
        auto big = solidTexture(d.device(), 300, 4, 0xFFFF0000);  // drawn from its own texture
        d.device()->clear(D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        ASSERT_EQ(d.device()->setViewport({16, 16, 32, 32, 0, 1}), D3D_OK);
        ID3DXSprite* sprite = d.graphics->sprite();
        const D3DXVECTOR2 inside{20, 24}, straddling{12, 12}, row{0, 40};
        sprite->Begin();
        sprite->Draw(green.get(), nullptr, nullptr, nullptr, 0, &inside, 0xFFFFFFFF);
        sprite->Draw(green.get(), nullptr, nullptr, nullptr, 0, &straddling, 0xFFFFFFFF);
        sprite->Draw(big.get(), nullptr, nullptr, nullptr, 0, &row, 0xFFFFFFFF);
        sprite->End();
        d.readBack();
        auto rgb = [&](int x, int y) { return d.pixel(x, y) & 0xFFFFFF; };
        EXPECT_EQ(rgb(20, 24), 0x00FF00u) << plain;
        EXPECT_EQ(rgb(27, 31), 0x00FF00u) << plain;
        EXPECT_EQ(rgb(28, 32), 0u) << plain;
        EXPECT_EQ(rgb(16, 16), 0x00FF00u) << plain;  // the part inside the viewport
        EXPECT_EQ(rgb(15, 15), 0u) << plain;         // clipped
        EXPECT_EQ(rgb(16, 40), 0xFF0000u) << plain;
        EXPECT_EQ(rgb(47, 43), 0xFF0000u) << plain;
        EXPECT_EQ(rgb(48, 40), 0u) << plain;
        EXPECT_EQ(rgb(15, 40), 0u) << plain;
    }
}

// A GL error left behind by some earlier call is logged at present, not taken for a lost
// device (which would keep the game from ever counting a frame as presented).
TEST(RenderDevice, PresentReportsLeftoverErrorsWithoutLosingTheDevice) {
    HeadlessDevice d(64, 64);
    ASSERT_TRUE(d.ok());
    glEnable(0x1234);  // GL_INVALID_ENUM
    testing::internal::CaptureStderr();
    EXPECT_EQ(d.device()->present(), D3D_OK);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("OpenGL error 0x0500"), std::string::npos) << log;
    EXPECT_EQ(d.device()->present(), D3D_OK);
}
