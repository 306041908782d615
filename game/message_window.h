// The message window: the script's text over the "window" layer, with a blinking page icon
// while the engine waits for a click.
#pragma once

#include <memory>

#include "game/widget.h"

class MessageWindow : public Widget {
public:
    // All three layers are "window"; the page icon ("pageicon") is created after the window,
    // so it is drawn over it.
    explicit MessageWindow(LayeredImage* image);
    ~MessageWindow() override;
    void draw() override;

    const char* text = nullptr;  // the engine's message text, not owned
    float blinkTimer = 0;        // sixtieths of a second; the game advances it every frame
    std::unique_ptr<Widget> pageIcon;
};
