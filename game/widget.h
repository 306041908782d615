// Widgets made from layers of a layered image, and the list that input and drawing walk.
#pragma once

#include <cstdint>
#include <functional>

class LayeredImage;
class Widget;
using WidgetCallback = std::function<void(Widget&)>;

class Widget {
public:
    // By layer names: each given name is looked up (first 31 bytes); a null name or one not
    // found gives -1. A hover layer of -1 falls back to the normal layer. No position override.
    Widget(LayeredImage* image, const char* normal, const char* pressed, const char* hover,
           WidgetCallback callback, bool visible, int32_t userValue);
    // By position and layer index: all three layers are `layer`; the override is (x, y).
    Widget(int x, int y, LayeredImage* image, int layer, WidgetCallback callback, bool visible,
           int32_t userValue);
    virtual ~Widget();  // unlinks from the list
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    // Each returns nonzero when this widget took the event.
    virtual int onMouseMove(int x, int y);
    virtual int onMouseUp(int x, int y);
    virtual int onMouseDown(int x, int y);
    virtual int onReservedA(int, int) { return 0; }
    virtual int onReservedB(int, int) { return 0; }
    virtual void draw();
    // Whether the client pixel (x, y) lies on the widget's layer (normal, else pressed, else
    // hover), scaled from the 800 x 600 design space to the back buffer.
    bool contains(int x, int y) const;

    Widget* next = nullptr;
    Widget* previous = nullptr;
    WidgetCallback callback;
    LayeredImage* image = nullptr;  // not owned
    int32_t normalLayer = -1, pressedLayer = -1, hoverLayer = -1;
    bool visible = false;
    bool inside = false;  // held with the pointer over it
    bool held = false;    // from a press on it until the release
    bool hover = false;   // the pointer was over it at the last move
    int32_t alpha = 255;
    const char* label = nullptr;  // not owned, CP932
    int32_t userValue = 0;
    float horizontalScale = 1.0f;
    int32_t x = -1, y = -1;   // design pixels; (-1, -1) uses the layer's own place
    int32_t labelPitch = -1;  // -1: centred at the text renderer's default pitch

protected:
    bool hasOverride() const { return x != -1 || y != -1; }
    // The layer's top-left corner in design pixels, or the override when one is set.
    void designPosition(int layer, int* left, int* top) const;
    // The layer hit tests use: normal, else pressed, else hover (-1 when none is set).
    int hitLayer() const;

private:
    void link();
};

struct WidgetWalk;
struct WidgetList {
    Widget* head = nullptr;
    Widget* tail = nullptr;
    WidgetWalk* walks = nullptr;  // the list walks in progress, innermost first
};
WidgetList& widgetList();

// Each visits the list from the oldest widget on and ORs the results. A widget that a callback
// deletes during the walk is skipped safely; widgets it adds are visited too.
int drawAllWidgets();
int mouseMoveAllWidgets(int x, int y);
int mouseDownAllWidgets(int x, int y);
int mouseUpAllWidgets(int x, int y);

// The back buffer's scale from the design space: width / 800 and height / 600, 1 without a
// device.
void designScale(float* sx, float* sy);
