// The main window and its message queue, shaped like the Win32 window model the game handles.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

// Messages the window procedure receives.
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_PAINT = 0x000F;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;
constexpr uint32_t WM_MOUSEWHEEL = 0x020A;

constexpr int WHEEL_DELTA = 120;

// Packs client coordinates as the mouse messages carry them (low and high 16 bits).
constexpr intptr_t makeLParam(int x, int y) {
    return static_cast<intptr_t>((static_cast<uint32_t>(y & 0xFFFF) << 16) |
                                 static_cast<uint32_t>(x & 0xFFFF));
}
constexpr int loWord(intptr_t v) { return static_cast<int>(v & 0xFFFF); }
constexpr int hiWord(intptr_t v) { return static_cast<int>((v >> 16) & 0xFFFF); }
constexpr int16_t signedHiWord(uintptr_t v) { return static_cast<int16_t>((v >> 16) & 0xFFFF); }

class Window;

struct Message {
    Window* window = nullptr;
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

using WindowProcedure = intptr_t (*)(Window* window, uint32_t message, uintptr_t wParam,
                                     intptr_t lParam);

struct WindowIcon {
    int width = 0;
    int height = 0;
    const uint32_t* argb = nullptr;  // width x height pixels, 0xAARRGGBB
};

struct WindowDescription {
    std::string title;  // CP932
    int x = 0, y = 0;   // outer top-left corner on the desktop
    int outerWidth = 0, outerHeight = 0;
    bool fullScreen = false;
    WindowProcedure procedure = nullptr;
    WindowIcon icon;
};

class Window {
public:
    virtual ~Window() = default;
    virtual int clientWidth() const = 0;
    virtual int clientHeight() const = 0;
    // The outer rectangle on the desktop (frame included where the platform knows it).
    virtual void outerRect(int* x, int* y, int* width, int* height) const = 0;
    virtual bool isFullScreen() const = 0;
    // Shows the window and queues its first paint message.
    virtual void show() = 0;
    virtual void setCapture() = 0;
    virtual void releaseCapture() = 0;
    virtual bool hasCapture() const = 0;
    // Destroys the window: the procedure receives WM_DESTROY before this returns.
    virtual void destroy() = 0;
    virtual bool isDestroyed() const = 0;
    // The first extra slot (the application object pointer).
    virtual void setUserData(void* data) = 0;
    virtual void* userData() const = 0;
    // Calls the window's procedure.
    virtual intptr_t send(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
    // The backend's own handle, for the render device of the same backend.
    virtual void* nativeHandle() const = 0;
};

// Grows a client rectangle to the outer rectangle of a captioned, non-resizable window.
void adjustWindowRect(int* left, int* top, int* right, int* bottom);

// Creates the window hidden; null when the platform cannot make one.
std::unique_ptr<Window> createWindow(const WindowDescription& description);

// The message queue of the UI thread.
bool peekMessage(Message* message, bool remove);
// Blocks until a message arrives; false for WM_QUIT (its code is in wParam).
bool getMessage(Message* message);
intptr_t dispatchMessage(const Message& message);
void postMessage(const Message& message);
void postQuitMessage(int exitCode);
// What a window does with a message nobody handles (WM_CLOSE destroys the window).
intptr_t defWindowProc(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
