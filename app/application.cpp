// The application object, the main window and the message loop.
#include "app/application.h"

#include "app/frame_timer.h"
#include "app/settings.h"
#include "gfx/graphics_device.h"
#include "platform/instance_lock.h"
#include "platform/message_box.h"
#include "platform/system.h"
#include "platform/window.h"
#include "resources/icon.h"

const char* mainWindowTitle() { return " Tavrel 2 [" __DATE__ "]"; }

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
    device_.reset();
    window_.reset();
}

int GameApplication::init() {
    game = nullptr;
    device_ = std::make_unique<GraphicsDevice>();
    setGraphicsDevice(device_.get());
    painted = false;
    dragMode = 0;
    if (createMainWindow() != 0) {
        // Without a display there is no window and no device either: say so rather than
        // end without a word.
        if (!videoAvailable()) messageBox(kDeviceFailureMessage, "TR2WINDOW", MB_ICONERROR);
        return 1;
    }
    if (!device_->init(mainWindow)) return 1;
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
    // Until there is a game object, every idle pass shows one cleared frame.
    device_->beginFrame(0);
    device_->endFrame();
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
    return static_cast<int>(static_cast<intptr_t>(message.wParam));
}

int GameApplication::term() { return 0; }

intptr_t GameApplication::handleMessage(Window* window, uint32_t message, uintptr_t wParam,
                                        intptr_t lParam) {
    switch (message) {
        case WM_DESTROY: postQuitMessage(0); return 0;
        case WM_PAINT: painted = true; return 0;
        case WM_KEYDOWN:
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MOUSEWHEEL: return 0;
        default: return defWindowProc(window, message, wParam, lParam);
    }
}

intptr_t windowProc(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    auto* app = static_cast<GameApplication*>(window->userData());
    if (!app) return defWindowProc(window, message, wParam, lParam);
    return app->handleMessage(window, message, wParam, lParam);
}
