// The main window's messages: the drag modes with capture, widget presses, keys and the wheel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/application.h"
#include "game/widget.h"
#include "platform/system.h"
#include "platform/window.h"
#include "tests/game/game_fixture.h"

namespace {
// Records capture; everything else a window does is not needed here.
class CaptureWindow : public Window {
public:
    int clientWidth() const override { return 800; }
    int clientHeight() const override { return 600; }
    void outerRect(int*, int*, int*, int*) const override {}
    bool isFullScreen() const override { return false; }
    void show() override {}
    void setCapture() override { captured = true; }
    void releaseCapture() override { captured = false; }
    bool hasCapture() const override { return captured; }
    void destroy() override {}
    bool isDestroyed() const override { return false; }
    void setUserData(void*) override {}
    void* userData() const override { return nullptr; }
    intptr_t send(uint32_t, uintptr_t, intptr_t) override { return 0; }
    void* nativeHandle() const override { return nullptr; }
    bool captured = false;
};

struct Step {
    uint32_t message;
    int mode;  // the drag mode after it
};

uintptr_t wheel(int delta) {
    return static_cast<uintptr_t>(static_cast<uint16_t>(delta)) << 16;
}
}  // namespace

class WindowMessagesTest : public GameTest {
protected:
    void send(uint32_t message, int x = 400, int y = 300, uintptr_t wParam = 0) {
        app_.handleMessage(&window_, message, wParam, makeLParam(x, y));
    }
    GameApplication app_;
    CaptureWindow window_;
};

TEST_F(WindowMessagesTest, DragModesFollowTheButtons) {
    const std::vector<std::vector<Step>> sequences = {
        {{WM_LBUTTONDOWN, 1}, {WM_LBUTTONUP, 0}},
        {{WM_LBUTTONDOWN, 1}, {WM_RBUTTONDOWN, 2}, {WM_LBUTTONUP, 3}, {WM_RBUTTONUP, 0}},
        {{WM_LBUTTONDOWN, 1}, {WM_MBUTTONDOWN, 1}, {WM_MBUTTONUP, 1}, {WM_LBUTTONUP, 0}},
        {{WM_RBUTTONDOWN, 3}, {WM_LBUTTONDOWN, 2}, {WM_RBUTTONUP, 1}, {WM_LBUTTONUP, 0}},
        {{WM_MBUTTONDOWN, 2}, {WM_LBUTTONUP, 3}, {WM_MBUTTONUP, 3}, {WM_RBUTTONUP, 0}},
        {{WM_RBUTTONDOWN, 3}, {WM_LBUTTONUP, 3}, {WM_RBUTTONUP, 0}},
    };
    for (size_t i = 0; i < sequences.size(); ++i) {
        for (const Step& step : sequences[i]) {
            send(step.message);
            EXPECT_EQ(app_.dragMode, step.mode) << "sequence " << i << " message " << step.message;
            EXPECT_EQ(window_.captured, step.mode != 0) << "sequence " << i;
        }
    }
}

TEST_F(WindowMessagesTest, LeftPressOnAWidgetStartsNoDragAndLeftDragOrbits) {
    start(std::string(kFadedIn) + "%iはい,A;%I:A;%w1000;");
    frames(10);
    app_.game = game_.get();
    send(WM_LBUTTONDOWN, 400, 290);  // on the one choice entry, from y 272 to 311
    EXPECT_EQ(app_.dragMode, 0);
    EXPECT_FALSE(window_.captured);
    send(WM_LBUTTONUP, 400, 290);
    EXPECT_EQ(game_->state.selectedChoice, 0);

    GraphicsDevice* g = graphicsDevice();
    const D3DXVECTOR3 before = g->eye();
    send(WM_MOUSEMOVE, 100, 100);
    send(WM_LBUTTONDOWN, 100, 100);
    send(WM_MOUSEMOVE, 130, 100);
    EXPECT_NE(g->eye().x, before.x);  // orbited
    game_->camera.locked = true;
    const D3DXVECTOR3 locked = g->eye();
    send(WM_MOUSEMOVE, 160, 120);
    EXPECT_EQ(g->eye().x, locked.x);
    send(WM_LBUTTONUP, 160, 120);
    EXPECT_EQ(app_.dragMode, 0);
}

TEST_F(WindowMessagesTest, KeysNeedTheGameAndFollowItsFlags) {
    send(WM_KEYDOWN, 0, 0, VK_SPACE);  // no game yet: nothing happens
    start("%T1;%w1;%T0;%w1;%q1;%n;あ%k:SystemExit;%S2,=,9;%w1000;");
    app_.game = game_.get();
    frames(5);
    ASSERT_TRUE(game_->titleShown);
    send(WM_KEYDOWN, 0, 0, VK_SPACE);
    EXPECT_TRUE(game_->state.inputEnabled);  // Space does nothing under the title
    send(WM_KEYDOWN, 0, 0, VK_ESCAPE);
    frames(1);
    EXPECT_EQ(game_->state.variables[2], 0);  // Escape is not allowed yet

    frames(12);
    ASSERT_FALSE(game_->titleShown);
    send(WM_KEYDOWN, 0, 0, VK_SPACE);
    EXPECT_FALSE(game_->state.inputEnabled);
    send(WM_KEYDOWN, 0, 0, VK_SPACE);
    EXPECT_TRUE(game_->state.inputEnabled);

    ASSERT_TRUE(game_->escapeAllowed);
    game_->state.inputEnabled = false;
    send(WM_KEYDOWN, 0, 0, VK_ESCAPE);
    EXPECT_TRUE(game_->state.inputEnabled);
    // The jump keeps the click wait it interrupted: the next click goes on at "SystemExit".
    frames(2);
    EXPECT_EQ(game_->state.variables[2], 0);
    send(WM_KEYDOWN, 0, 0, VK_RETURN);
    frames(3);
    EXPECT_EQ(game_->state.variables[2], 9);
}

TEST_F(WindowMessagesTest, WheelNotchesAccumulateUntilTheNextFrame) {
    start("%w1000;");
    app_.game = game_.get();
    send(WM_MOUSEWHEEL, 0, 0, wheel(-120));
    send(WM_MOUSEWHEEL, 0, 0, wheel(-120));
    EXPECT_EQ(game_->wheelAccumulator, -240);
    frames(1);
    EXPECT_TRUE(game_->state.skip);
    EXPECT_EQ(game_->wheelAccumulator, 0);
}
