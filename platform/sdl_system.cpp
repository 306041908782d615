// Counters, key state and desktop metrics over SDL2.
#include <SDL.h>

#include "platform/system.h"

namespace {
// A tap shorter than a frame would never be seen held: remember presses until the next query,
// as the key state of the original platform does.
bool printScreenPressed = false;

int SDLCALL watchKeys(void*, SDL_Event* event) {
    if (event->type == SDL_KEYDOWN && event->key.keysym.scancode == SDL_SCANCODE_PRINTSCREEN)
        printScreenPressed = true;
    return 1;
}
}  // namespace

bool asyncKeyDown(int virtualKey) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    SDL_PumpEvents();
    const Uint8* keys = SDL_GetKeyboardState(nullptr);
    switch (virtualKey) {
        case VK_SNAPSHOT: {
            const bool down = keys[SDL_SCANCODE_PRINTSCREEN] != 0 || printScreenPressed;
            printScreenPressed = false;
            return down;
        }
        case VK_LCONTROL: return keys[SDL_SCANCODE_LCTRL] != 0;
        case VK_RCONTROL: return keys[SDL_SCANCODE_RCTRL] != 0;
        case VK_CONTROL: return keys[SDL_SCANCODE_LCTRL] || keys[SDL_SCANCODE_RCTRL];
        case VK_ESCAPE: return keys[SDL_SCANCODE_ESCAPE] != 0;
        case VK_SPACE: return keys[SDL_SCANCODE_SPACE] != 0;
        case VK_RETURN: return keys[SDL_SCANCODE_RETURN] != 0;
        default: return false;
    }
}

bool videoAvailable() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    // Keep the OpenGL library loaded for the whole run: windows come and go (tests, dialogs)
    // and reloading the driver each time is slow.
    SDL_GL_LoadLibrary(nullptr);
    SDL_AddEventWatch(watchKeys, nullptr);
    return true;
}

DisplayMode desktopMode() {
    DisplayMode result;
    SDL_DisplayMode mode;
    if (videoAvailable() && SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        result.width = mode.w;
        result.height = mode.h;
        result.bitsPerPixel = static_cast<int>(SDL_BITSPERPIXEL(mode.format));
    }
    return result;
}

void usableDesktopArea(int* width, int* height) {
    SDL_Rect rect{0, 0, 0, 0};
    if (videoAvailable() && SDL_GetDisplayUsableBounds(0, &rect) == 0) {
        *width = rect.w;
        *height = rect.h;
        return;
    }
    DisplayMode mode = desktopMode();
    *width = mode.width;
    *height = mode.height;
}

std::vector<DisplayMode> displayModes() {
    std::vector<DisplayMode> modes;
    if (!videoAvailable()) return modes;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0) break;
        modes.push_back({mode.w, mode.h, static_cast<int>(SDL_BITSPERPIXEL(mode.format))});
    }
    return modes;
}
