// Widgets and the global widget list: hit testing, press and release, hover, drawing.
#include "game/widget.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "gfx/graphics_device.h"
#include "gfx/layered_image.h"

// One walk over the list in progress: the widget it visits next. Unlinking a widget moves every
// walk that would visit it on to its successor, so callbacks may delete any widget.
struct WidgetWalk {
    Widget* next = nullptr;
    WidgetWalk* outer = nullptr;
};

namespace {
WidgetList list;

int findLayer(const LayeredImage* image, const char* name) {
    return image && name ? image->findLayer(name) : -1;
}

bool layerExists(const LayeredImage* image, int layer) {
    return image && layer >= 0 && layer < image->layerCount();
}

template <class Visit>
int walkWidgets(Visit visit) {
    WidgetWalk walk{list.head, list.walks};
    list.walks = &walk;
    int result = 0;
    while (Widget* widget = walk.next) {
        walk.next = widget->next;
        result |= visit(*widget);
    }
    list.walks = walk.outer;
    return result;
}
}  // namespace

WidgetList& widgetList() {
    return list;
}

void designScale(float* sx, float* sy) {
    const GraphicsDevice* graphics = graphicsDevice();
    const int width = graphics ? graphics->backBufferWidth() : 0;
    const int height = graphics ? graphics->backBufferHeight() : 0;
    *sx = width > 0 ? static_cast<float>(width) * 0.00125f : 1.0f;
    *sy = height > 0 ? static_cast<float>(height) * 0.0016666667f : 1.0f;
}

Widget::Widget(LayeredImage* image_, const char* normalName, const char* pressedName,
               const char* hoverName, WidgetCallback callback_, bool visible_, int32_t userValue_)
    : callback(std::move(callback_)), image(image_), visible(visible_), userValue(userValue_) {
    normalLayer = findLayer(image, normalName);
    pressedLayer = findLayer(image, pressedName);
    hoverLayer = findLayer(image, hoverName);
    if (hoverLayer == -1) hoverLayer = normalLayer;
    link();
}

Widget::Widget(int left, int top, LayeredImage* image_, int layer, WidgetCallback callback_,
               bool visible_, int32_t userValue_)
    : callback(std::move(callback_)),
      image(image_),
      normalLayer(layer),
      pressedLayer(layer),
      hoverLayer(layer),
      visible(visible_),
      userValue(userValue_),
      x(left),
      y(top) {
    link();
}

void Widget::link() {
    previous = list.tail;
    next = nullptr;
    if (list.tail)
        list.tail->next = this;
    else
        list.head = this;
    list.tail = this;
    // A walk that has run out of widgets visits the new one, as it would any later widget.
    for (WidgetWalk* walk = list.walks; walk; walk = walk->outer)
        if (!walk->next) walk->next = this;
}

Widget::~Widget() {
    for (WidgetWalk* walk = list.walks; walk; walk = walk->outer)
        if (walk->next == this) walk->next = next;
    if (previous)
        previous->next = next;
    else
        list.head = next;
    if (next)
        next->previous = previous;
    else
        list.tail = previous;
}

void Widget::designPosition(int layer, int* left, int* top) const {
    if (hasOverride()) {
        *left = x;
        *top = y;
    } else {
        *left = image ? image->layerLeft(layer) : 0;
        *top = image ? image->layerTop(layer) : 0;
    }
}

int Widget::hitLayer() const {
    if (normalLayer != -1) return normalLayer;
    return pressedLayer != -1 ? pressedLayer : hoverLayer;
}

bool Widget::contains(int px, int py) const {
    const int layer = hitLayer();
    if (layer == -1 || !image) return false;
    int left = 0, top = 0;
    designPosition(layer, &left, &top);
    const int w = image->layerWidth(layer), h = image->layerHeight(layer);
    // An empty (or missing) layer has no pixels to hit; (w - 1) x scale would otherwise give
    // it a column at back buffers narrower than the design space.
    if (w <= 0 || h <= 0) return false;
    float sx, sy;
    designScale(&sx, &sy);
    const int x0 = static_cast<int>(static_cast<float>(left) * sx);
    const int y0 = static_cast<int>(static_cast<float>(top) * sy);
    return x0 <= px && px <= x0 + static_cast<int>(static_cast<float>(w - 1) * sx) && y0 <= py &&
           py <= y0 + static_cast<int>(static_cast<float>(h - 1) * sy);
}

int Widget::onMouseMove(int px, int py) {
    hover = contains(px, py);
    if (!held) return 0;
    inside = hover;
    return 1;
}

int Widget::onMouseDown(int px, int py) {
    if (!visible || !contains(px, py)) return 0;
    held = true;
    inside = true;
    return 1;
}

int Widget::onMouseUp(int, int) {
    if (!held) return 0;
    const bool fire = inside && callback;
    held = false;
    inside = false;
    // The callback may delete this widget (and with it the function being called): run a copy
    // and touch nothing of the widget afterwards.
    if (fire) {
        const WidgetCallback run = callback;
        run(*this);
    }
    return 1;
}

void Widget::draw() {
    if (!visible) return;
    GraphicsDevice* graphics = graphicsDevice();
    if (!graphics || !graphics->sprite()) return;
    float sx, sy;
    designScale(&sx, &sy);
    const uint32_t widgetAlpha = static_cast<uint32_t>(std::clamp(alpha, 0, 255));

    const int layer = inside ? pressedLayer : (hover ? hoverLayer : normalLayer);
    // A state without a layer shows no picture; its label still shows (the file buttons of
    // the dress-up screen have only a hover layer and are read by their labels).
    if (layerExists(image, layer)) {
        int left = 0, top = 0;
        designPosition(layer, &left, &top);
        const RECT source{0, 0, image->layerWidth(layer), image->layerHeight(layer)};
        const D3DXVECTOR2 scaling{sx * horizontalScale, sy};
        const D3DXVECTOR2 at{static_cast<float>(left) * sx, static_cast<float>(top) * sy};
        const uint32_t opacity = std::min<uint32_t>(image->opacity(layer), 255);
        const D3DCOLOR colour = (opacity * widgetAlpha / 256) << 24 | 0xFFFFFF;
        graphics->sprite()->Draw(image->texture(layer), &source, &scaling, nullptr, 0, &at, colour);
    }

    if (!label) return;
    // Labels are placed from the position override; a labelled widget without one is placed
    // from its layer instead of from (-1, -1).
    int left = x, top = y;
    if (!hasOverride()) designPosition(hitLayer(), &left, &top);
    const D3DCOLOR colour = widgetAlpha << 24 | 0xFFFFFF;
    if (labelPitch < 0) {
        const int normalWidth = image ? image->layerWidth(normalLayer) : 0;
        const int textWidth = static_cast<int>(std::strlen(label) * 26 / 4);
        graphics->drawText(static_cast<float>(left + normalWidth / 2 - textWidth),
                           static_cast<float>(top + 4), colour, label, -1, 0xFFFF, 0xFFFF);
    } else {
        graphics->drawText(static_cast<float>(left), static_cast<float>(top + 8), colour, label,
                           labelPitch, 0xFFFF, 0xFFFF);
    }
}

int drawAllWidgets() {
    return walkWidgets([](Widget& w) {
        w.draw();
        return 0;
    });
}

int mouseMoveAllWidgets(int x, int y) {
    return walkWidgets([=](Widget& w) { return w.onMouseMove(x, y); });
}

int mouseDownAllWidgets(int x, int y) {
    return walkWidgets([=](Widget& w) { return w.onMouseDown(x, y); });
}

int mouseUpAllWidgets(int x, int y) {
    return walkWidgets([=](Widget& w) { return w.onMouseUp(x, y); });
}
