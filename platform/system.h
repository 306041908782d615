// Counters, key state and desktop metrics of the windowing layer.
#pragma once

#include <cstdint>
#include <vector>

// Virtual key codes the game reads.
constexpr int VK_RETURN = 0x0D;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_SNAPSHOT = 0x2C;
constexpr int VK_LCONTROL = 0xA2;
constexpr int VK_RCONTROL = 0xA3;

// False when no high-resolution counter exists.
bool queryPerformanceFrequency(int64_t* frequency);
bool queryPerformanceCounter(int64_t* counter);

// Whether the key is held now (Control keys and Print Screen).
bool asyncKeyDown(int virtualKey);

struct DisplayMode {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
};

// Starts the video subsystem if needed; false when there is no display.
bool videoAvailable();
// The desktop's whole size (the screen) and the area a window may use.
DisplayMode desktopMode();
void usableDesktopArea(int* width, int* height);
// Every mode of the primary display, in the order the display reports them.
std::vector<DisplayMode> displayModes();
