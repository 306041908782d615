// The dress-up screen that "%Z1;" opens: the script waits until the player closes it.
#pragma once

class Game;

class DressUpScreen {
public:
    explicit DressUpScreen(Game& game);
    ~DressUpScreen();
    DressUpScreen(const DressUpScreen&) = delete;
    DressUpScreen& operator=(const DressUpScreen&) = delete;

    // Once per frame while the screen exists.
    void itemScreenFrame(float seconds);
    // Inside the sprite pass, after the widgets.
    void drawInfoPanel();
    // "%Z0;": the stage origins that the background selector placed are let go.
    void releaseOriginPlacements();

private:
    Game& game_;
};
