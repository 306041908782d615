// The item windows of the dress-up screen: the category table, the cell grid and its paging,
// the info panel and the glide steps.
#include "character/item_window.h"

#include <algorithm>
#include <cmath>

#include "game/widget.h"
#include "gfx/graphics_device.h"
#include "gfx/layer_drawing.h"
#include "gfx/layered_image.h"

namespace {
// clang-format off
const ItemWindowInfo kWindows[kItemWindowCount] = {
    {"HAIR", "ICON_0", "\x94\xAF", "\x94\xAF\x8C\x5E\x82\xF0\x95\xCF\x82\xA6\x82\xDC\x82\xB7\x81\x42", 21},  // 髪
    {"EYE", "ICON_0", "\x93\xB5", "\x93\xB5\x82\xCC\x90\x46\x82\xF0\x95\xCF\x82\xA6\x82\xDC\x82\xB7\x81\x42", 22},  // 瞳
    {"BODY", "ICON_0", "\x91\xCC", "\x94\xA7\x82\xCC\x90\x46\x82\xC6\x8A\xE7\x82\xC2\x82\xAB\x82\xF0\x95\xCF\x82\xA6\x82\xDC\x82\xB7\x81\x42", 23},  // 体
    {"UNDER", "ICON_0", "\x89\xBA\x92\x85", "\x89\xBA\x92\x85\x82\xF0\x92\x85\x91\xD6\x82\xA6\x82\xDC\x82\xB7\x81\x42", 26},  // 下着
    {"COSTUME", "ICON_0", "\x95\x9E\x81\x69\x8F\xE3\x81\x6A", "\x8F\xE3\x94\xBC\x90\x67\x82\xCC\x95\x9E\x82\xF0\x92\x85\x91\xD6\x82\xA6\x82\xDC\x82\xB7\x81\x42", 24},  // 服（上）
    {"COSTUME", "ICON_1", "\x95\x9E\x81\x69\x89\xBA\x81\x6A", "\x89\xBA\x94\xBC\x90\x67\x82\xCC\x95\x9E\x82\xF0\x92\x85\x91\xD6\x82\xA6\x82\xDC\x82\xB7\x81\x42", 25},  // 服（下）
    {"HEAD", "ICON_0", "\x93\xAA", "\x83\x6C\x83\x52\x83\x7E\x83\x7E\x82\xC8\x82\xC7\x82\xCC\x93\xAA\x82\xC9\x95\x74\x82\xAF\x82\xE9\x83\x41\x83\x43\x83\x65\x83\x80\x82\xF0\x95\xCF\x82\xA6\x82\xDC\x82\xB7\x81\x42", 28},  // 頭
    {"FACE", "ICON_0", "\x8A\xE7", "\x8A\xE1\x8B\xBE\x82\xC8\x82\xC7\x82\xCC\x8A\xE7\x82\xC9\x95\x74\x82\xAF\x82\xE9\x83\x41\x83\x43\x83\x65\x83\x80\x82\xF0\x95\xCF\x82\xA6\x82\xDC\x82\xB7\x81\x42", 29},  // 顔
    {"NECK", "ICON_0", "\x8E\xF1", "\x8E\xF1\x97\xD6\x82\xC8\x82\xC7\x82\xCC\x8E\xF1\x82\xC9\x95\x74\x82\xAF\x82\xE9\x83\x41\x83\x43\x83\x65\x83\x80\x82\xF0\x95\xCF\x82\xA6\x82\xDC\x82\xB7\x81\x42", 30},  // 首
    {"ARM", "ICON_0", "\x98\x72", "\x98\x72\x8E\x9E\x8C\x76\x82\xC8\x82\xC7\x82\xCC\x98\x72\x82\xC9\x95\x74\x82\xAF\x82\xE9\x83\x41\x83\x43\x83\x65\x83\x80\x82\xF0\x95\xCF\x82\xA6\x82\xDC\x82\xB7\x81\x42", 31},  // 腕
    {"SOCKS", "ICON_0", "\x8C\x43\x89\xBA", "\x8C\x43\x89\xBA\x82\xF0\x97\x9A\x82\xAB\x91\xD6\x82\xA6\x82\xDC\x82\xB7\x81\x42", 32},  // 靴下
    {"SHOES", "ICON_0", "\x8C\x43", "\x8C\x43\x82\xF0\x97\x9A\x82\xAB\x91\xD6\x82\xA6\x82\xDC\x82\xB7\x81\x42", 33},  // 靴
    {"COORDINATE", "ICON_0", "\x83\x52\x81\x5B\x83\x66\x83\x42\x83\x6C\x81\x5B\x83\x67", "\x82\xA8\x82\xB7\x82\xB7\x82\xDF\x82\xCC\x83\x52\x81\x5B\x83\x66\x83\x42\x83\x6C\x81\x5B\x83\x67\x82\xC9\x92\x85\x91\xD6\x82\xA6\x82\xDC\x82\xB7\x81\x42", 34},  // コーディネート
    {nullptr, nullptr, "\x96\x85\x83\x5A\x81\x5B\x83\x75", "\x83\x52\x81\x5B\x83\x66\x83\x42\x83\x6C\x81\x5B\x83\x67\x82\xF0\x83\x5A\x81\x5B\x83\x75\x82\xB5\x82\xDC\x82\xB7\x81\x42", 12},  // 妹セーブ
    {nullptr, nullptr, "\x96\x85\x83\x8D\x81\x5B\x83\x68", "\x83\x52\x81\x5B\x83\x66\x83\x42\x83\x6C\x81\x5B\x83\x67\x82\xF0\x83\x8D\x81\x5B\x83\x68\x82\xB5\x82\xDC\x82\xB7\x81\x42", 15},  // 妹ロード
};
// clang-format on

constexpr char kIdeographicSpace[] = "\x81\x40";
constexpr char kSaveWord[] = "\x83\x5A\x81\x5B\x83\x75";  // セーブ
constexpr char kLoadWord[] = "\x83\x8D\x81\x5B\x83\x68";  // ロード
constexpr float kRevealLimit = 65535.0f;
}  // namespace

const ItemWindowInfo* itemWindowInfo(int window) {
    if (window < 1 || window > kItemWindowCount) return nullptr;
    return &kWindows[window - 1];
}

void itemCellPosition(int k, int* x, int* y) {
    *x = kItemGridLeft + (k % kItemGridColumns) * kItemCellPitch;
    *y = kItemGridTop + (k / kItemGridColumns) * kItemCellPitch;
}

std::string itemFrameLayerName(int window) {
    if (window >= 1 && window <= 12) return "itemwin" + std::to_string(window);
    if (window == kSaveWindow || window == kLoadWindow) return "filewin";
    return "";
}

std::string coordinateButtonLabel(bool save, int index) {
    std::string label;
    for (int i = 0; i < 3; ++i) label += kIdeographicSpace;
    label += save ? kSaveWord : kLoadWord;
    label += kIdeographicSpace;
    // Full-width digits are 0x824F + d in CP932.
    const int number = index + 1;
    label += '\x82';
    label += static_cast<char>(0x4F + (number / 10) % 10);
    label += '\x82';
    label += static_cast<char>(0x4F + number % 10);
    return label;
}

void InfoPanel::set(const std::string& newTitle, const std::string& newText) {
    title = newTitle;
    text = newText;
    reveal = 0;
}

void InfoPanel::draw(const LayeredImage* setup) const {
    if (!setup) return;
    const int layer = setup->findLayer("window");
    const float x = static_cast<float>(setup->layerLeft(layer));
    const float y = static_cast<float>(setup->layerTop(layer));
    drawLayer(setup, layer);
    GraphicsDevice* g = graphicsDevice();
    if (!g) return;
    const int shown = static_cast<int>(std::floor(reveal));
    if (!title.empty() && shown > 0)
        g->drawText(x + 12, y + 12, 0xFFFF0000, title.c_str(), 16, 255, shown);
    if (!text.empty() && shown - 10 > 0)
        g->drawText(x + 20, y + 36, 0xFFFFFFFF, text.c_str(), 15, 20, shown - 10);
}

void stepItemScreen(float seconds, CameraControl& camera, CameraGlide& glide, InfoPanel& panel) {
    while (seconds > 0) {
        if (glide.gliding) glideCameraStep(camera, glide);
        seconds -= kItemScreenStepSeconds;
        panel.reveal = std::min(panel.reveal + 0.5f, kRevealLimit);
    }
}

ItemGrid::ItemGrid()
    : cells_(std::make_unique<std::unique_ptr<Widget>[]>(kItemCellLimit)),
      images_(std::make_unique<std::unique_ptr<LayeredImage>[]>(kItemCellLimit)) {}

ItemGrid::~ItemGrid() {
    release();
}

void ItemGrid::release() {
    for (int i = 0; i < kItemCellLimit; ++i) {
        cells_[i].reset();
        images_[i].reset();
    }
    count_ = 0;
    offset_ = 0;
}

bool ItemGrid::add(std::unique_ptr<LayeredImage> image, std::unique_ptr<Widget> widget) {
    if (count_ >= kItemCellLimit) return false;
    if (widget && count_ >= kItemsPerPage) widget->visible = false;
    cells_[count_] = std::move(widget);
    images_[count_] = std::move(image);
    ++count_;
    return true;
}

void ItemGrid::firstPage(Widget* up, Widget* down) {
    offset_ = 0;
    if (up) up->visible = false;
    if (down) down->visible = count_ > kItemsPerPage;
}

void ItemGrid::scroll(const Widget& arrow, int step, Widget* up, Widget* down) {
    if (!arrow.visible) return;
    // The arrows' visibility keeps the offset within the cells; the clamp guards the table.
    offset_ = std::max(0, offset_ + step * kItemGridColumns);
    if (up) up->visible = offset_ >= 1;
    if (down) down->visible = offset_ + kItemsPerPage < count_;
    for (int i = 0; i < count_; ++i)
        if (cells_[i]) cells_[i]->visible = false;
    for (int k = 0; k < count_ - offset_ && k < kItemsPerPage; ++k) {
        Widget* cell = cells_[offset_ + k].get();
        if (!cell) continue;
        itemCellPosition(k, &cell->x, &cell->y);
        cell->visible = true;
    }
}

Widget* ItemGrid::cell(int index) const {
    if (index < 0 || index >= count_) return nullptr;
    return cells_[index].get();
}
