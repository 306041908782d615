// The real game on an offscreen device over a fresh folder with the test add-on set.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "game/game.h"
#include "tests/support/headless_device.h"
#include "tests/support/test_files.h"

class GameTest : public ::testing::Test {
protected:
    // Writes the add-ons with `script` as "script.txt" (UTF-8), creates the device and starts
    // the game on it.
    void start(const std::string& script, int width = 800, int height = 600);
    // Runs `count` frames of `seconds` each.
    void frames(int count, float seconds = 0.016f);
    // Draws the current frame and reads it back: 0xRRGGBB at (x, y).
    uint32_t pixel(int x, int y);
    void TearDown() override;

    // When set, writes further archives into the test folder before the catalogue is built.
    std::function<void(const std::filesystem::path&)> moreAddOns;

    std::unique_ptr<ScopedCurrentPath> folder_;
    std::unique_ptr<HeadlessDevice> device_;
    std::unique_ptr<Game> game_;
    bool drawn_ = false;
};

// Opaque layers blend at 254/255, so what lies under them shines through by a step or two:
// each channel within 3.
::testing::AssertionResult near(uint32_t actual, uint32_t expected);

// The engine's first frame waits and commands wait for the typing credit of the first
// character, so the first command runs on the fourth frame and one more on each frame after.
// A fully faded-in scene: both fades clear, message window on.
constexpr const char* kFadedIn = "%f0,256,0;%f1,256,0;%W1;";
