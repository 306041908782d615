// Sprite placement: size, scaling, translation and rotation of the drawn rectangle.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/d3dx8_sprite.h"

namespace {
class FakeTexture final : public Texture {
public:
    FakeTexture(int w, int h) : w_(w), h_(h) {}
    int width() const override { return w_; }
    int height() const override { return h_; }
    D3DFORMAT format() const override { return D3DFMT_A8R8G8B8; }
    HRESULT lockRect(uint32_t, D3DLOCKED_RECT*, const RECT*, uint32_t) override { return E_FAIL; }
    HRESULT unlockRect(uint32_t) override { return E_FAIL; }
    HRESULT addDirtyRect(const RECT*) override { return D3D_OK; }

private:
    int w_, h_;
};
}  // namespace

TEST(Sprite, SourceRectangleScaledAndMoved) {
    FakeTexture texture(128, 32);
    const RECT source{0, 0, 100, 30};
    const D3DXVECTOR2 scale{2.0f, 0.5f}, at{10.0f, 20.0f};
    SpriteVertex v[4];
    ID3DXSprite::corners(texture, &source, &scale, nullptr, 0, &at, 0x80FFFFFF, v);
    EXPECT_FLOAT_EQ(v[0].x, 10);
    EXPECT_FLOAT_EQ(v[0].y, 20);
    EXPECT_FLOAT_EQ(v[2].x, 210);
    EXPECT_FLOAT_EQ(v[2].y, 35);
    EXPECT_FLOAT_EQ(v[2].u, 100.0f / 128);
    EXPECT_FLOAT_EQ(v[2].v, 30.0f / 32);
    EXPECT_EQ(v[1].colour, 0x80FFFFFFu);
}

TEST(Sprite, WholeTextureWithoutSourceAndRotationAboutTheCentre) {
    FakeTexture texture(10, 10);
    const D3DXVECTOR2 centre{5, 5};
    SpriteVertex v[4];
    ID3DXSprite::corners(texture, nullptr, nullptr, &centre, 3.14159265f / 2, nullptr, 0, v);
    // A quarter turn about the centre moves the top-left corner to the top-right.
    EXPECT_NEAR(v[0].x, 10, 1e-4);
    EXPECT_NEAR(v[0].y, 0, 1e-4);
    EXPECT_FLOAT_EQ(v[2].u, 1);
}
