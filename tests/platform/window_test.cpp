// Windows and the message queue: paint on show, destroy, close, quit.
#include "platform/window.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/sdl_window.h"  // SDL, to push events as the system would

namespace {
std::vector<uint32_t> received;

intptr_t recordingProcedure(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    received.push_back(message);
    if (message == WM_DESTROY) postQuitMessage(3);
    return defWindowProc(window, message, wParam, lParam);
}

// A shown 320 x 240 window whose messages are recorded, with the messages of showing it
// already dispatched.
std::unique_ptr<Window> shownRecordingWindow() {
    WindowDescription d;
    d.outerWidth = 320;
    d.outerHeight = 240;
    d.procedure = recordingProcedure;
    auto window = createWindow(d);
    if (!window) return window;
    window->show();
    Message m;
    while (peekMessage(&m, true)) dispatchMessage(m);
    return window;
}
}  // namespace

TEST(Window, ClientAreaHasTheRequestedSize) {
    WindowDescription d;
    d.title = " Tavrel 2 [test]";
    d.outerWidth = 640;
    d.outerHeight = 480;
    auto window = createWindow(d);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->clientWidth(), 640);
    EXPECT_EQ(window->clientHeight(), 480);
    EXPECT_FALSE(window->isFullScreen());
}

TEST(Window, ShowPaintsAndCloseDestroysAndQuits) {
    received.clear();
    auto window = shownRecordingWindow();
    ASSERT_TRUE(window);
    Message m;
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.front(), WM_PAINT);

    received.clear();
    postMessage({window.get(), WM_CLOSE, 0, 0});
    ASSERT_TRUE(getMessage(&m));
    dispatchMessage(m);
    EXPECT_EQ(received, (std::vector<uint32_t>{WM_CLOSE, WM_DESTROY}));
    EXPECT_TRUE(window->isDestroyed());
    while (getMessage(&m)) dispatchMessage(m);
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 3u);
}

TEST(Window, CaptureIsTrackedUntilReleased) {
    WindowDescription d;
    d.outerWidth = 320;
    d.outerHeight = 240;
    auto window = createWindow(d);
    ASSERT_TRUE(window);
    window->setCapture();
    EXPECT_TRUE(window->hasCapture());
    window->releaseCapture();
    EXPECT_FALSE(window->hasCapture());
}

TEST(Window, MouseCoordinatesPackIntoSixteenBitHalves) {
    const intptr_t l = makeLParam(800, 600);
    EXPECT_EQ(loWord(l), 800);
    EXPECT_EQ(hiWord(l), 600);
    EXPECT_EQ(signedHiWord(static_cast<uintptr_t>(static_cast<uint16_t>(-240)) << 16), -240);
}

// Events of a window that is not ours (a dialog, say) are dropped, never handed to ours: a
// dialog's close box must not close the game.
TEST(Window, EventsOfUnknownWindowsAreDropped) {
    received.clear();
    auto window = shownRecordingWindow();
    ASSERT_TRUE(window);
    Message m;
    received.clear();

    const uint32_t ours = SDL_GetWindowID(static_cast<SDL_Window*>(window->nativeHandle()));
    for (const uint32_t id : {ours + 1000, 0u, ours}) {
        SDL_Event close{};
        close.type = SDL_WINDOWEVENT;
        close.window.windowID = id;
        close.window.event = id == ours ? SDL_WINDOWEVENT_EXPOSED : SDL_WINDOWEVENT_CLOSE;
        SDL_PushEvent(&close);
        SDL_Event key{};
        key.type = SDL_KEYDOWN;
        key.key.windowID = id;
        key.key.keysym.sym = SDLK_SPACE;
        SDL_PushEvent(&key);
    }
    while (peekMessage(&m, true)) dispatchMessage(m);
    EXPECT_EQ(received, (std::vector<uint32_t>{WM_PAINT, WM_KEYDOWN}));
    EXPECT_FALSE(window->isDestroyed());
}
