// The message box dialog where a display exists.
#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "platform/message_box.h"
#include "platform/system.h"

void installMessageBoxDialog() {
    // Headless runs and tests set TR2_NO_DIALOGS: nobody is there to close a dialog.
    if (std::getenv("TR2_NO_DIALOGS")) return;
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && (!std::strcmp(driver, "offscreen") || !std::strcmp(driver, "dummy"))) return;
    setMessageBoxDisplay([](const char* text, const char* caption, unsigned style) {
        if (!videoAvailable()) return;
        const Uint32 flags = (style & MB_ICONERROR) ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
        SDL_ShowSimpleMessageBox(flags, caption, text, nullptr);
    });
}
