// Widgets drawn through the real device: placement and scale, opacity x alpha, the state
// layer, labels.
#include <gtest/gtest.h>

#include <vector>

#include "game/widget.h"
#include "tests/game/widget_fixtures.h"
#include "tests/support/test_font.h"

TEST(WidgetDraw, LayerLandsAtItsScaledPlaceWithOpacityTimesAlpha) {
    HeadlessDevice d(1024, 768);  // 1.28 pixels per design pixel both ways
    ASSERT_TRUE(d.ok());
    // Opacity 200 x alpha 128 / 256 = 100: each channel becomes c x 100 / 255 over black.
    auto image = layeredImage(d.device(), {solidLayer("gauge", 100, 50, 40, 20, 0xFF20A0E0, 200)});
    const uint32_t blended = (0x20 * 100 / 255) << 16 | (0xA0 * 100 / 255) << 8 | 0xE0 * 100 / 255;
    struct Case {
        int overrideX, overrideY;
        float horizontalScale;
        int left, top, right, bottom;  // covered pixels, both ends included
    } cases[] = {
        // (128, 64), 51.2 x 25.6 pixels.
        {-1, -1, 1.0f, 128, 64, 178, 89},
        {300, 200, 1.0f, 384, 256, 434, 281},
        // A gauge half full: the width halves, the left edge stays.
        {-1, -1, 0.5f, 128, 64, 153, 89},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.left * 1000 + c.right);
        Widget w(image.get(), "gauge", nullptr, nullptr, nullptr, true, 0);
        w.x = c.overrideX;
        w.y = c.overrideY;
        w.horizontalScale = c.horizontalScale;
        w.alpha = 128;
        drawFrame(d);
        // Inside (two pixels in from each edge, clear of filtering into the padding).
        for (int x : {c.left + 2, c.right - 2})
            for (int y : {c.top + 2, c.bottom - 2}) EXPECT_TRUE(near(rgbAt(d, x, y), blended, 1));
        // Just outside every edge: untouched.
        EXPECT_EQ(rgbAt(d, c.left - 1, c.top + 5), 0u);
        EXPECT_EQ(rgbAt(d, c.right + 1, c.top + 5), 0u);
        EXPECT_EQ(rgbAt(d, c.left + 5, c.top - 1), 0u);
        EXPECT_EQ(rgbAt(d, c.left + 5, c.bottom + 1), 0u);
        // The edge columns and rows themselves are covered.
        EXPECT_NE(rgbAt(d, c.left, c.top + 5), 0u);
        EXPECT_NE(rgbAt(d, c.right, c.top + 5), 0u);
        EXPECT_NE(rgbAt(d, c.left + 5, c.top), 0u);
    }
    // Hidden, it draws nothing.
    Widget hidden(image.get(), "gauge", nullptr, nullptr, nullptr, false, 0);
    drawFrame(d);
    EXPECT_EQ(rgbAt(d, 150, 75), 0u);
}

TEST(WidgetDraw, StateLayerFollowsHoverAndHeld) {
    HeadlessDevice d;
    ASSERT_TRUE(d.ok());
    // Each state layer sits at a place of its own, so the frame shows which one was drawn.
    auto image = layeredImage(d.device(), {solidLayer("n", 0, 0, 20, 20, 0xFFFF0000),
                                           solidLayer("p", 100, 0, 20, 20, 0xFF00FF00),
                                           solidLayer("h", 200, 0, 20, 20, 0xFF0000FF)});
    enum Shown { None, Normal, Pressed, Hover };
    struct Step {
        char kind;  // 'm' move, 'd' down, 'u' up
        int x;
        Shown shown;
    };
    struct Case {
        const char *name, *normal, *pressed, *hover;
        std::vector<Step> steps;
    } cases[] = {
        {"all three",
         "n",
         "p",
         "h",
         {{'m', 300, Normal},
          {'m', 5, Hover},
          {'d', 5, Pressed},
          {'m', 300, Normal},
          {'m', 5, Pressed},
          {'u', 5, Hover}}},
        // Only a pressed layer (hit-tested on it): drawn only while held with the pointer on it.
        {"pressed only",
         nullptr,
         "p",
         nullptr,
         {{'m', 300, None},
          {'m', 105, None},
          {'d', 105, Pressed},
          {'m', 300, None},
          {'m', 105, Pressed},
          {'u', 105, None}}},
        // No pressed layer: nothing while held inside, the normal layer again once off it.
        {"no pressed layer",
         "n",
         nullptr,
         nullptr,
         {{'m', 5, Normal}, {'d', 5, None}, {'m', 300, Normal}, {'m', 5, None}, {'u', 5, Normal}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Widget w(image.get(), c.normal, c.pressed, c.hover, nullptr, true, 0);
        for (const Step& s : c.steps) {
            SCOPED_TRACE(testing::Message() << s.kind << " " << s.x);
            if (s.kind == 'm') mouseMoveAllWidgets(s.x, 10);
            if (s.kind == 'd') mouseDownAllWidgets(s.x, 10);
            if (s.kind == 'u') mouseUpAllWidgets(s.x, 10);
            drawFrame(d);
            // Opacity 255 x alpha 255 / 256 draws at 254 of 255.
            EXPECT_EQ(rgbAt(d, 10, 10), s.shown == Normal ? 0xFE0000u : 0u);
            EXPECT_EQ(rgbAt(d, 110, 10), s.shown == Pressed ? 0x00FE00u : 0u);
            EXPECT_EQ(rgbAt(d, 210, 10), s.shown == Hover ? 0x0000FEu : 0u);
        }
    }
}

TEST(WidgetDraw, CentredLabel) {
    HeadlessDevice d;
    ASSERT_TRUE(d.ok());
    auto image = layeredImage(d.device(), {solidLayer("bar", 40, 300, 200, 40, 0xFF000040)});
    const std::string label = repeated(kFullGlyph, 2);  // 4 bytes
    struct Case {
        int overrideX, overrideY;
        int textX, textY;  // design pixels
    } cases[] = {
        // x = 100 + 200 / 2 - 4 x 26 / 4 = 174, y = 200 + 4.
        {100, 200, 174, 204},
        // Without an override the label is placed from the layer's own corner.
        {-1, -1, 114, 304},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.textX);
        Widget w(image.get(), "bar", nullptr, nullptr, nullptr, true, 0);
        w.x = c.overrideX;
        w.y = c.overrideY;
        w.label = label.c_str();
        drawFrame(d);
        // Two glyphs of 26 at an advance of 25, each with its shadow 2 right and down.
        EXPECT_EQ(rgbAt(d, c.textX + 1, c.textY + 1), 0xFFFFFFu);
        EXPECT_EQ(rgbAt(d, c.textX + 49, c.textY + 1), 0xFFFFFFu);
        EXPECT_EQ(rgbAt(d, c.textX + 51, c.textY + 10), 0u);  // shadow
        EXPECT_EQ(rgbAt(d, c.textX - 2, c.textY + 10), 0x000040u);
        EXPECT_EQ(rgbAt(d, c.textX + 54, c.textY + 10), 0x000040u);
        EXPECT_EQ(rgbAt(d, c.textX + 10, c.textY - 2), 0x000040u);
    }
}

TEST(WidgetDraw, PitchedLabelShowsWithoutAStateLayerAndTakesTheWidgetAlpha) {
    HeadlessDevice d;
    ASSERT_TRUE(d.ok());
    auto image =
        layeredImage(d.device(), {solidLayer("filebutton", 300, 100, 200, 40, 0xFF000040)});
    const std::string label = repeated(kFullGlyph, 2);
    // As the coordinate file buttons: only a hover layer, a label of pitch 20 at (x, y + 8).
    Widget w(image.get(), nullptr, nullptr, "filebutton", nullptr, true, 0);
    w.x = 300;
    w.y = 100;
    w.label = label.c_str();
    w.labelPitch = 20;
    drawFrame(d);
    // Glyphs of 20 from x 300 and 319, rows 108 to 127; no button picture.
    EXPECT_EQ(rgbAt(d, 301, 109), 0xFFFFFFu);
    EXPECT_EQ(rgbAt(d, 338, 126), 0xFFFFFFu);
    EXPECT_EQ(rgbAt(d, 310, 131), 0u);
    EXPECT_EQ(rgbAt(d, 400, 120), 0u);
    // Hovered, the button shows under its label.
    mouseMoveAllWidgets(400, 120);
    drawFrame(d);
    EXPECT_EQ(rgbAt(d, 301, 109), 0xFFFFFFu);
    EXPECT_EQ(rgbAt(d, 341, 109), 0x000040u);  // right of the text, above its shadow
    EXPECT_EQ(rgbAt(d, 310, 131), 0x000040u);  // below the text and its shadow
    // Alpha 128: the label is white at half strength over black (no picture when not hovered).
    mouseMoveAllWidgets(0, 0);
    w.alpha = 128;
    drawFrame(d);
    EXPECT_TRUE(near(rgbAt(d, 305, 115), 0x808080, 2));
}
