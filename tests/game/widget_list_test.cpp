// The widget list and construction: creation order, unlinking, layer lookup, walks that
// callbacks change, drawing without a device.
#include <gtest/gtest.h>

#include <vector>

#include "game/widget.h"
#include "platform/null_render_device.h"
#include "tests/game/widget_fixtures.h"

namespace {
std::vector<Widget*> listed() {
    std::vector<Widget*> out;
    for (Widget* w = widgetList().head; w; w = w->next) out.push_back(w);
    // The backward links must tell the same story.
    std::vector<Widget*> backwards;
    for (Widget* w = widgetList().tail; w; w = w->previous) backwards.insert(backwards.begin(), w);
    EXPECT_EQ(out, backwards);
    return out;
}

class WidgetListTest : public ::testing::Test {
protected:
    NullRenderDevice device;
    std::unique_ptr<LayeredImage> image = layeredImage(
        &device,
        {solidLayer("a", 0, 0, 10, 10, 0xFFFF0000), solidLayer("b", 20, 0, 10, 10, 0xFF00FF00),
         solidLayer("a", 40, 0, 10, 10, 0xFF0000FF), solidLayer("c", 60, 0, 10, 10, 0xFFFFFFFF)});
};
}  // namespace

TEST_F(WidgetListTest, WidgetsJoinAtTheTailAndLeaveFromAnyPlace) {
    EXPECT_EQ(widgetList().head, nullptr);
    auto a = std::make_unique<Widget>(image.get(), "a", nullptr, nullptr, nullptr, true, 0);
    auto b = std::make_unique<Widget>(image.get(), "b", nullptr, nullptr, nullptr, true, 0);
    auto c = std::make_unique<Widget>(0, 0, image.get(), 3, nullptr, true, 0);
    auto d = std::make_unique<Widget>(0, 0, image.get(), 3, nullptr, true, 0);
    EXPECT_EQ(listed(), (std::vector<Widget*>{a.get(), b.get(), c.get(), d.get()}));
    b.reset();  // middle
    EXPECT_EQ(listed(), (std::vector<Widget*>{a.get(), c.get(), d.get()}));
    a.reset();  // head
    EXPECT_EQ(listed(), (std::vector<Widget*>{c.get(), d.get()}));
    d.reset();  // tail
    EXPECT_EQ(listed(), (std::vector<Widget*>{c.get()}));
    auto e = std::make_unique<Widget>(0, 0, image.get(), 0, nullptr, true, 0);
    EXPECT_EQ(listed(), (std::vector<Widget*>{c.get(), e.get()}));
    c.reset();
    e.reset();
    EXPECT_EQ(widgetList().head, nullptr);
    EXPECT_EQ(widgetList().tail, nullptr);
}

TEST_F(WidgetListTest, ConstructionByLayerNames) {
    struct Case {
        const char *normal, *pressed, *hover;
        int normalLayer, pressedLayer, hoverLayer;
    } cases[] = {
        {"a", "b", "c", 0, 1, 3},             // "a" twice: the first wins
        {"a", "b", nullptr, 0, 1, 0},         // no hover layer: the normal one
        {"b", nullptr, "missing", 1, -1, 1},  // not found counts as none
        {nullptr, "c", nullptr, -1, 3, -1},   // the pressed layer has no fallback
        {nullptr, nullptr, "b", -1, -1, 1},
        {"missing", "missing", "missing", -1, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.normalLayer << c.pressedLayer << c.hoverLayer);
        int calls = 0;
        Widget w(
            image.get(), c.normal, c.pressed, c.hover, [&](Widget&) { ++calls; }, true, 7);
        EXPECT_EQ(w.normalLayer, c.normalLayer);
        EXPECT_EQ(w.pressedLayer, c.pressedLayer);
        EXPECT_EQ(w.hoverLayer, c.hoverLayer);
        EXPECT_EQ(w.x, -1);
        EXPECT_EQ(w.y, -1);
        EXPECT_TRUE(w.visible);
        EXPECT_EQ(w.userValue, 7);
        EXPECT_EQ(w.alpha, 255);
        EXPECT_EQ(w.label, nullptr);
        EXPECT_EQ(w.labelPitch, -1);
        EXPECT_EQ(w.horizontalScale, 1.0f);
        EXPECT_FALSE(w.held || w.inside || w.hover);
        ASSERT_TRUE(w.callback);
    }
    // Without an image every layer is none.
    Widget none(nullptr, "a", "a", "a", nullptr, false, 0);
    EXPECT_EQ(none.normalLayer, -1);
    EXPECT_EQ(none.hoverLayer, -1);
    EXPECT_FALSE(none.visible);
}

TEST_F(WidgetListTest, ConstructionByPositionAndIndex) {
    Widget w(510, 150, image.get(), 2, nullptr, false, -1);
    EXPECT_EQ(w.normalLayer, 2);
    EXPECT_EQ(w.pressedLayer, 2);
    EXPECT_EQ(w.hoverLayer, 2);
    EXPECT_EQ(w.x, 510);
    EXPECT_EQ(w.y, 150);
    EXPECT_FALSE(w.visible);
    EXPECT_EQ(w.userValue, -1);
    EXPECT_FALSE(w.callback);
    EXPECT_EQ(w.alpha, 255);
}

TEST_F(WidgetListTest, CallbacksMayDeleteAndCreateWidgetsDuringTheWalk) {
    // Four overlapping widgets held by one press. The first deletes itself and the second; the
    // third creates a widget. The walk must visit the third and fourth exactly once and reach
    // the new one (which is not held and takes nothing).
    std::vector<int> fired;
    std::unique_ptr<Widget> widgets[4];
    std::unique_ptr<Widget> created;
    auto make = [&](int i, WidgetCallback cb) {
        widgets[i] = std::make_unique<Widget>(0, 0, image.get(), 0, std::move(cb), true, i);
    };
    make(0, [&](Widget& w) {
        fired.push_back(w.userValue);
        widgets[1].reset();
        widgets[0].reset();
    });
    make(1, [&](Widget& w) { fired.push_back(w.userValue); });
    make(2, [&](Widget& w) {
        fired.push_back(w.userValue);
        created = std::make_unique<Widget>(
            0, 0, image.get(), 0, [&](Widget&) { fired.push_back(99); }, true, 0);
    });
    make(3, [&](Widget& w) { fired.push_back(w.userValue); });
    EXPECT_EQ(mouseDownAllWidgets(5, 5), 1);
    EXPECT_EQ(mouseUpAllWidgets(5, 5), 1);
    EXPECT_EQ(fired, (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(listed(), (std::vector<Widget*>{widgets[2].get(), widgets[3].get(), created.get()}));

    // The last widget replaces the new one (the walk's next) and deletes itself.
    fired.clear();
    widgets[2]->callback = nullptr;
    widgets[3]->callback = [&](Widget&) {
        created = std::make_unique<Widget>(0, 0, image.get(), 0, nullptr, true, 0);
        widgets[3].reset();
    };
    mouseDownAllWidgets(5, 5);
    EXPECT_EQ(mouseUpAllWidgets(5, 5), 1);
    EXPECT_EQ(listed(), (std::vector<Widget*>{widgets[2].get(), created.get()}));
    EXPECT_FALSE(created->held);
}

TEST_F(WidgetListTest, DrawingWithoutADeviceDoesNothing) {
    Widget w(image.get(), "a", "b", nullptr, nullptr, true, 0);
    w.label = "\x88\x9f";
    ASSERT_EQ(graphicsDevice(), nullptr);
    EXPECT_EQ(drawAllWidgets(), 0);
    // A wrapper whose device was never created has no sprite either.
    GraphicsDevice idle;
    setGraphicsDevice(&idle);
    EXPECT_EQ(drawAllWidgets(), 0);
    // Hit testing falls back to the design space.
    EXPECT_TRUE(w.contains(9, 9));
    EXPECT_FALSE(w.contains(10, 9));
    setGraphicsDevice(nullptr);
}
