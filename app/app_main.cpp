// The program's start: single instance, options or the settings dialog, names, then the
// application object.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/application.h"
#include "app/command_line.h"
#include "app/frame_timer.h"
#include "app/settings.h"
#include "app/settings_dialog.h"
#include "app/startup_report.h"
#include "archive/catalogue.h"
#include "gfx/glyph_renderer.h"
#include "platform/instance_lock.h"
#include "platform/message_box.h"

int appMain(int argc, char** argv) {
    // Before anything else: the add-on catalogue and the frame timer.
    buildCatalogue();
    noteStartupStage("catalogue");
    frameTimer();
    installMessageBoxDialog();
    if (instanceLockHeld("TR2WINDOW")) return 0;

    parseCommandLine(commandLineText(argc, argv).c_str());
    if (!mutableSettings().optionsGiven && showSettingsDialog() == 2) return 0;
    fillDefaultNames();
    noteStartupStage("options");
    // Scripts and tests ask for the settings the start ended with, without the game.
    if (std::getenv("TR2_PRINT_SETTINGS")) {
        std::fputs(describeSettings().c_str(), stdout);
        return 0;
    }

    // The font is read while the window and the device are made.
    prefetchFont();
    // The application object is released before the process ends, so that the window and
    // the device go in order (and leak checkers see nothing left).
    auto application = std::make_unique<GameApplication>();
    return application->main();
}
