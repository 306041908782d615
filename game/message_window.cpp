// The message window: its text placement and the page icon's blinking.
#include "game/message_window.h"

#include <cmath>
#include <cstring>

#include "gfx/graphics_device.h"
#include "gfx/layered_image.h"

MessageWindow::MessageWindow(LayeredImage* image_)
    : Widget(image_, "window", "window", "window", nullptr, true, 0) {
    pageIcon = std::make_unique<Widget>(image_, "pageicon", "pageicon", nullptr, nullptr, true, 0);
}

MessageWindow::~MessageWindow() = default;

void MessageWindow::draw() {
    if (pageIcon) pageIcon->visible = visible;
    if (!visible) return;
    Widget::draw();
    GraphicsDevice* graphics = graphicsDevice();
    if (graphics && text && image)
        graphics->drawText(static_cast<float>(image->layerLeft(normalLayer) + 28),
                           static_cast<float>(image->layerTop(normalLayer) + 16), 0xFFFFFFFF, text,
                           -1, 0xFFFF, 0xFFFF);
    // CR last: the engine waits for a click. The icon shows for the first half of every second.
    const size_t length = text ? std::strlen(text) : 0;
    const bool waiting = length > 0 && text[length - 1] == '\r';
    if (!waiting) blinkTimer = 0;
    // fmod rather than int(): the same halves, without overflow on a timer left running.
    if (pageIcon) pageIcon->visible = waiting && std::fmod(blinkTimer, 60.0f) < 30.0f;
}
