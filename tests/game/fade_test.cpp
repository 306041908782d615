// Fades: stepping in 16 ms steps of game time and the colour of each level.
#include "game/fade.h"

#include <gtest/gtest.h>

TEST(Fade, StepsSpendTheFrameTimeInSixteenMillisecondSteps) {
    FadeChannel fade;
    startFade(fade, 100, 10);
    stepFade(fade, 50.0f);  // three steps, 2 ms left over
    EXPECT_EQ(fade.stepsRemaining, 7);
    EXPECT_FLOAT_EQ(fade.level, 30.0f);
    EXPECT_FLOAT_EQ(fade.credit, 2.0f);
    stepFade(fade, 1000.0f);  // a long frame ends on the target, not beyond it
    EXPECT_EQ(fade.stepsRemaining, 0);
    EXPECT_FLOAT_EQ(fade.level, 100.0f);
}

TEST(Fade, TargetsAreClampedAndZeroFramesSetAtOnce) {
    FadeChannel fade;
    startFade(fade, 900, 0);
    EXPECT_FLOAT_EQ(fade.level, 511.0f);
    startFade(fade, -20, 0);
    EXPECT_FLOAT_EQ(fade.level, 0.0f);
    startFade(fade, 300, -4);  // a negative count would never arrive
    EXPECT_FLOAT_EQ(fade.level, 300.0f);
}

TEST(Fade, ColourOfEachLevel) {
    const struct {
        float level;
        D3DCOLOR colour;
    } cases[] = {
        {-1.0f, 0xFF000000},  {0.0f, 0xFF000000},   {100.7f, 0x9B000000}, {255.0f, 0x00000000},
        {256.0f, 0x00FFFFFF}, {300.0f, 0x2CFFFFFF}, {511.0f, 0xFFFFFFFF}, {600.0f, 0xFFFFFFFF},
    };
    for (const auto& c : cases) EXPECT_EQ(fadeColour(c.level), c.colour) << c.level;
}
