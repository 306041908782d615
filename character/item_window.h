// The item windows of the dress-up screen: the category table, the grid of item cells with its
// paging, the info panel and the per-frame camera glide.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "character/camera.h"

class LayeredImage;
class Widget;

constexpr int kItemWindowCount = 15;  // windows 1 to 15
constexpr int kItemCellLimit = 4096;
constexpr int kItemGridColumns = 6;
constexpr int kItemGridRows = 8;
constexpr int kItemsPerPage = kItemGridColumns * kItemGridRows;
constexpr int kItemGridLeft = 510;
constexpr int kItemGridTop = 110;
constexpr int kItemCellPitch = 40;
constexpr int kCoordinateWindow = 13;
constexpr int kSaveWindow = 14;
constexpr int kLoadWindow = 15;
constexpr int kCoordinateButtons = 8;
constexpr float kItemScreenStepSeconds = 0.035f;
constexpr float kItemScreenShiftA = -6.5f;
constexpr float kItemScreenShiftB = 15.0f;

struct ItemWindowInfo {
    const char* type;     // catalogue type of the items; null for the save and load windows
    const char* iconKey;  // the key of the item's icon file
    const char* title;    // info panel lines when the window opens (CP932)
    const char* description;
    int voice;  // voice clip, named with "%04d"
};

// Window 1 to 15, or null.
const ItemWindowInfo* itemWindowInfo(int window);
// Design position of cell k (0 to 47) of the visible page.
void itemCellPosition(int k, int* x, int* y);
// The layer that frames window `window`: "itemwin%d" for 1 to 12, "filewin" for 14 and 15, ""
// (no frame) otherwise.
std::string itemFrameLayerName(int window);
// "　　　セーブ　０１" ... for the save window, "　　　ロード　０１" ... for the load window.
std::string coordinateButtonLabel(bool save, int index);

// The title and the description typed in below the item window; the description follows ten
// characters behind the title.
struct InfoPanel {
    std::string title, text;  // empty: none
    float reveal = 0;         // characters shown, in halves per step
    void set(const std::string& newTitle, const std::string& newText);
    // Draws the "window" layer of `setup` and the two lines on it (inside the sprite pass).
    void draw(const LayeredImage* setup) const;
};

// Spends `seconds` of frame time: one glide step and half a revealed character per started
// 35 ms, at least one step when `seconds` > 0.
void stepItemScreen(float seconds, CameraControl& camera, CameraGlide& glide, InfoPanel& panel);

// The cells of the open item window. Cells past the first page are hidden until paged to.
class ItemGrid {
public:
    ItemGrid();
    ~ItemGrid();
    ItemGrid(const ItemGrid&) = delete;
    ItemGrid& operator=(const ItemGrid&) = delete;

    // Destroys every cell and its image; the count and offset become 0.
    void release();
    // Takes cell `count()`; false (and both are destroyed) when the table is full. A cell at 48
    // or later is hidden.
    bool add(std::unique_ptr<LayeredImage> image, std::unique_ptr<Widget> widget);
    // Back to the first page: the up arrow hidden, the down arrow shown when a second page
    // exists.
    void firstPage(Widget* up, Widget* down);
    // Pages by `step` rows when `arrow` is visible.
    void scroll(const Widget& arrow, int step, Widget* up, Widget* down);

    int count() const { return count_; }
    int offset() const { return offset_; }
    Widget* cell(int index) const;

private:
    std::unique_ptr<std::unique_ptr<Widget>[]> cells_;
    std::unique_ptr<std::unique_ptr<LayeredImage>[]> images_;
    int32_t count_ = 0;
    int32_t offset_ = 0;
};
