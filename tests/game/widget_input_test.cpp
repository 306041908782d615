// Widget hit testing at several back-buffer sizes, and press, drag, release and hover.
#include <gtest/gtest.h>

#include <vector>

#include "game/widget.h"
#include "platform/null_render_device.h"
#include "tests/game/widget_fixtures.h"

TEST(WidgetHitTest, ScaledRectangleIncludesBothEnds) {
    // The rightmost hit column is px + int((w - 1) x sx), the bottom row likewise.
    struct Point {
        int x, y;
        bool hit;
    };
    struct Case {
        int width, height;
        int overrideX, overrideY;  // -1: the layer's own place (0, 10)
        std::vector<Point> points;
    } cases[] = {
        // 100 x 30 at (0, 10): hit from x 0 to 99, y 10 to 39.
        {800,
         600,
         -1,
         -1,
         {{0, 10, true}, {99, 39, true}, {100, 20, false}, {50, 9, false}, {50, 40, false}}},
        // sx = sy = 1.28: x 0 to int(99 x 1.28) = 126, y int(12.8) = 12 to 12 + int(37.12) = 49.
        {1024,
         768,
         -1,
         -1,
         {{0, 12, true}, {126, 49, true}, {127, 20, false}, {50, 11, false}, {50, 50, false}}},
        // An override places it at (200, 100) design: x 256 to 382, y 128 to 165.
        {1024,
         768,
         200,
         100,
         {{256, 128, true},
          {382, 165, true},
          {255, 140, false},
          {383, 140, false},
          {300, 166, false},
          {50, 20, false}}},
        // sx = sy = 0.8: x 0 to int(79.2) = 79, y 8 to 8 + int(23.2) = 31.
        {640, 480, -1, -1, {{79, 31, true}, {80, 20, false}, {40, 7, false}, {40, 32, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " " << c.overrideX);
        HeadlessDevice d(c.width, c.height);
        ASSERT_TRUE(d.ok());
        auto image = layeredImage(d.device(), {solidLayer("button", 0, 10, 100, 30, 0xFFFFFFFF),
                                               solidLayer("empty", 0, 0, 0, 0, 0)});
        Widget w(image.get(), "button", nullptr, nullptr, nullptr, true, 0);
        w.x = c.overrideX;
        w.y = c.overrideY;
        for (const Point& p : c.points) EXPECT_EQ(w.contains(p.x, p.y), p.hit) << p.x << "," << p.y;
        // An empty layer has nothing to hit, even where (w - 1) x sx truncates to 0.
        Widget empty(image.get(), "empty", nullptr, nullptr, nullptr, true, 0);
        EXPECT_FALSE(empty.contains(0, 0));
    }
}

TEST(WidgetHitTest, LayerChoiceNormalThenPressedThenHover) {
    // No device: the design space is the client area.
    NullRenderDevice device;
    auto image = layeredImage(&device, {solidLayer("normal", 0, 0, 10, 10, 0xFFFFFFFF),
                                        solidLayer("pressed", 100, 0, 10, 10, 0xFFFFFFFF),
                                        solidLayer("hover", 200, 0, 10, 10, 0xFFFFFFFF)});
    struct Case {
        const char *normal, *pressed, *hover;
        int hitX;  // the one column tried of 0, 100 and 200 that hits
    } cases[] = {
        {"normal", "pressed", "hover", 0},
        {nullptr, "pressed", "hover", 100},  // an item button with only a pressed layer
        {nullptr, nullptr, "hover", 200},
        {nullptr, nullptr, nullptr, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hitX);
        Widget w(image.get(), c.normal, c.pressed, c.hover, nullptr, true, 0);
        for (int x : {0, 100, 200}) EXPECT_EQ(w.contains(x + 5, 5), x == c.hitX) << x;
    }
}

namespace {
// Two overlapping widgets (0..99 and 50..149 wide, 0..19 high) that record their callbacks.
class WidgetInputTest : public ::testing::Test {
protected:
    NullRenderDevice device;
    std::unique_ptr<LayeredImage> image =
        layeredImage(&device, {solidLayer("left", 0, 0, 100, 20, 0xFFFFFFFF),
                               solidLayer("right", 50, 0, 100, 20, 0xFFFFFFFF)});
    std::vector<int> fired;
    Widget left{
        image.get(), "left", nullptr, nullptr, [this](Widget& w) { fired.push_back(w.userValue); },
        true,        1};
    Widget right{
        image.get(), "right", nullptr, nullptr, [this](Widget& w) { fired.push_back(w.userValue); },
        true,        2};
};
}  // namespace

TEST_F(WidgetInputTest, ClickFiresOnReleaseOnlyWhileStillInside) {
    struct Move {
        char kind;  // 'd' down, 'm' move, 'u' up
        int x;
        int result;  // of the list operation
    };
    struct Case {
        const char* name;
        std::vector<Move> moves;
        std::vector<int> fired;
    } cases[] = {
        {"click", {{'d', 10, 1}, {'u', 10, 1}}, {1}},
        // Both widgets under the press are held; both fire, in list order.
        {"overlap", {{'d', 75, 1}, {'u', 75, 1}}, {1, 2}},
        {"drag off", {{'d', 10, 1}, {'m', 300, 1}, {'u', 300, 1}}, {}},
        {"drag off and back", {{'d', 10, 1}, {'m', 300, 1}, {'m', 20, 1}, {'u', 20, 1}}, {1}},
        // Leaving one of two: only the one still under the pointer fires.
        {"overlap, drag onto one", {{'d', 75, 1}, {'m', 120, 1}, {'u', 120, 1}}, {2}},
        // A press beside every widget takes nothing; neither does its release.
        {"miss", {{'d', 300, 0}, {'m', 10, 0}, {'u', 10, 0}}, {}},
        // A release without a press.
        {"release only", {{'u', 10, 0}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fired.clear();
        for (const Move& m : c.moves) {
            const int result = m.kind == 'd'   ? mouseDownAllWidgets(m.x, 10)
                               : m.kind == 'm' ? mouseMoveAllWidgets(m.x, 10)
                                               : mouseUpAllWidgets(m.x, 10);
            EXPECT_EQ(result, m.result) << m.kind << " " << m.x;
        }
        EXPECT_EQ(fired, c.fired);
        for (const Widget* w : {&left, &right}) EXPECT_FALSE(w->held || w->inside);
    }
}

TEST_F(WidgetInputTest, HeldAndInsideFollowThePointer) {
    mouseDownAllWidgets(10, 10);
    EXPECT_TRUE(left.held && left.inside);
    EXPECT_FALSE(right.held);
    mouseMoveAllWidgets(10, 30);  // below it
    EXPECT_TRUE(left.held);
    EXPECT_FALSE(left.inside);
    EXPECT_FALSE(left.hover);
    mouseMoveAllWidgets(60, 10);
    EXPECT_TRUE(left.inside && left.hover);
    EXPECT_TRUE(right.hover);  // hover is independent of being held
    EXPECT_FALSE(right.inside);
    mouseUpAllWidgets(60, 10);
    EXPECT_EQ(fired, std::vector<int>{1});
}

TEST_F(WidgetInputTest, HiddenWidgetsTakeNoPressButStillTrackHover) {
    left.visible = false;
    EXPECT_EQ(mouseMoveAllWidgets(10, 10), 0);
    EXPECT_TRUE(left.hover);
    EXPECT_EQ(mouseDownAllWidgets(10, 10), 0);
    EXPECT_FALSE(left.held);
    EXPECT_EQ(mouseUpAllWidgets(10, 10), 0);
    mouseMoveAllWidgets(300, 10);
    EXPECT_FALSE(left.hover);
    // Hidden while held: the release still ends the press and fires.
    left.visible = true;
    mouseDownAllWidgets(10, 10);
    left.visible = false;
    EXPECT_EQ(mouseUpAllWidgets(10, 10), 1);
    EXPECT_EQ(fired, std::vector<int>{1});
    // A held widget without a callback still takes the release.
    left.visible = true;
    left.callback = nullptr;
    mouseDownAllWidgets(10, 10);
    EXPECT_EQ(mouseUpAllWidgets(10, 10), 1);
    EXPECT_FALSE(left.held);
}
