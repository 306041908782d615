// Sprites of small textures held back and drawn from shelves of pictures: every draw still shows
// the picture its texture held when it was drawn, in the order drawn, as the plain path does.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/d3dx8_sprite.h"
#include "tests/support/headless_device.h"

namespace {
void fill(Texture& texture, uint32_t argb, uint32_t flags = 0) {
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture.lockRect(0, &locked, nullptr, flags), D3D_OK);
    for (int y = 0; y < texture.height(); ++y)
        for (int x = 0; x < texture.width(); ++x)
            static_cast<uint32_t*>(locked.pBits)[y * locked.Pitch / 4 + x] = argb;
    texture.unlockRect(0);
}

// One quad straight to the device, as the sprite batcher sends it.
void draw(HeadlessDevice& d, Texture* texture, float x, float y) {
    const D3DXVECTOR2 at{x, y};
    SpriteVertex quad[4];
    ID3DXSprite::corners(*texture, nullptr, nullptr, nullptr, 0, &at, 0xFFFFFFFF, quad);
    ASSERT_EQ(d.device()->drawSpriteQuads(texture, quad, 1), D3D_OK);
}

// A device drawing sprites plainly (each from its own texture) or through the batch.
std::unique_ptr<HeadlessDevice> device(bool plain, int width = 800, int height = 600) {
    std::unique_ptr<PlainSprites> plainSprites;
    if (plain) plainSprites = std::make_unique<PlainSprites>();
    return std::make_unique<HeadlessDevice>(width, height);
}

class SpriteBatch : public ::testing::TestWithParam<bool> {};
}  // namespace

TEST_P(SpriteBatch, ARewrittenTextureShowsEachPictureWhereItWasDrawn) {
    auto d = device(GetParam());
    ASSERT_TRUE(d->ok());
    std::unique_ptr<Texture> t = solidTexture(d->device(), 8, 8, 0xFFFF0000);
    d->device()->clear(D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    draw(*d, t.get(), 0, 0);  // red
    fill(*t, 0xFF00FF00);
    draw(*d, t.get(), 10, 0);  // green
    // Written without marking it changed, a managed texture keeps showing what was uploaded.
    fill(*t, 0xFF0000FF, D3DLOCK_NO_DIRTY_UPDATE);
    draw(*d, t.get(), 20, 0);  // still green
    t->addDirtyRect(nullptr);
    draw(*d, t.get(), 30, 0);  // blue
    fill(*t, 0xFFFF0000);
    draw(*d, t.get(), 40, 0);  // red again, a picture seen before
    d->readBack();
    // After the held-back quads went out, a rewrite shows too.
    fill(*t, 0xFFFFFF00);
    draw(*d, t.get(), 50, 0);
    d->readBack();
    const uint32_t expected[] = {0xFF0000, 0x00FF00, 0x00FF00, 0x0000FF, 0xFF0000, 0xFFFF00};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(d->pixel(i * 10 + 4, 4) & 0xFFFFFF, expected[i]) << i;
    EXPECT_EQ(d->pixel(9, 4) & 0xFFFFFF, 0u);
}

TEST_P(SpriteBatch, MorePicturesInOneBatchThanAShelfHolds) {
    // A ring of sixteen textures rewritten 1500 times with colours never repeated: the shelf of
    // their size overflows while all of them wait in one batch.
    auto d = device(GetParam());
    ASSERT_TRUE(d->ok());
    std::vector<std::unique_ptr<Texture>> ring;
    for (int i = 0; i < 16; ++i) ring.push_back(solidTexture(d->device(), 4, 4, 0));
    auto colour = [](int i) { return 0xFF000000u | (uint32_t(i) * 2654435761u >> 8); };
    constexpr int kCount = 1500, kColumns = 150;
    d->device()->clear(D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    for (int i = 0; i < kCount; ++i) {
        Texture* t = ring[i % 16].get();
        fill(*t, colour(i));
        draw(*d, t, float(i % kColumns * 5), float(i / kColumns * 5));
    }
    d->readBack();
    int wrong = 0;
    for (int i = 0; i < kCount; ++i)
        wrong += d->pixel(i % kColumns * 5 + 2, i / kColumns * 5 + 2) != colour(i);
    EXPECT_EQ(wrong, 0);
}

TEST_P(SpriteBatch, HeldBackQuadsGoOutBeforeWhatMustSeeThem) {
    auto d = device(GetParam(), 64, 64);
    ASSERT_TRUE(d->ok());
    RenderDevice* device = d->device();
    auto rgb = [&](int x, int y) { return d->pixel(x, y) & 0xFFFFFF; };
    std::unique_ptr<Texture> red = solidTexture(device, 8, 8, 0xFFFF0000);
    std::unique_ptr<Texture> blue = solidTexture(device, 8, 8, 0xFF0000FF);
    std::unique_ptr<Texture> bigGreen = solidTexture(device, 128, 128, 0xFF00FF00);

    // Small, large and small again, overlapping: the later one is on top.
    device->clear(D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    draw(*d, red.get(), 0, 0);
    draw(*d, bigGreen.get(), 4, 0);
    draw(*d, blue.get(), 8, 0);
    d->readBack();
    EXPECT_EQ(rgb(2, 2), 0xFF0000u);
    EXPECT_EQ(rgb(6, 2), 0x00FF00u);
    EXPECT_EQ(rgb(10, 2), 0x0000FFu);

    // Textures of more sizes than there are shelves, each over the one before.
    device->clear(D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    std::vector<std::unique_ptr<Texture>> sizes;
    for (int i = 0; i < 12; ++i) {
        sizes.push_back(solidTexture(device, 4 + i, 4 + i, 0xFF000000u | uint32_t(20 * i + 10)));
        draw(*d, sizes.back().get(), float(i * 2), 20);
    }
    d->readBack();
    for (int i = 0; i < 12; ++i) EXPECT_EQ(rgb(i * 2 + 1, 21), uint32_t(20 * i + 10)) << i;

    // A clear removes what was drawn before it, and a viewport change clips only later quads
    // (their positions stay render-target pixels).
    draw(*d, red.get(), 0, 40);
    device->clear(D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    draw(*d, blue.get(), 0, 0);
    draw(*d, red.get(), 16, 0);
    ASSERT_EQ(device->setViewport({32, 32, 32, 32, 0, 1}), D3D_OK);
    draw(*d, red.get(), 0, 16);  // outside the viewport: clipped away
    draw(*d, red.get(), 32, 32);
    ASSERT_EQ(device->setViewport({0, 0, 64, 64, 0, 1}), D3D_OK);
    d->readBack();
    EXPECT_EQ(rgb(2, 42), 0u);
    EXPECT_EQ(rgb(2, 2), 0x0000FFu);
    EXPECT_EQ(rgb(18, 2), 0xFF0000u);
    EXPECT_EQ(rgb(2, 18), 0u);
    EXPECT_EQ(rgb(34, 34), 0xFF0000u);

    // A triangle list drawn between two sprites lies between them.
    D3DMATRIX identity{};
    identity._11 = identity._22 = identity._33 = identity._44 = 1;
    for (D3DTRANSFORMSTATETYPE s : {D3DTS_VIEW, D3DTS_PROJECTION, D3DTS_WORLD})
        device->setTransform(s, identity);
    device->setRenderState(D3DRS_LIGHTING, 0);
    device->setRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->setRenderState(D3DRS_ZENABLE, 0);
    device->setVertexShader(kModelVertexFormat);
    struct Vertex {  // the 52-byte model vertex: the left half of the screen in white
        float x, y, z, weights[3];
        uint8_t indices[4];
        float nx, ny, nz;
        uint32_t colour;
        float u, v;
    };
    auto corner = [](float x, float y) {
        return Vertex{x, y, 0.5f, {0, 0, 0}, {0, 0, 0, 0}, 0, 0, -1, 0xFFFFFFFF, 0, 0};
    };
    const Vertex half[] = {corner(-1, 1), corner(0, 1),  corner(0, -1),
                           corner(-1, 1), corner(0, -1), corner(-1, -1)};
    std::unique_ptr<VertexBuffer> buffer;
    ASSERT_EQ(
        device->createVertexBuffer(sizeof half, 0, kModelVertexFormat, D3DPOOL_MANAGED, &buffer),
        D3D_OK);
    uint8_t* bytes = nullptr;
    buffer->lock(0, 0, &bytes, 0);
    std::memcpy(bytes, half, sizeof half);
    buffer->unlock();
    device->setStreamSource(0, buffer.get(), sizeof(Vertex));
    device->clear(D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    draw(*d, red.get(), 0, 0);
    ASSERT_EQ(device->drawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3D_OK);
    draw(*d, blue.get(), 0, 16);
    d->readBack();
    EXPECT_EQ(rgb(2, 2), 0xFFFFFFu);
    EXPECT_EQ(rgb(2, 18), 0x0000FFu);
}

INSTANTIATE_TEST_SUITE_P(PlainAndBatched, SpriteBatch, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Plain" : "Batched"; });
