// The SDL2 window behind the Window interface (shared with the OpenGL render device).
#pragma once

#include <SDL.h>

#include "platform/window.h"

class SdlWindow final : public Window {
public:
    SdlWindow(SDL_Window* window, WindowProcedure procedure, bool fullScreen, int outerDx,
              int outerDy);
    ~SdlWindow() override;

    int clientWidth() const override;
    int clientHeight() const override;
    void outerRect(int* x, int* y, int* width, int* height) const override;
    bool isFullScreen() const override { return fullScreen_; }
    void show() override;
    void setCapture() override;
    void releaseCapture() override;
    bool hasCapture() const override { return captured_; }
    void destroy() override;
    bool isDestroyed() const override { return destroyed_; }
    void setUserData(void* data) override { userData_ = data; }
    void* userData() const override { return userData_; }
    intptr_t send(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    void* nativeHandle() const override { return window_; }

    uint32_t sdlId() const { return id_; }

private:
    SDL_Window* window_;
    uint32_t id_;
    WindowProcedure procedure_;
    bool fullScreen_;
    int outerDx_, outerDy_;  // frame insets: outer size minus client size
    bool captured_ = false;
    bool destroyed_ = false;
    void* userData_ = nullptr;
};
