// The dress-up screen that "%Z1;" opens: background selector, category buttons, item windows.
// The script waits on "%Z1;" until the player closes it.
#pragma once

#include <cstdint>
#include <memory>

#include "character/camera.h"
#include "character/item_window.h"

class Game;
class KEYVALUE;
class LayeredImage;
class Widget;

constexpr int kScreenWidgetSlots = 64;
constexpr int kScreenWidgetCount = 24;  // entries 0 to 23 are built with the screen
constexpr int kFrameWidgetEntry = 2;
constexpr int kUpArrowEntry = 9;
constexpr int kDownArrowEntry = 10;

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

    // Shows window 1 to 15 (others are ignored): its info panel lines, camera preset, voice
    // and cells.
    void openItemWindow(int window);
    // Steps the background by the widget's user value (none: shows the current one again).
    void stepBackground(const Widget* widget);
    // Pages the grid by the arrow's user value when the arrow is visible.
    void scrollItemGrid(const Widget& arrow);
    void closeDressUpScreen();

    Widget* widget(int entry) const;
    const ItemGrid& grid() const { return grid_; }
    const InfoPanel& infoPanel() const { return panel_; }
    const CameraGlide& glide() const { return glide_; }
    const LayeredImage* setupImage() const { return setup_.get(); }
    const Widget* backgroundSample() const { return sampleWidget_.get(); }

private:
    void buildWidgets();
    void openCoordinateFiles(int window);
    void openItems(int window);
    bool choosable(int window, const KEYVALUE& record) const;
    void putOn(int window, const KEYVALUE* record);
    void coordinateButton(int window, const Widget& button);

    Game& game_;
    std::unique_ptr<LayeredImage> setup_;
    std::unique_ptr<Widget> widgets_[kScreenWidgetSlots];
    std::unique_ptr<LayeredImage> emptyItem_;
    std::unique_ptr<LayeredImage> sampleImage_;
    std::unique_ptr<Widget> sampleWidget_;
    ItemGrid grid_;
    Widget* upArrow_ = nullptr;
    Widget* downArrow_ = nullptr;
    InfoPanel panel_;
    CameraGlide glide_;
};

// The screen while it exists, for the widget callbacks; null otherwise.
DressUpScreen* currentDressUpScreen();
// The item window opened last (0 before the first), kept after the screen is gone.
int currentItemWindow();
// The selected background, kept between openings of the screen.
int32_t currentBackgroundIndex();
void setCurrentBackgroundIndex(int32_t index);
