// The main window's messages: camera drags with capture, widget clicks, keys and the wheel.
#include "app/application.h"
#include "app/frame_timer.h"
#include "character/camera.h"
#include "game/widget.h"
#include "platform/system.h"
#include "platform/window.h"

namespace {
constexpr int kDragNone = 0, kDragOrbit = 1, kDragPan = 2, kDragDolly = 3;
}

intptr_t GameApplication::handleMessage(Window* window, uint32_t message, uintptr_t wParam,
                                        intptr_t lParam) {
    // Signed, so that a captured mouse left of or above the window moves by small steps.
    const int x = static_cast<int16_t>(loWord(lParam)), y = static_cast<int16_t>(hiWord(lParam));
    switch (message) {
        case WM_DESTROY:
            postQuitMessage(0);
            return 0;
        case WM_PAINT:
            painted = true;
            return 0;
        case WM_KEYDOWN:
            keyDown(wParam);
            return 0;
        case WM_MOUSEMOVE:
            mouseMove(x, y);
            return 0;
        case WM_LBUTTONDOWN:
            if (mouseDownAllWidgets(x, y)) return 0;
            buttonPress(window, kDragOrbit);
            return 0;
        case WM_LBUTTONUP:
            if (dragMode == kDragOrbit) {
                dragMode = kDragNone;
                window->releaseCapture();
            } else if (dragMode == kDragPan) {
                dragMode = kDragDolly;
            } else {
                mouseUpAllWidgets(x, y);
            }
            return 0;
        case WM_RBUTTONDOWN:
            buttonPress(window, kDragDolly);
            return 0;
        case WM_RBUTTONUP:
            if (dragMode == kDragDolly) {
                dragMode = kDragNone;
                window->releaseCapture();
            } else if (dragMode == kDragPan) {
                dragMode = kDragOrbit;
            }
            return 0;
        case WM_MBUTTONDOWN:
            if (dragMode == kDragNone) {
                dragMode = kDragPan;
                window->setCapture();
            }
            return 0;
        case WM_MBUTTONUP:
            if (dragMode == kDragPan) {
                dragMode = kDragNone;
                window->releaseCapture();
            }
            return 0;
        case WM_MOUSEWHEEL:
            if (game) game->wheelAccumulator += signedHiWord(wParam);
            return 0;
        default:
            return defWindowProc(window, message, wParam, lParam);
    }
}

void GameApplication::buttonPress(Window* window, int mode) {
    if (dragMode != kDragNone) {
        dragMode = kDragPan;  // a second button joins: both together pan
        return;
    }
    dragMode = mode;
    window->setCapture();
}

void GameApplication::mouseMove(int x, int y) {
    const int previousX = mouseX_, previousY = mouseY_;
    mouseX_ = x;
    mouseY_ = y;
    if (dragMode == kDragNone) {
        mouseMoveAllWidgets(x, y);
        return;
    }
    if (!game || game->camera.locked || game->camera.busy) return;
    const int dx = x - previousX, dy = y - previousY;
    if (dragMode == kDragOrbit) orbitCamera(dx, dy);
    if (dragMode == kDragPan) panCamera(dx, dy);
    if (dragMode == kDragDolly) dollyCamera(dx, dy);
}

void GameApplication::keyDown(uintptr_t key) {
    if (!game) return;
    ScriptState& s = game->state;
    if (key == VK_ESCAPE && game->escapeAllowed) {
        s.inputEnabled = true;
        game->abortChoiceAndJump("SystemExit");
        frameTimer().reset();
    } else if (key == VK_SPACE && !game->titleShown) {
        s.inputEnabled = !s.inputEnabled;
    } else if (key == VK_RETURN && s.inputEnabled) {
        game->clickAdvance();
    }
}
