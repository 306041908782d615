// Keeps a shown window's presents at the display's refresh rate where the swap does not wait.
#include "platform/gl/gl_frame_pacer.h"

#include <SDL.h>

#include <algorithm>
#include <thread>

std::chrono::nanoseconds refreshPeriod(SDL_Window* window) {
    SDL_DisplayMode mode{};
    int hz = 60;
    const int display = SDL_GetWindowDisplayIndex(window);
    if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0)
        hz = mode.refresh_rate;
    return std::chrono::nanoseconds(1'000'000'000LL / hz);
}

void GlFramePacer::afterSwap(SDL_Window* window) {
    using clock = std::chrono::steady_clock;
    // Hidden windows (offscreen tests, benchmarks, tools) run as fast as they can.
    if (!window || !(SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN)) return;
    const clock::time_point due = last_ + refreshPeriod(window);
    const clock::time_point now = clock::now();
    if (now < due) std::this_thread::sleep_until(due);
    // After a long stall, measure from now rather than catching up with a burst.
    last_ = std::max(due, clock::now() - refreshPeriod(window));
}
