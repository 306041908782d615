// The application object, the main window and the message loop.
#include "app/application.h"

#include <cstdio>

#include "app/frame_timer.h"
#include "app/settings.h"
#include "app/startup_report.h"
#include "audio/sound_system.h"
#include "game/game.h"
#include "gfx/graphics_device.h"
#include "platform/instance_lock.h"
#include "platform/message_box.h"
#include "platform/system.h"
#include "platform/window.h"
#include "resources/icon.h"

const char* mainWindowTitle() {
    return " Tavrel 2 [" __DATE__ "]";
}

int Application::main() {
    if (init() == 0) initialised = true;
    if (initialised) {
        exitCode = run();
        term();
    } else {
        term();
    }
    return exitCode;
}

GameApplication::GameApplication() = default;

GameApplication::~GameApplication() {
    game_.reset();
    game = nullptr;
    device_.reset();
    window_.reset();
}

int GameApplication::init() {
    game = nullptr;
    device_ = std::make_unique<GraphicsDevice>();
    setGraphicsDevice(device_.get());
    painted = false;
    dragMode = 0;
    const int created = createMainWindow();
    noteStartupStage("window");
    if (created != 0) {
        // Without a display there is no window and no device either: say so rather than
        // end without a word.
        if (!videoAvailable()) messageBox(kDeviceFailureMessage, "TR2WINDOW", MB_ICONERROR);
        return 1;
    }
    if (!device_->init(mainWindow)) return 1;
    noteStartupStage("font");
    return 0;
}

int GameApplication::createMainWindow() {
    int left = 0, top = 0, right = screenWidth(), bottom = screenHeight();
    adjustWindowRect(&left, &top, &right, &bottom);
    const int outerWidth = right - left, outerHeight = bottom - top;
    int usableWidth = 0, usableHeight = 0;
    usableDesktopArea(&usableWidth, &usableHeight);

    WindowDescription description;
    description.title = mainWindowTitle();
    description.x = (usableWidth - outerWidth) / 2;
    description.y = (usableHeight - outerHeight) / 2;
    description.outerWidth = outerWidth;
    description.outerHeight = outerHeight;
    description.fullScreen = !isWindowed();
    description.procedure = windowProc;
    const IconImage icon = loadIconResource("AppIcon");
    description.icon = {icon.width, icon.height, icon.argb};

    window_ = createWindow(description);
    if (!window_) return 1;
    window_->setUserData(this);
    window_->show();
    mainWindow = window_.get();
    // From here on a second start must see this instance, as it would see the window.
    acquireInstanceLock("TR2WINDOW");
    return 0;
}

void GameApplication::idle() {
    if (!painted || !device_) return;
    // The game starts once the device has shown a frame; loading happens inside this pass.
    const bool starting = device_->presented() && !game_;
    if (starting) {
        game_ = std::make_unique<Game>();
        game = game_.get();
        game_->initialise();
        noteStartupStage("game");
    }
    if (!game_) return;
    bool ending = game_->frame() != 0;
    if (starting && startupReportRequested()) {
        // A measured start ends at the first game frame the screen has shown.
        noteStartupStage("first frame");
        std::printf("%s\n", startupReport().c_str());
        std::fflush(stdout);
        ending = true;
    }
    if (ending && mainWindow && !mainWindow->isDestroyed()) mainWindow->destroy();
}

int GameApplication::run() {
    Message message;
    for (;;) {
        if (peekMessage(&message, false)) {
            if (!getMessage(&message)) break;
            dispatchMessage(message);
            continue;
        }
        idle();
    }
    if (game_) game_->saveState();
    return static_cast<int>(static_cast<intptr_t>(message.wParam));
}

int GameApplication::term() {
    if (game_) shutdownSound();
    return 0;
}

intptr_t windowProc(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    auto* app = static_cast<GameApplication*>(window->userData());
    if (!app) return defWindowProc(window, message, wParam, lParam);
    return app->handleMessage(window, message, wParam, lParam);
}
