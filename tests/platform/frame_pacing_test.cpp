// Presents of a shown window keep to the display's refresh rate even where the swap does not wait.
#include <gtest/gtest.h>

#include <chrono>

#include "app/settings.h"
#include "gfx/graphics_device.h"
#include "platform/window.h"
#include "tests/support/headless_device.h"

TEST(FramePacing, ShownWindowPresentsNoFasterThanTheRefreshRate) {
    HeadlessDevice hidden(320, 240);  // writes the test font and sets a windowed 320 x 240
    ASSERT_TRUE(hidden.ok());
    WindowDescription d;
    d.title = "paced";
    d.outerWidth = 320;
    d.outerHeight = 240;
    std::unique_ptr<Window> window = createWindow(d);
    ASSERT_TRUE(window);
    window->show();
    GraphicsDevice shown;
    ASSERT_TRUE(shown.init(window.get(), false));

    constexpr int kPresents = 12;
    const auto begin = std::chrono::steady_clock::now();
    for (int i = 0; i < kPresents; ++i) ASSERT_EQ(shown.device()->present(), D3D_OK);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    // The offscreen display reports no refresh rate: 60 Hz. The first present may come early.
    EXPECT_GE(seconds, (kPresents - 1) / 60.0 * 0.95);
}
