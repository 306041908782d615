// Mask overlays drawn on the real device: placement and scale from the locator's distance,
// disabled and missing channels.
#include "character/masks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/settings.h"
#include "archive/catalogue.h"
#include "character/camera.h"
#include "gfx/layered_image.h"
#include "media/model_instance.h"
#include "media/motion.h"
#include "tests/support/headless_device.h"
#include "tests/support/test_files.h"
#include "tools/writers/motion_writer.h"
#include "tools/writers/psd_writer.h"

namespace {
constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00;

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    bool operator==(const Box&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Box& b) {
    return out << "[" << b.left << ", " << b.top << ") to [" << b.right << ", " << b.bottom << ")";
}

class MaskTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(d.ok());
        // A 128 x 128 mask, red with a green top-left corner to show which way up it lands.
        std::vector<uint32_t> pixels(128 * 128, kRed);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) pixels[y * 128 + x] = kGreen;
        PsdDocument doc;
        doc.layers.push_back(psdLayer("mask", 0, 0, 128, 128, pixels));
        const std::vector<uint8_t> psd = writePsd(doc);
        mask = std::make_unique<LayeredImage>(d.device(), psd.data(), psd.size());

        // One frame; loc_mask00 and loc_mask03 where the test wants them.
        MotionData data;
        data.boneCount = 1;
        data.frameCount = 1;
        data.matrices = {identity16()};
        data.locatorNames = {"loc_mask00", "loc_mask03"};
        data.locatorValues = {{0, 8, 7, 0, 0, 0, 1, 1, 1}, {0, 8, 11, 0, 0, 0, 1, 1, 1}};
        const std::string text = writeTss(data);
        ASSERT_EQ(readTss(&motion, text.c_str(), text.size()), 0);
        figure.body = new Model(d.device());
        figure.body->motion = &motion;
        setCameraPath(camera, nullptr, false);  // eye (0, 8, 15): loc_mask00 is 8 away
    }
    void TearDown() override {
        if (figure.body) figure.body->motion = nullptr;
        std::filesystem::remove_all("add-ons");
        buildCatalogue();
    }

    // The box of every pixel that is not black after drawing the masks of `who`.
    Box drawn(const CharacterInstance* who, const LayeredImage* image) {
        d.graphics->beginFrame(0);
        d.device()->beginScene();
        d.graphics->sprite()->Begin();
        drawMasks(who, image);
        d.graphics->sprite()->End();
        d.device()->endScene();
        d.readBack();
        Box box{800, 600, 0, 0};
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                if (d.pixel(x, y) & 0xFFFFFF) {
                    box.left = std::min(box.left, x);
                    box.top = std::min(box.top, y);
                    box.right = std::max(box.right, x + 1);
                    box.bottom = std::max(box.bottom, y + 1);
                }
        if (box.right == 0) return {};
        return box;
    }

    ScopedCurrentPath inFolder{freshTestFolder()};
    HeadlessDevice d;
    std::unique_ptr<LayeredImage> mask;
    Motion motion;
    CharacterInstance figure;
    CameraControl camera;
};
}  // namespace

TEST_F(MaskTest, SizeOneAtDistanceEightDrawsTheImageAtScaleOneCentredOnTheLocator) {
    setMaskChannel(&figure, 0, 1.0f);
    EXPECT_EQ(drawn(&figure, mask.get()), (Box{336, 236, 464, 364}));
    // Translucent by the colour's alpha 0xFC, the right way up.
    EXPECT_NEAR(int((d.pixel(400, 300) >> 16) & 0xFF), 252, 1);
    EXPECT_EQ(d.pixel(400, 300) & 0xFFFF, 0u);
    EXPECT_NEAR(int((d.pixel(339, 239) >> 8) & 0xFF), 252, 1);
    EXPECT_EQ(d.pixel(463, 363) & 0xFF00, 0u);
}

TEST_F(MaskTest, ScaleFollowsSizeDistanceAndTheConfiguredScreen) {
    const struct {
        const char* what;
        int channel;
        float size;
        int screenWidth, screenHeight;
        Box box;
    } cases[] = {
        {"half size", 0, 0.5f, 800, 600, {368, 268, 432, 332}},
        {"distance 4 doubles it", 3, 1.0f, 800, 600, {272, 172, 528, 428}},
        // The larger of the two screen ratios.
        {"a screen configured twice as wide", 0, 1.0f, 1600, 600, {272, 172, 528, 428}},
        {"a screen configured twice as high", 0, 1.0f, 800, 1200, {272, 172, 528, 428}},
    };
    for (const auto& c : cases) {
        CharacterInstance one;
        one.body = new Model(d.device());
        one.body->motion = &motion;
        setMaskChannel(&one, c.channel, c.size);
        mutableSettings().screenWidth = c.screenWidth;
        mutableSettings().screenHeight = c.screenHeight;
        EXPECT_EQ(drawn(&one, mask.get()), c.box) << c.what;
        mutableSettings().screenWidth = 800;
        mutableSettings().screenHeight = 600;
        one.body->motion = nullptr;
    }
}

TEST_F(MaskTest, DisabledMissingAndImpossibleChannelsDrawNothing) {
    setMaskChannel(&figure, 0, 1.0f);
    setMaskChannel(&figure, 0, 0.0f);  // size 0 disables it
    EXPECT_EQ(figure.locatorMask, 0u);
    setMaskChannel(&figure, 3, -1.0f);
    setMaskChannel(&figure, 5, 1.0f);  // enabled, but the motion has no loc_mask05
    EXPECT_EQ(figure.locatorMask, 1u << 5);
    setMaskChannel(&figure, 32, 1.0f);
    setMaskChannel(&figure, -1, 1.0f);
    EXPECT_EQ(figure.locatorMask, 1u << 5);
    EXPECT_EQ(drawn(&figure, mask.get()), Box{});

    // An enabled channel still draws nothing without a figure, a motion or a mask layer.
    setMaskChannel(&figure, 0, 1.0f);
    const std::vector<uint8_t> empty = writePsd(PsdDocument{});
    LayeredImage noLayers(d.device(), empty.data(), empty.size());
    EXPECT_EQ(drawn(nullptr, mask.get()), Box{});
    EXPECT_EQ(drawn(&figure, &noLayers), Box{});
    EXPECT_EQ(drawn(&figure, nullptr), Box{});
    figure.body->motion = nullptr;
    EXPECT_EQ(drawn(&figure, mask.get()), Box{});
}
