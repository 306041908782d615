// The application object: initialise, run the message loop, terminate.
#pragma once

#include <cstdint>
#include <memory>

#include "app/tracked_object.h"
#include "game/game.h"

class Window;
class GraphicsDevice;

class Application : public TrackedObject {
public:
    Application() = default;
    ~Application() override = default;

    // Runs init, then run when init succeeded, then term; returns the exit code.
    int main();

    virtual int init() { return 0; }
    virtual int term() { return 0; }
    virtual int run() { return 0; }

    bool initialised = false;
    int exitCode = 0;
    void* moduleInstance = nullptr;
    Window* mainWindow = nullptr;
    Game* game = nullptr;
    bool painted = false;
    int dragMode = 0;
};

class GameApplication : public Application {
public:
    GameApplication();
    ~GameApplication() override;

    int init() override;
    int term() override;
    int run() override;

    int createMainWindow();
    intptr_t handleMessage(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam);

    // One pass of the loop with no message waiting.
    void idle();

private:
    void buttonPress(Window* window, int mode);
    void mouseMove(int x, int y);
    void keyDown(uintptr_t key);

    std::unique_ptr<Window> window_;
    std::unique_ptr<GraphicsDevice> device_;
    std::unique_ptr<Game> game_;
    int mouseX_ = 0, mouseY_ = 0;
};

// The registered window procedure of the main window.
intptr_t windowProc(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// The program's entry: instance check, options, application; returns the exit code.
int appMain(int argc, char** argv);

// " Tavrel 2 [" + build date + "]".
const char* mainWindowTitle();
