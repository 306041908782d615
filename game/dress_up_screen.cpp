// The dress-up screen: its widgets from "setup.psd", the background selector, the item windows
// with their cells and paging, the info panel, and closing.
#include "game/dress_up_screen.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "archive/catalogue.h"
#include "character/coordinates.h"
#include "character/costume.h"
#include "game/game.h"
#include "game/sound_requests_interface.h"
#include "game/widget.h"
#include "gfx/graphics_device.h"
#include "gfx/layered_image.h"
#include "media/model_instance.h"

namespace {
DressUpScreen* current = nullptr;
int currentWindow = 0;
int32_t backgroundIndex = 0;

constexpr int kBackgroundStages = 2;  // stage slots 0 and 1
constexpr int kFadeInSteps = 120;

// The placement that brings a stage's "loc_pos00" to the world origin, kept per stage slot so
// that the slot's placement name stays valid as long as the placement is applied.
struct OriginPlacement {
    Placement placement{};
    bool kept = false;
};
OriginPlacement origins[kBackgroundStages];

const char* valueOf(const KEYVALUE* record, const char* key) {
    const KeyValuePair* pair = record ? record->find(key) : nullptr;
    return pair ? pair->value : nullptr;
}

// The save and load button labels; widgets keep pointers to them.
const std::string& buttonLabel(bool save, int index) {
    static const auto labels = [] {
        std::array<std::string, 2 * kCoordinateButtons> all;
        for (int i = 0; i < kCoordinateButtons; ++i) {
            all[i] = coordinateButtonLabel(true, i);
            all[kCoordinateButtons + i] = coordinateButtonLabel(false, i);
        }
        return all;
    }();
    return labels[(save ? 0 : kCoordinateButtons) + index];
}

// Places stage slot `slot` so that its "loc_pos00" lies at the origin, when it has one.
void placeAtOrigin(ModelInstance* stage, int slot) {
    origins[slot].kept = false;
    const Placement* origin = stage->body ? findPlacement(stage->body, "loc_pos00") : nullptr;
    if (!origin) return;
    Placement& copy = origins[slot].placement;
    copy = Placement{};
    copy.name = "loc_pos00";
    for (int i = 0; i < 3; ++i) {
        copy.position[i] = -origin->position[i];
        copy.rotation[i] = 0;
        copy.scale[i] = 1;
    }
    origins[slot].kept = true;
    applyPlacement(stage, &copy);
}
}  // namespace

DressUpScreen* currentDressUpScreen() {
    return current;
}
int currentItemWindow() {
    return currentWindow;
}
int32_t currentBackgroundIndex() {
    return backgroundIndex;
}
void setCurrentBackgroundIndex(int32_t index) {
    backgroundIndex = index;
}

DressUpScreen::DressUpScreen(Game& game) : game_(game) {
    current = this;
    startCameraGlide(game_.camera, glide_, 0);
    setup_ = loadLayeredImage("setup.psd");
    emptyItem_ = loadLayeredImage("item_nil.psd");
    game_.screenClosed = false;
    buildWidgets();
    openItemWindow(kCoordinateWindow);
    stepBackground(nullptr);
    FadeChannel& fade = game_.fades[1];
    fade.stepsRemaining = kFadeInSteps;
    fade.credit = 0;
    fade.step = (255.0f - fade.level) * 0.008333334f;
}

void DressUpScreen::buildWidgets() {
    LayeredImage* image = setup_.get();
    auto make = [&](int entry, const char* normal, const char* pressed, const char* hover,
                    WidgetCallback callback, int32_t value) {
        widgets_[entry] = std::make_unique<Widget>(image, normal, pressed, hover,
                                                   std::move(callback), true, value);
    };
    auto openWindow = [this](Widget& w) {
        game_.sound().playSystemEffect("se100");
        openItemWindow(w.userValue);
    };
    auto background = [this](Widget& w) { stepBackground(&w); };
    auto scroll = [this](Widget& w) { scrollItemGrid(w); };

    make(0, "title", "title", nullptr, nullptr, 0);
    make(1, "itemwin13", "itemwin13", "itemwin13", nullptr, 0);
    make(2, "", "", "", nullptr, 0);
    make(3, "BGwin", "BGwin", nullptr, nullptr, 0);
    make(
        4, "menu1_a", "menu1_a", "menu1_b", [this](Widget&) { closeDressUpScreen(); }, 0);
    make(5, "menu2_a", "menu2_a", "menu2_b", openWindow, kSaveWindow);
    make(6, "menu3_a", "menu3_a", "menu3_b", openWindow, kLoadWindow);
    make(7, "BGbutton_L", nullptr, nullptr, background, -1);
    make(8, "BGbutton_R", nullptr, nullptr, background, 1);
    make(kUpArrowEntry, "itembutton_U", nullptr, nullptr, scroll, -1);
    make(kDownArrowEntry, "itembutton_D", nullptr, nullptr, scroll, 1);
    for (int i = 1; i <= 12; ++i) {
        const std::string pressed = "itembutton" + std::to_string(i);
        make(10 + i, nullptr, pressed.c_str(), nullptr, openWindow, i);
    }
    make(23, "itembutton13b", "itembutton13a", nullptr, openWindow, kCoordinateWindow);
    upArrow_ = widgets_[kUpArrowEntry].get();
    downArrow_ = widgets_[kDownArrowEntry].get();
}

DressUpScreen::~DressUpScreen() {
    sampleWidget_.reset();
    sampleImage_.reset();
    grid_.release();
    for (auto& widget : widgets_) {
        if (!widget) break;
        widget.reset();
    }
    for (auto& widget : widgets_) widget.reset();
    setup_.reset();
    emptyItem_.reset();
    if (current == this) current = nullptr;
}

Widget* DressUpScreen::widget(int entry) const {
    if (entry < 0 || entry >= kScreenWidgetSlots) return nullptr;
    return widgets_[entry].get();
}

void DressUpScreen::openItemWindow(int window) {
    const ItemWindowInfo* info = itemWindowInfo(window);
    if (!info) return;
    panel_.set(info->title, info->description);
    currentWindow = window;
    startCameraGlide(game_.camera, glide_, window);
    char voice[16];
    std::snprintf(voice, sizeof voice, "%04d", info->voice);
    game_.sound().playVoice(voice);
    grid_.release();
    if (window == kSaveWindow || window == kLoadWindow)
        openCoordinateFiles(window);
    else
        openItems(window);
    game_.resetFrameTimer();
}

void DressUpScreen::openCoordinateFiles(int window) {
    const bool save = window == kSaveWindow;
    const int layer = setup_->findLayer("filebutton");
    const int left = setup_->layerLeft(layer), top = setup_->layerTop(layer);
    for (int i = 0; i < kCoordinateButtons; ++i) {
        auto button = std::make_unique<Widget>(
            setup_.get(), nullptr, nullptr, "filebutton",
            [this, window](Widget& w) { coordinateButton(window, w); }, true, i);
        button->label = buttonLabel(save, i).c_str();
        button->labelPitch = 20;
        button->x = left;
        button->y = top + 40 * i;
        grid_.add(nullptr, std::move(button));
    }
    grid_.firstPage(upArrow_, downArrow_);
    // Eight buttons never fill a page.
    if (downArrow_) downArrow_->visible = false;
}

void DressUpScreen::openItems(int window) {
    const ItemWindowInfo* info = itemWindowInfo(window);
    int count = 0;
    const KEYVALUE* const* table = listArchives(info->type, &count);
    // The table is rewritten by the next listing; the records it points to stay.
    std::vector<const KEYVALUE*> records(table, table + count);

    if (window >= 5 && window <= 12) {
        auto image = loadLayeredImage("item_sys.psd");
        auto cell = std::make_unique<Widget>(
            kItemGridLeft, kItemGridTop, image.get(), 0,
            [this, window](Widget&) { putOn(window, nullptr); }, true, 0);
        grid_.add(std::move(image), std::move(cell));
    }
    for (const KEYVALUE* record : records) {
        if (grid_.count() >= kItemCellLimit) break;  // further items are not shown
        if (window == 5 && record->find("BOTTOMONLY")) continue;
        if (window == 6 && record->find("UPPERONLY")) continue;
        const char* icon = valueOf(record, info->iconKey);
        const char* name = valueOf(record, "NAME");
        // An item without an icon or a name cannot be shown as itself nor told apart.
        const bool complete = icon && name;
        if (!icon || std::strcmp(icon, "nil") == 0) icon = "item_nil.psd";
        auto image = loadLayeredImage(icon);
        const bool canChoose = complete && choosable(window, *record);
        int x = 0, y = 0;
        itemCellPosition(grid_.count() % kItemsPerPage, &x, &y);
        WidgetCallback callback;
        if (canChoose) callback = [this, window, record](Widget&) { putOn(window, record); };
        auto cell = std::make_unique<Widget>(x, y, image.get(), canChoose ? 1 : 0,
                                             std::move(callback), true, 0);
        if (!canChoose) cell->alpha = 128;
        grid_.add(std::move(image), std::move(cell));
    }
    grid_.firstPage(upArrow_, downArrow_);
}

bool DressUpScreen::choosable(int window, const KEYVALUE& record) const {
    if (window == kCoordinateWindow)
        return isCoordinateAvailable(&record, game_.seenModels, game_.state.variables);
    return game_.isModelSeen(valueOf(&record, "NAME"));
}

void DressUpScreen::putOn(int window, const KEYVALUE* record) {
    InfoPanelText text;
    putOnItem(game_.figure(0), window, record, game_.sound(), &text);
    panel_.set(text.title, text.text);
    game_.resetFrameTimer();
}

void DressUpScreen::coordinateButton(int window, const Widget& button) {
    game_.sound().playSystemEffect("se101");
    InfoPanelText text;
    if (window == kSaveWindow)
        saveCoordinate(game_.figure(0), button.userValue, &text);
    else
        loadCoordinate(game_.figure(0), button.userValue, game_.seenModels, game_.state.variables,
                       &text);
    panel_.set(text.title, text.text);
    game_.resetFrameTimer();
}

void DressUpScreen::scrollItemGrid(const Widget& arrow) {
    grid_.scroll(arrow, arrow.userValue, upArrow_, downArrow_);
}

void DressUpScreen::stepBackground(const Widget* widget) {
    if (widget) {
        game_.sound().playSystemEffect("se101");
        game_.sound().playVoice("0035");
    }
    const int sampleLayer = setup_->findLayer("BGsample");
    const int sampleX = setup_->layerLeft(sampleLayer), sampleY = setup_->layerTop(sampleLayer);

    int n = 0;
    const KEYVALUE* const* table = listArchives("BG", &n);
    // Without backgrounds there is nothing to step to: the stage stays as it is.
    if (n <= 0) return;
    int64_t index = static_cast<int64_t>(backgroundIndex) + (widget ? widget->userValue : 0);
    index %= n;
    if (index < 0) index += n;
    backgroundIndex = static_cast<int32_t>(index);
    const KEYVALUE* item = table[index];

    sampleWidget_.reset();
    sampleImage_.reset();
    if (const char* icon = valueOf(item, "ICON_0")) {
        sampleImage_ = loadLayeredImage(icon);
        sampleWidget_ =
            std::make_unique<Widget>(sampleX, sampleY, sampleImage_.get(), 0, nullptr, true, 0);
    }

    for (int slot = 0; slot < kBackgroundStages; ++slot) {
        if (!game_.modelSlots[slot]) continue;
        game_.drawList.remove(game_.modelSlots[slot].get());
        game_.modelSlots[slot].reset();
    }
    for (int slot = 0; slot < kBackgroundStages; ++slot) {
        char modelKey[8], motionKey[8];
        std::snprintf(modelKey, sizeof modelKey, "FILE_%d", slot * 2);
        std::snprintf(motionKey, sizeof motionKey, "FILE_%d", slot * 2 + 1);
        if (const char* model = valueOf(item, modelKey)) {
            origins[slot].kept = false;
            if (std::strcmp(model, "nil") != 0) {
                auto stage = std::make_unique<ModelInstance>();
                loadBody(stage.get(), model);
                game_.drawList.add(stage.get());
                placeAtOrigin(stage.get(), slot);
                game_.modelSlots[slot] = std::move(stage);
            }
            game_.resetFrameTimer();
        }
        if (const char* motion = valueOf(item, motionKey)) {
            if (std::strcmp(motion, "nil") != 0 && game_.modelSlots[slot]) {
                setMotion(game_.modelSlots[slot].get(), motion);
                game_.modelSlots[slot]->time = 0;
            }
            game_.resetFrameTimer();
        }
    }
}

void DressUpScreen::itemScreenFrame(float seconds) {
    if (Widget* frame = widgets_[kFrameWidgetEntry].get()) {
        const std::string name = itemFrameLayerName(currentWindow);
        const int layer = name.empty() ? -1 : setup_->findLayer(name.c_str());
        frame->normalLayer = frame->pressedLayer = frame->hoverLayer = layer;
    }
    if (GraphicsDevice* g = graphicsDevice()) {
        g->setProjectionShift(kItemScreenShiftA, kItemScreenShiftB);
        g->rebuildView();
    }
    stepItemScreen(seconds, game_.camera, glide_, panel_);
    if (game_.wheelAccumulator > 0 && upArrow_) scrollItemGrid(*upArrow_);
    if (game_.wheelAccumulator < 0 && downArrow_) scrollItemGrid(*downArrow_);
}

void DressUpScreen::drawInfoPanel() {
    panel_.draw(setup_.get());
}

void DressUpScreen::closeDressUpScreen() {
    game_.sound().playSystemEffect("se101");
    startCameraGlide(game_.camera, glide_, 0);
    game_.camera.busy = false;
    game_.screenClosed = true;
}

void DressUpScreen::releaseOriginPlacements() {
    for (OriginPlacement& origin : origins) origin.kept = false;
}
