// Keeps a shown window's presents at the display's refresh rate where the swap does not wait.
#pragma once

#include <chrono>

struct SDL_Window;

class GlFramePacer {
public:
    // After each swap: for a shown window, sleeps until one refresh period has passed since
    // the previous present. A swap that waits for the display has already used the period, so
    // this only ever sleeps where there is no vsync (virtual displays, some drivers); game time
    // follows the measured frame step, so nothing but the busy core changes.
    void afterSwap(SDL_Window* window);

private:
    std::chrono::steady_clock::time_point last_{};
};

// The refresh period of the window's display: 1/60 s when the display does not say.
std::chrono::nanoseconds refreshPeriod(SDL_Window* window);
