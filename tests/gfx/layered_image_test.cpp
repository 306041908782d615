// Layered images: texture sizes and padding, layer queries, refused documents, failures.
#include "gfx/layered_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/null_render_device.h"
#include "tests/support/headless_device.h"
#include "tools/writers/psd_writer.h"

namespace {
std::vector<uint32_t> numbered(int width, int height) {
    std::vector<uint32_t> p(size_t(width) * height);
    for (size_t i = 0; i < p.size(); ++i) p[i] = 0xFF000000u | static_cast<uint32_t>(i + 1);
    return p;
}

}  // namespace

TEST(LayeredImage, TexturesArePowersOfTwoWithTheLayerTopLeftAndZeroElsewhere) {
    HeadlessDevice d;
    ASSERT_TRUE(d.ok());
    struct Case {
        int width, height, textureWidth, textureHeight;
    } cases[] = {{100, 30, 128, 32}, {64, 64, 64, 64}, {65, 1, 128, 1}, {0, 0, 1, 1}, {1, 3, 1, 4}};
    PsdDocument doc;
    for (const Case& c : cases)
        doc.layers.push_back(
            psdLayer("l", 10, 20, c.width, c.height, numbered(c.width, c.height), 200));
    const std::vector<uint8_t> psd = writePsd(doc);
    LayeredImage image(d.device(), psd.data(), psd.size());
    ASSERT_EQ(image.layerCount(), static_cast<int>(std::size(cases)));
    for (int i = 0; i < image.layerCount(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.width);
        Texture* t = image.texture(i);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->width(), c.textureWidth);
        EXPECT_EQ(t->height(), c.textureHeight);
        EXPECT_EQ(t->format(), D3DFMT_A8R8G8B8);
        const std::vector<uint32_t> all = textureTexels(*t);
        const std::vector<uint32_t> layer = numbered(c.width, c.height);
        for (int y = 0; y < c.textureHeight; ++y)
            for (int x = 0; x < c.textureWidth; ++x) {
                const uint32_t expected =
                    x < c.width && y < c.height ? layer[size_t(y) * c.width + x] : 0;
                ASSERT_EQ(all[size_t(y) * c.textureWidth + x], expected) << x << "," << y;
            }
        EXPECT_EQ(image.layerWidth(i), c.width);
        EXPECT_EQ(image.layerHeight(i), c.height);
        EXPECT_EQ(image.opacity(i), 200u);
    }

    // Drawn as a sprite at its position, the layer lands there on screen.
    d.graphics->beginFrame(0);
    const D3DXVECTOR2 at{float(image.layerLeft(0)), float(image.layerTop(0))};
    d.graphics->sprite()->Draw(image.texture(0), nullptr, nullptr, nullptr, 0, &at, 0xFFFFFFFF);
    d.readBack();
    EXPECT_EQ(d.pixel(10 + 5, 20 + 2) & 0xFFFFFF, (2u * 100 + 5 + 1));
    EXPECT_EQ(d.pixel(10 + 110, 20 + 2) & 0xFFFFFF, 0u);
}

TEST(LayeredImage, QueriesByNameIndexAndScale) {
    const std::string longName = "abcdefghijklmnopqrstuvwxyz01234-tail";
    PsdDocument doc;
    doc.layers = {psdLayer("button", -5, 7, 5, 3, numbered(5, 3)),
                  psdLayer(longName, 0, 0, 1, 1, numbered(1, 1)),
                  psdLayer("button", 1, 1, 2, 2, numbered(2, 2)),
                  psdLayer("button_on", 0, 0, 1, 1, numbered(1, 1))};
    const std::vector<uint8_t> psd = writePsd(doc);
    HeadlessDevice d(64, 64);
    ASSERT_TRUE(d.ok());
    LayeredImage image(d.device(), psd.data(), psd.size());
    ASSERT_EQ(image.layerCount(), 4);

    struct Lookup {
        std::string name;
        int index;
    } lookups[] = {
        {"button", 0},  // the first of two
        {"button_on", 3},
        {"butto", -1},                           // a prefix is no match
        {longName.substr(0, 31) + "-other", 1},  // only 31 bytes count
        {longName.substr(0, 30), -1},
        {"", -1},
    };
    for (const Lookup& l : lookups) EXPECT_EQ(image.findLayer(l.name.c_str()), l.index) << l.name;
    EXPECT_EQ(image.findLayer(nullptr), -1);
    EXPECT_EQ(std::string(image.layerName(1)), longName.substr(0, 31));

    for (int outside : {4, -1, 1000}) {
        EXPECT_EQ(image.texture(outside), nullptr);
        EXPECT_EQ(image.layerWidth(outside), 0);
        EXPECT_EQ(image.layerHeight(outside), 0);
        EXPECT_EQ(image.layerLeft(outside), 0);
        EXPECT_EQ(image.layerTop(outside), 0);
        EXPECT_EQ(image.opacity(outside), 0u);
    }

    // Scaled values are truncated toward zero.
    image.horizontalScale = 1.5f;
    image.verticalScale = 0.5f;
    EXPECT_EQ(image.layerWidth(0), 7);   // 7.5
    EXPECT_EQ(image.layerLeft(0), -7);   // -7.5
    EXPECT_EQ(image.layerHeight(0), 1);  // 1.5
    EXPECT_EQ(image.layerTop(0), 3);     // 3.5
}

TEST(LayeredImage, RefusedDocumentHasNoLayers) {
    HeadlessDevice d(64, 64);
    ASSERT_TRUE(d.ok());
    std::vector<uint8_t> psd = writePsd({});
    psd[25] = 1;  // grayscale
    LayeredImage image(d.device(), psd.data(), psd.size());
    EXPECT_EQ(image.layerCount(), 0);
    EXPECT_EQ(image.findLayer(""), -1);
    EXPECT_EQ(image.texture(0), nullptr);
    EXPECT_EQ(image.layerWidth(0), 0);
    LayeredImage none(d.device(), nullptr, 0);
    EXPECT_EQ(none.layerCount(), 0);
}

TEST(LayeredImageDeathTest, TextureCreationFailureExitsWithMinusOne) {
    PsdDocument doc;
    doc.layers = {psdLayer("a", 0, 0, 4, 4, numbered(4, 4))};
    const std::vector<uint8_t> psd = writePsd(doc);
    NullRenderDevice device;
    device.refuseResources = true;
    EXPECT_EXIT(LayeredImage(&device, psd.data(), psd.size()), testing::ExitedWithCode(255), "");
}
