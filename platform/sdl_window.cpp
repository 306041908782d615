// SDL2 windows and the UI thread's message queue: SDL events become window messages.
#include "platform/sdl_window.h"

#include <deque>
#include <vector>

#include "platform/encoding.h"
#include "platform/system.h"

namespace {
std::deque<Message> queue;
std::vector<SdlWindow*> windows;

// Null for a window that is not ours (or none): its events are dropped, so that a dialog's
// close box never reaches the game's window.
SdlWindow* windowById(uint32_t id) {
    for (SdlWindow* w : windows)
        if (w->sdlId() == id) return w;
    return nullptr;
}

int virtualKey(SDL_Keycode key) {
    switch (key) {
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_SPACE:
            return VK_SPACE;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return VK_RETURN;
        case SDLK_PRINTSCREEN:
            return VK_SNAPSHOT;
        case SDLK_LCTRL:
            return VK_LCONTROL;
        case SDLK_RCTRL:
            return VK_RCONTROL;
        default:
            if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
            if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
            return 0;
    }
}

void queueFor(SdlWindow* w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (w) queue.push_back({w, message, wParam, lParam});
}

// Turns one SDL event into the messages the game's window procedure expects.
void translate(const SDL_Event& e) {
    switch (e.type) {
        case SDL_QUIT:
            // SIGTERM and the session closing arrive here: close like the close box does.
            for (SdlWindow* w : windows) queueFor(w, WM_CLOSE, 0, 0);
            break;
        case SDL_WINDOWEVENT: {
            SdlWindow* w = windowById(e.window.windowID);
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) queueFor(w, WM_CLOSE, 0, 0);
            if (e.window.event == SDL_WINDOWEVENT_EXPOSED) queueFor(w, WM_PAINT, 0, 0);
            break;
        }
        case SDL_KEYDOWN: {
            const int vk = virtualKey(e.key.keysym.sym);
            if (vk) queueFor(windowById(e.key.windowID), WM_KEYDOWN, vk, 0);
            break;
        }
        case SDL_MOUSEMOTION:
            queueFor(windowById(e.motion.windowID), WM_MOUSEMOVE, 0,
                     makeLParam(e.motion.x, e.motion.y));
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const bool down = e.type == SDL_MOUSEBUTTONDOWN;
            uint32_t message = 0;
            if (e.button.button == SDL_BUTTON_LEFT) message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
            if (e.button.button == SDL_BUTTON_RIGHT) message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
            if (e.button.button == SDL_BUTTON_MIDDLE)
                message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
            if (message)
                queueFor(windowById(e.button.windowID), message, 0,
                         makeLParam(e.button.x, e.button.y));
            break;
        }
        case SDL_MOUSEWHEEL: {
            int notches = e.wheel.y;
            if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
            if (notches == 0) break;
            const uint16_t delta =
                static_cast<uint16_t>(static_cast<int16_t>(notches * WHEEL_DELTA));
            queueFor(windowById(e.wheel.windowID), WM_MOUSEWHEEL,
                     static_cast<uintptr_t>(delta) << 16, 0);
            break;
        }
        default:
            break;
    }
}

void pump() {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) translate(e);
}
}  // namespace

SdlWindow::SdlWindow(SDL_Window* window, WindowProcedure procedure, bool fullScreen, int outerDx,
                     int outerDy)
    : window_(window),
      id_(SDL_GetWindowID(window)),
      procedure_(procedure),
      fullScreen_(fullScreen),
      outerDx_(outerDx),
      outerDy_(outerDy) {
    windows.push_back(this);
}

SdlWindow::~SdlWindow() {
    if (window_) SDL_DestroyWindow(window_);
    std::erase(windows, this);
    std::erase_if(queue, [this](const Message& m) { return m.window == this; });
}

int SdlWindow::clientWidth() const {
    int w = 0, h = 0;
    if (window_) SDL_GetWindowSize(window_, &w, &h);
    return w;
}

int SdlWindow::clientHeight() const {
    int w = 0, h = 0;
    if (window_) SDL_GetWindowSize(window_, &w, &h);
    return h;
}

void SdlWindow::outerRect(int* x, int* y, int* width, int* height) const {
    int cx = 0, cy = 0, top = 0, left = 0;
    if (window_) {
        SDL_GetWindowPosition(window_, &cx, &cy);
        SDL_GetWindowBordersSize(window_, &top, &left, nullptr, nullptr);
    }
    *x = cx - left;
    *y = cy - top;
    *width = clientWidth() + outerDx_;
    *height = clientHeight() + outerDy_;
}

void SdlWindow::show() {
    if (destroyed_) return;
    SDL_ShowWindow(window_);
    // The first paint comes at once, as after UpdateWindow; some drivers never send an expose.
    queue.push_back({this, WM_PAINT, 0, 0});
}

void SdlWindow::setCapture() {
    captured_ = true;
    SDL_CaptureMouse(SDL_TRUE);
}

void SdlWindow::releaseCapture() {
    captured_ = false;
    SDL_CaptureMouse(SDL_FALSE);
}

void SdlWindow::destroy() {
    if (destroyed_) return;
    if (captured_) releaseCapture();
    destroyed_ = true;
    send(WM_DESTROY, 0, 0);
    // The SDL window itself lives on, hidden, until this object goes: a render device made
    // on it may still be released after the window is gone for the user.
    SDL_HideWindow(window_);
    std::erase_if(queue, [this](const Message& m) { return m.window == this; });
}

intptr_t SdlWindow::send(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (procedure_) return procedure_(this, message, wParam, lParam);
    return defWindowProc(this, message, wParam, lParam);
}

void adjustWindowRect(int*, int*, int*, int*) {
    // SDL cannot tell the window manager's frame before a window exists, and the client area
    // is what must have the requested size; the frame is left to the window manager.
}

std::unique_ptr<Window> createWindow(const WindowDescription& d) {
    if (!videoAvailable()) return nullptr;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    int left = 0, top = 0, right = d.outerWidth, bottom = d.outerHeight;
    adjustWindowRect(&left, &top, &right, &bottom);
    const int dx = (right - left) - d.outerWidth, dy = (bottom - top) - d.outerHeight;
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (d.fullScreen) flags |= SDL_WINDOW_FULLSCREEN;
    const std::string title = cp932ToUtf8(d.title);
    SDL_Window* w = SDL_CreateWindow(title.c_str(), d.x - left, d.y - top, d.outerWidth - dx,
                                     d.outerHeight - dy, flags);
    if (!w) return nullptr;
    if (d.icon.argb && d.icon.width > 0 && d.icon.height > 0) {
        SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<uint32_t*>(d.icon.argb), d.icon.width, d.icon.height, 32, d.icon.width * 4,
            SDL_PIXELFORMAT_ARGB8888);
        if (icon) {
            SDL_SetWindowIcon(w, icon);
            SDL_FreeSurface(icon);
        }
    }
    return std::make_unique<SdlWindow>(w, d.procedure, d.fullScreen, dx, dy);
}

bool peekMessage(Message* message, bool remove) {
    if (queue.empty()) pump();
    if (queue.empty()) return false;
    *message = queue.front();
    if (remove) queue.pop_front();
    return true;
}

bool getMessage(Message* message) {
    while (queue.empty()) {
        pump();
        if (!queue.empty()) break;
        if (!SDL_WasInit(SDL_INIT_VIDEO)) {
            // No event source: nothing can arrive but what is already queued.
            *message = {nullptr, WM_QUIT, 0, 0};
            return false;
        }
        SDL_Event e;
        if (SDL_WaitEventTimeout(&e, 100)) translate(e);
    }
    *message = queue.front();
    queue.pop_front();
    return message->message != WM_QUIT;
}

intptr_t dispatchMessage(const Message& message) {
    if (!message.window || message.window->isDestroyed()) return 0;
    return message.window->send(message.message, message.wParam, message.lParam);
}

void postMessage(const Message& message) {
    queue.push_back(message);
}

void postQuitMessage(int exitCode) {
    queue.push_back({nullptr, WM_QUIT, static_cast<uintptr_t>(static_cast<intptr_t>(exitCode)), 0});
}

intptr_t defWindowProc(Window* window, uint32_t message, uintptr_t, intptr_t) {
    if (message == WM_CLOSE && window) window->destroy();
    return 0;
}
