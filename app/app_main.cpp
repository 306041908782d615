// The program's start: single instance, options, names, then the application object.
#include <cstdio>
#include <memory>

#include "app/application.h"
#include "app/command_line.h"
#include "app/frame_timer.h"
#include "app/settings.h"
#include "archive/catalogue.h"
#include "platform/instance_lock.h"
#include "platform/message_box.h"

int appMain(int argc, char** argv) {
    // Before anything else: the add-on catalogue and the frame timer.
    buildCatalogue();
    frameTimer();
    installMessageBoxDialog();
    if (instanceLockHeld("TR2WINDOW")) return 0;

    parseCommandLine(commandLineText(argc, argv).c_str());
    if (!mutableSettings().optionsGiven)
        std::fprintf(stderr,
                     "tr2: no options on the command line; starting with the default settings "
                     "(800x600 full screen). Use -window or -WIDTHxHEIGHT for a window.\n");
    fillDefaultNames();

    // The application object is released before the process ends, so that the window and
    // the device go in order (and leak checkers see nothing left).
    auto application = std::make_unique<GameApplication>();
    return application->main();
}
