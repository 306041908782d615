// The real game on an offscreen device over a fresh folder with the test add-on set.
#include "tests/game/game_fixture.h"

#include "app/frame_timer.h"
#include "app/settings.h"
#include "tests/support/game_addons.h"

void GameTest::start(const std::string& script, int width, int height) {
    const auto folder = freshTestFolder();
    folder_ = std::make_unique<ScopedCurrentPath>(folder);
    writeGameAddOns(folder, {{"script.txt", script}});
    if (moreAddOns) moreAddOns(folder);
    device_ = std::make_unique<HeadlessDevice>(width, height);
    ASSERT_TRUE(device_->ok());
    mutableSettings().noSound = true;
    frameTimer().drivenStep = 0.016f;
    game_ = std::make_unique<Game>();
    game_->initialise();
}

void GameTest::frames(int count, float seconds) {
    frameTimer().drivenStep = seconds;
    for (int i = 0; i < count; ++i) game_->frame();
    drawn_ = false;
}

uint32_t GameTest::pixel(int x, int y) {
    if (!drawn_) {
        game_->drawFrame();
        device_->readBack();
        drawn_ = true;
    }
    return device_->pixel(x, y) & 0xFFFFFF;
}

void GameTest::TearDown() {
    game_.reset();
    device_.reset();
    folder_.reset();
    frameTimer().drivenStep = -1.0f;
}

::testing::AssertionResult near(uint32_t actual, uint32_t expected) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = static_cast<int>(actual >> shift & 0xFF);
        const int e = static_cast<int>(expected >> shift & 0xFF);
        if (a - e > 3 || e - a > 3)
            return ::testing::AssertionFailure()
                   << std::hex << actual << " is not near " << expected;
    }
    return ::testing::AssertionSuccess();
}
