// The message window: construction, text placement, and the page icon's blinking.
#include "game/message_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/null_render_device.h"
#include "tests/game/widget_fixtures.h"
#include "tests/support/test_font.h"

namespace {
std::vector<PsdWriterLayer> interfaceLayers() {
    return {solidLayer("menuitem", 0, 0, 10, 10, 0xFFFFFFFF),
            solidLayer("window", 50, 400, 700, 180, 0xFF000060),
            solidLayer("pageicon", 700, 540, 20, 20, 0xFFFFC000)};
}
}  // namespace

TEST(MessageWindow, BuiltOnTheWindowLayerWithItsPageIconAfterIt) {
    NullRenderDevice device;
    auto image = layeredImage(&device, interfaceLayers());
    {
        MessageWindow window(image.get());
        EXPECT_EQ(window.normalLayer, 1);
        EXPECT_EQ(window.pressedLayer, 1);
        EXPECT_EQ(window.hoverLayer, 1);
        EXPECT_TRUE(window.visible);
        EXPECT_FALSE(window.callback);
        EXPECT_EQ(window.x, -1);
        EXPECT_EQ(window.text, nullptr);
        EXPECT_EQ(window.blinkTimer, 0.0f);
        ASSERT_NE(window.pageIcon, nullptr);
        const Widget& icon = *window.pageIcon;
        EXPECT_EQ(icon.normalLayer, 2);
        EXPECT_EQ(icon.pressedLayer, 2);
        EXPECT_EQ(icon.hoverLayer, 2);
        EXPECT_TRUE(icon.visible);
        EXPECT_FALSE(icon.callback);
        // Drawn over the window: it follows it in the list.
        EXPECT_EQ(widgetList().head, &window);
        EXPECT_EQ(window.next, &icon);
        EXPECT_EQ(widgetList().tail, &icon);
    }
    EXPECT_EQ(widgetList().head, nullptr);
    EXPECT_EQ(widgetList().tail, nullptr);
}

TEST(MessageWindow, TextSitsInsideTheWindowLayer) {
    HeadlessDevice d(1024, 768);
    ASSERT_TRUE(d.ok());
    auto image = layeredImage(d.device(), interfaceLayers());
    MessageWindow window(image.get());
    const std::string text = repeated(kFullGlyph, 2);
    window.text = text.c_str();
    drawFrame(d);
    // The text starts at design (50 + 28, 400 + 16), in white; 1.28 pixels per design pixel.
    auto at = [](float design) { return static_cast<int>(design * 1.28f); };
    EXPECT_EQ(rgbAt(d, at(78) + 1, at(416) + 1), 0xFFFFFFu);
    EXPECT_EQ(rgbAt(d, at(78 + 49), at(416 + 24)), 0xFFFFFFu);
    EXPECT_EQ(rgbAt(d, at(78) - 2, at(420)), 0x000060u);
    EXPECT_EQ(rgbAt(d, at(420), at(416) - 2), 0x000060u);
    EXPECT_EQ(rgbAt(d, at(78 + 56), at(420)), 0x000060u);
    // The window itself at its layer's place.
    EXPECT_EQ(rgbAt(d, at(51), at(401)), 0x000060u);
    EXPECT_EQ(rgbAt(d, at(49), at(401)), 0u);
}

TEST(MessageWindow, PageIconBlinksWhileTheTextEndsInACarriageReturn) {
    HeadlessDevice d;
    ASSERT_TRUE(d.ok());
    auto image = layeredImage(d.device(), interfaceLayers());
    MessageWindow window(image.get());
    const std::string waiting = repeated(kFullGlyph, 1) + "\r";
    const std::string typing = repeated(kFullGlyph, 1);
    const std::string empty;
    struct Case {
        const std::string* text;
        bool windowVisible;
        float timer;
        bool iconShown;
        float timerAfter;
    } cases[] = {
        {&waiting, true, 0, true, 0},
        {&waiting, true, 29.9f, true, 29.9f},
        {&waiting, true, 30, false, 30},
        {&waiting, true, 59.9f, false, 59.9f},
        {&waiting, true, 60, true, 60},
        {&waiting, true, 95, false, 95},
        {&waiting, true, 125, true, 125},
        // Not waiting for a click: the timer starts again and the icon stays hidden.
        {&typing, true, 10, false, 0},
        {&empty, true, 10, false, 0},
        {nullptr, true, 10, false, 0},
        // A hidden window hides its icon and leaves the timer alone.
        {&waiting, false, 10, false, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.text ? c.text->size() : 99) << " " << c.timer
                                        << (c.windowVisible ? "" : " hidden"));
        window.text = c.text ? c.text->c_str() : nullptr;
        window.visible = c.windowVisible;
        window.blinkTimer = c.timer;
        window.pageIcon->visible = !c.iconShown;  // whatever it was, draw() decides
        drawFrame(d);
        EXPECT_EQ(window.pageIcon->visible, c.iconShown);
        EXPECT_EQ(window.blinkTimer, c.timerAfter);
        EXPECT_TRUE(near(rgbAt(d, 710, 550),
                         c.iconShown       ? 0xFFC000u
                         : c.windowVisible ? 0x000060u
                                           : 0u,
                         1));
    }
}
