// The interface pictures: message window, gauges, choices, title, fades, mask, the dress-up
// screen, the item-window cells and the scene cards, each a layered PSD.
#include "content/interface/maker/art.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "content/interface/maker/canvas.h"
#include "content/interface/maker/layout.h"

namespace {
using namespace palette;
namespace fs = std::filesystem;

constexpr int kShadow = 6;  // room right of and below a panel for its shadow

// A small fixed-seed generator, so that scattered stars land in the same places every build.
struct Scatter {
    uint32_t state;
    double next() {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / 16777216.0;
    }
};

Rgba withAlpha(Rgba c, double a) {
    c.a = a;
    return c;
}

// A rounded button with a centred label.
PsdWriterLayer buttonLayer(const std::string& name, const Rect& r, const std::string& label,
                           double size, const Rgba& top, const Rgba& bottom, const Rgba& ink,
                           const Rgba& border) {
    Canvas c(r.w, r.h);
    c.roundedRect(1, 1, r.w - 2, r.h - 2, std::min(r.h / 2.0, 12.0));
    cairo_pattern_t* body = cairo_pattern_create_linear(0, 0, 0, r.h);
    cairo_pattern_add_color_stop_rgba(body, 0, top.r, top.g, top.b, top.a);
    cairo_pattern_add_color_stop_rgba(body, 1, bottom.r, bottom.g, bottom.b, bottom.a);
    cairo_set_source(c.cr(), body);
    cairo_fill_preserve(c.cr());
    cairo_pattern_destroy(body);
    c.setColour(border);
    cairo_set_line_width(c.cr(), 2);
    cairo_stroke(c.cr());
    // A glossy band on the upper half.
    c.roundedRect(4, 3, r.w - 8, r.h / 2.0 - 3, std::min(r.h / 4.0, 8.0));
    cairo_set_source_rgba(c.cr(), 1, 1, 1, 0.22);
    cairo_fill(c.cr());
    if (!label.empty()) c.text(label, r.w / 2.0, r.h / 2.0 + 1, size, ink, {0, 0, 0, 0}, true);
    return c.layer(name, r.x, r.y);
}

PsdWriterLayer calmButton(const std::string& name, const Rect& r, const std::string& label,
                          double size) {
    return buttonLayer(name, r, label, size, kBlush, {0.98, 0.74, 0.82}, kInk, kRoseDeep);
}

PsdWriterLayer brightButton(const std::string& name, const Rect& r, const std::string& label,
                            double size) {
    return buttonLayer(name, r, label, size, {1.0, 0.66, 0.77}, kRoseDeep, kCream, kCream);
}

// An arrow button pointing left, right, up or down (dx, dy).
PsdWriterLayer arrowLayer(const std::string& name, const Rect& r, int dx, int dy) {
    Canvas c(r.w, r.h);
    c.roundedRect(1, 1, r.w - 2, r.h - 2, 8);
    c.setColour(kBlush);
    cairo_fill_preserve(c.cr());
    c.setColour(kRoseDeep);
    cairo_set_line_width(c.cr(), 2);
    cairo_stroke(c.cr());
    const double cx = r.w / 2.0, cy = r.h / 2.0, s = std::min(r.w, r.h) * 0.28;
    cairo_new_path(c.cr());
    // Tip, then the two back corners.
    cairo_move_to(c.cr(), cx + dx * s, cy + dy * s);
    cairo_line_to(c.cr(), cx - dx * s * 0.8 - dy * s, cy - dy * s * 0.8 - dx * s);
    cairo_line_to(c.cr(), cx - dx * s * 0.8 + dy * s, cy - dy * s * 0.8 + dx * s);
    cairo_close_path(c.cr());
    c.setColour(kRoseDeep);
    cairo_fill(c.cr());
    return c.layer(name, r.x, r.y);
}

bool save(const fs::path& dir, const char* file, const PsdDocument& doc) {
    std::string error;
    if (!writePsdFile(dir / file, doc, &error)) {
        std::fprintf(stderr, "interface-maker: %s: %s\n", file, error.c_str());
        return false;
    }
    return true;
}

// ---- inter.psd --------------------------------------------------------------------------

PsdWriterLayer messageWindow() {
    const Rect& r = layout::kMessageWindow;
    Canvas c(r.w + kShadow, r.h + kShadow);
    c.panel(1.5, 1.5, r.w - 3, r.h - 3, 16, kPlum, kPlumDeep, kRose, 3);
    // The speaker's tab on the first text row.
    c.roundedRect(14, 12, 230, 30, 10);
    cairo_set_source_rgba(c.cr(), kRose.r, kRose.g, kRose.b, 0.22);
    cairo_fill(c.cr());
    // Corner ornaments: a heart and a pair of twinkles.
    c.heart(r.w - 30, 22, 16, withAlpha(kRose, 0.9));
    c.sparkle(r.w - 52, 16, 12, withAlpha(kCream, 0.8));
    c.sparkle(r.w - 14, 38, 8, withAlpha(kCream, 0.6));
    return c.layer("window", r.x, r.y);
}

PsdWriterLayer pageIcon() {
    const Rect& r = layout::kPageIcon;
    Canvas c(r.w, r.h);
    c.heart(r.w / 2.0, r.h / 2.0 + 1, r.w * 0.95, kCream);
    c.heart(r.w / 2.0, r.h / 2.0 + 1, r.w * 0.72, kRose);
    c.sparkle(r.w * 0.32, r.h * 0.36, r.w * 0.3, withAlpha(kCream, 0.9));
    return c.layer("pageicon", r.x, r.y);
}

PsdWriterLayer gaugeFrame(const char* name, const Rect& r, const char* label, const Rgba& accent) {
    Canvas c(r.w + kShadow, r.h + kShadow);
    c.panel(1.5, 1.5, r.w - 3, r.h - 3, r.h / 2.0 - 1, kPlum, kPlumDeep, kRose, 2);
    // The badge with the gauge's kanji.
    const double badge = r.h / 2.0;
    cairo_arc(c.cr(), badge + 2, badge, badge - 4, 0, 2 * std::numbers::pi);
    c.setColour(accent);
    cairo_fill(c.cr());
    c.text(label, badge + 2, badge, r.h * 0.55, kInk, {0, 0, 0, 0}, true);
    // The empty track the fill runs along.
    const Rect& t = layout::gaugeTrack(r);
    c.roundedRect(t.x - r.x - 1, t.y - r.y - 1, t.w + 2, t.h + 2, (t.h + 2) / 2.0);
    cairo_set_source_rgba(c.cr(), 0, 0, 0, 0.35);
    cairo_fill(c.cr());
    return c.layer(name, r.x, r.y);
}

PsdWriterLayer gaugeFill(const char* name, const Rect& frame, const Rgba& light, const Rgba& deep) {
    const Rect t = layout::gaugeTrack(frame);
    Canvas c(t.w, t.h);
    c.roundedRect(0, 0, t.w, t.h, t.h / 2.0);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, 0, t.h);
    cairo_pattern_add_color_stop_rgba(fill, 0, light.r, light.g, light.b, 1);
    cairo_pattern_add_color_stop_rgba(fill, 1, deep.r, deep.g, deep.b, 1);
    cairo_set_source(c.cr(), fill);
    cairo_fill(c.cr());
    cairo_pattern_destroy(fill);
    c.roundedRect(3, 2, t.w - 6, t.h / 2.0 - 2, t.h / 4.0);
    cairo_set_source_rgba(c.cr(), 1, 1, 1, 0.35);
    cairo_fill(c.cr());
    return c.layer(name, t.x, t.y);
}

PsdWriterLayer menuItem(const char* name, bool bright) {
    const Rect& r = layout::kMenuItem;
    Canvas c(r.w, r.h);
    c.roundedRect(1.5, 1.5, r.w - 3, r.h - 3, r.h / 2.0 - 1);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, 0, 0, r.h);
    const Rgba top = bright ? Rgba{1.0, 0.62, 0.75, 0.95} : kPlum;
    const Rgba bottom = bright ? Rgba{0.86, 0.36, 0.52, 0.95} : kPlumDeep;
    cairo_pattern_add_color_stop_rgba(body, 0, top.r, top.g, top.b, top.a);
    cairo_pattern_add_color_stop_rgba(body, 1, bottom.r, bottom.g, bottom.b, bottom.a);
    cairo_set_source(c.cr(), body);
    cairo_fill_preserve(c.cr());
    cairo_pattern_destroy(body);
    c.setColour(bright ? kCream : kRose);
    cairo_set_line_width(c.cr(), 2);
    cairo_stroke(c.cr());
    const Rgba mark = bright ? kCream : withAlpha(kRose, 0.85);
    c.heart(22, r.h / 2.0 + 1, 14, mark);
    c.heart(r.w - 22, r.h / 2.0 + 1, 14, mark);
    return c.layer(name, r.x, r.y);
}

bool interPsd(const fs::path& dir) {
    PsdDocument doc;
    doc.layers.push_back(messageWindow());
    doc.layers.push_back(pageIcon());
    doc.layers.push_back(gaugeFrame("ani_gauge", layout::kPlayerGauge, "兄", kMint));
    doc.layers.push_back(
        gaugeFill("ani_gauge_e", layout::kPlayerGauge, {0.72, 0.95, 0.90}, {0.30, 0.70, 0.66}));
    doc.layers.push_back(gaugeFrame("imo_gauge", layout::kHeroineGauge, "妹", kBlush));
    doc.layers.push_back(
        gaugeFill("imo_gauge_e", layout::kHeroineGauge, {1.0, 0.75, 0.84}, kRoseDeep));
    doc.layers.push_back(menuItem("menuitem_i", false));
    doc.layers.push_back(menuItem("menuitem", true));
    return save(dir, "inter.psd", doc);
}

// ---- fade.psd, mask.psd -----------------------------------------------------------------

bool fadePsd(const fs::path& dir) {
    // Opaque white: the game tints it black or white and sets the alpha.
    PsdDocument doc;
    doc.layers.push_back(
        psdLayer("fade", 0, 0, 16, 16, std::vector<uint32_t>(16 * 16, 0xFFFFFFFFu)));
    return save(dir, "fade.psd", doc);
}

bool maskPsd(const fs::path& dir) {
    // A soft blush with a heart in the middle, centred in 128 x 128 as the game draws it.
    Canvas c(128, 128);
    cairo_pattern_t* glow = cairo_pattern_create_radial(64, 64, 4, 64, 64, 62);
    cairo_pattern_add_color_stop_rgba(glow, 0, 1.0, 0.55, 0.68, 0.85);
    cairo_pattern_add_color_stop_rgba(glow, 0.6, 1.0, 0.70, 0.80, 0.45);
    cairo_pattern_add_color_stop_rgba(glow, 1, 1.0, 0.80, 0.88, 0.0);
    cairo_arc(c.cr(), 64, 64, 63, 0, 2 * std::numbers::pi);
    cairo_set_source(c.cr(), glow);
    cairo_fill(c.cr());
    cairo_pattern_destroy(glow);
    c.heart(64, 66, 56, withAlpha(kCream, 0.95));
    c.heart(64, 66, 44, kRose);
    c.sparkle(50, 50, 20, kCream);
    c.sparkle(94, 36, 14, withAlpha(kCream, 0.8));
    c.sparkle(30, 92, 12, withAlpha(kCream, 0.7));
    PsdDocument doc;
    doc.width = 128;
    doc.height = 128;
    doc.layers.push_back(c.layer("mask", 0, 0));
    return save(dir, "mask.psd", doc);
}

// ---- title2.psd --------------------------------------------------------------------------

bool titlePsd(const fs::path& dir) {
    const Rect& band = layout::kTitleBand;
    Canvas back(band.w, band.h);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, 0, band.h);
    cairo_pattern_add_color_stop_rgba(fill, 0, 0.20, 0.12, 0.24, 0.0);
    cairo_pattern_add_color_stop_rgba(fill, 0.18, 0.20, 0.12, 0.24, 0.72);
    cairo_pattern_add_color_stop_rgba(fill, 0.82, 0.13, 0.07, 0.17, 0.72);
    cairo_pattern_add_color_stop_rgba(fill, 1, 0.13, 0.07, 0.17, 0.0);
    cairo_rectangle(back.cr(), 0, 0, band.w, band.h);
    cairo_set_source(back.cr(), fill);
    cairo_fill(back.cr());
    cairo_pattern_destroy(fill);
    for (double y : {band.h * 0.2, band.h * 0.8}) {
        cairo_move_to(back.cr(), 0, y);
        cairo_line_to(back.cr(), band.w, y);
        back.setColour(withAlpha(kRose, 0.8));
        cairo_set_line_width(back.cr(), 2);
        cairo_stroke(back.cr());
    }
    Scatter scatter{20261211};
    for (int i = 0; i < 60; ++i) {
        const double x = scatter.next() * band.w, y = band.h * (0.22 + 0.56 * scatter.next());
        const double s = 4 + scatter.next() * 10;
        back.sparkle(x, y, s, withAlpha(kCream, 0.35 + 0.5 * scatter.next()));
    }

    const Rect& logoRect = layout::kTitleLogo;
    Canvas logo(logoRect.w, logoRect.h);
    logo.heart(60, 62, 70, withAlpha(kRose, 0.95));
    logo.heart(logoRect.w - 60, 62, 70, withAlpha(kRose, 0.95));
    logo.sparkle(92, 30, 26, kCream);
    logo.sparkle(logoRect.w - 92, 100, 22, kCream);
    logo.text("きせかえステージ", logoRect.w / 2.0, 64, 64, kCream, kRoseDeep, true);
    logo.text("〜　ドレスアップ・デモ　〜", logoRect.w / 2.0, 128, 24, kBlush, kPlumDeep);

    PsdDocument doc;
    doc.layers.push_back(back.layer("title_band", band.x, band.y));
    doc.layers.push_back(logo.layer("title_logo", logoRect.x, logoRect.y));
    return save(dir, "title2.psd", doc);
}

// ---- setup.psd ---------------------------------------------------------------------------

PsdWriterLayer screenTitle() {
    const Rect& r = layout::kScreenTitle;
    Canvas c(r.w + kShadow, r.h + kShadow);
    c.panel(1.5, 1.5, r.w - 3, r.h - 3, r.h / 2.0 - 2, {1.0, 0.66, 0.77}, kRoseDeep, kCream, 3);
    c.heart(28, r.h / 2.0, 22, kCream);
    c.text("きせかえ", r.w / 2.0 + 10, r.h / 2.0, 28, kCream, kPlumDeep, true);
    c.sparkle(r.w - 26, r.h / 2.0 - 6, 16, kCream);
    return c.layer("title", r.x, r.y);
}

PsdWriterLayer backgroundWindow() {
    const Rect& r = layout::kBackgroundWindow;
    Canvas c(r.w + kShadow, r.h + kShadow);
    c.panel(1.5, 1.5, r.w - 3, r.h - 3, 14, kPlum, kPlumDeep, kRose);
    c.text("ステージ", r.w / 2.0, 17, 17, kCream, {0, 0, 0, 0}, true);
    // A frame around the sample picture's place.
    const Rect& s = layout::kBackgroundSample;
    c.roundedRect(s.x - r.x - 3, s.y - r.y - 3, s.w + 6, s.h + 6, 5);
    c.setColour(kRose);
    cairo_set_line_width(c.cr(), 2);
    cairo_stroke(c.cr());
    return c.layer("BGwin", r.x, r.y);
}

PsdWriterLayer backgroundSample() {
    // Only its place is read; the picture shows what an empty stage slot looks like.
    const Rect& s = layout::kBackgroundSample;
    Canvas c(s.w, s.h);
    cairo_rectangle(c.cr(), 0, 0, s.w, s.h);
    c.setColour({0.30, 0.22, 0.34});
    cairo_fill(c.cr());
    c.star(s.w / 2.0, s.h / 2.0, 26, 11, withAlpha(kRose, 0.6));
    return c.layer("BGsample", s.x, s.y);
}

PsdWriterLayer itemPanel() {
    const Rect& r = layout::kItemPanel;
    Canvas c(r.w + kShadow, r.h + kShadow);
    c.panel(1.5, 1.5, r.w - 3, r.h - 3, 16, kPlum, kPlumDeep, kRose);
    // The twelve category buttons as they look when not pressed.
    for (int k = 1; k <= 12; ++k) {
        const Rect b = layout::categoryButton(k);
        c.roundedRect(b.x - r.x + 1, b.y - r.y + 1, b.w - 2, b.h - 2, 9);
        c.setColour(kBlush);
        cairo_fill_preserve(c.cr());
        c.setColour(kRoseDeep);
        cairo_set_line_width(c.cr(), 1.5);
        cairo_stroke(c.cr());
        const std::string label = layout::kCategoryLabels[k - 1];
        const double size = label.size() > 3 ? 12.5 : 19;
        c.text(label, b.x - r.x + b.w / 2.0, b.y - r.y + b.h / 2.0 + 1, size, kInk, {0, 0, 0, 0},
               true);
    }
    // The sunken grid with its 48 cell places.
    const Rect& g = layout::kGridArea;
    c.roundedRect(g.x - r.x, g.y - r.y, g.w, g.h, 10);
    cairo_set_source_rgba(c.cr(), 0, 0, 0, 0.30);
    cairo_fill(c.cr());
    for (int k = 0; k < 48; ++k) {
        const Rect cell = layout::gridCell(k);
        c.roundedRect(cell.x - r.x + 1, cell.y - r.y + 1, cell.w - 2, cell.h - 2, 6);
        cairo_set_source_rgba(c.cr(), kCream.r, kCream.g, kCream.b, 0.10);
        cairo_fill(c.cr());
    }
    return c.layer("itemwin13", r.x, r.y);
}

PsdWriterLayer categoryPressed(int k) {
    const Rect b = layout::categoryButton(k);
    const std::string label = layout::kCategoryLabels[k - 1];
    return brightButton("itembutton" + std::to_string(k), b, label, label.size() > 3 ? 12.5 : 19);
}

PsdWriterLayer categorySelected(int k) {
    // The open window's button glows: a tinted face inside a deep ring with a light halo.
    const Rect b = layout::categoryButton(k);
    const Rect r{b.x - 6, b.y - 6, b.w + 12, b.h + 12};
    Canvas c(r.w, r.h);
    c.roundedRect(3.5, 3.5, r.w - 7, r.h - 7, 12);
    c.setColour(withAlpha(kCream, 0.85));
    cairo_set_line_width(c.cr(), 5);
    cairo_stroke(c.cr());
    c.roundedRect(6, 6, b.w, b.h, 9);
    cairo_set_source_rgba(c.cr(), kRose.r, kRose.g, kRose.b, 0.35);
    cairo_fill_preserve(c.cr());
    c.setColour(kRoseDeep);
    cairo_set_line_width(c.cr(), 3);
    cairo_stroke(c.cr());
    return c.layer("itemwin" + std::to_string(k), r.x, r.y);
}

PsdWriterLayer fileWindow() {
    const Rect& r = layout::kFileWindow;
    Canvas c(r.w, r.h);
    c.roundedRect(0, 0, r.w, r.h, 10);
    c.setColour(kPlumDeep);
    cairo_fill(c.cr());
    for (int i = 0; i < 8; ++i) {
        const Rect s = layout::fileSlot(i);
        c.roundedRect(s.x - r.x + 1, s.y - r.y + 1, s.w - 2, s.h - 2, s.h / 2.0 - 1);
        cairo_set_source_rgba(c.cr(), kRose.r, kRose.g, kRose.b, 0.20);
        cairo_fill_preserve(c.cr());
        c.setColour(withAlpha(kRose, 0.7));
        cairo_set_line_width(c.cr(), 1.5);
        cairo_stroke(c.cr());
        c.heart(s.x - r.x + 22, s.y - r.y + s.h / 2.0 + 1, 14, withAlpha(kRose, 0.9));
    }
    return c.layer("filewin", r.x, r.y);
}

PsdWriterLayer fileButtonHover() {
    const Rect s = layout::fileSlot(0);
    Canvas c(s.w, s.h);
    c.roundedRect(1, 1, s.w - 2, s.h - 2, s.h / 2.0 - 1);
    cairo_set_source_rgba(c.cr(), 1.0, 0.62, 0.75, 0.75);
    cairo_fill_preserve(c.cr());
    c.setColour(kCream);
    cairo_set_line_width(c.cr(), 2);
    cairo_stroke(c.cr());
    c.heart(22, s.h / 2.0 + 1, 16, kCream);
    return c.layer("filebutton", s.x, s.y);
}

PsdWriterLayer infoPanel() {
    const Rect& r = layout::kInfoPanel;
    Canvas c(r.w + kShadow, r.h + kShadow);
    c.panel(1.5, 1.5, r.w - 3, r.h - 3, 14, kPlum, kPlumDeep, kRose);
    c.sparkle(r.w - 18, 16, 12, withAlpha(kCream, 0.8));
    return c.layer("window", r.x, r.y);
}

bool setupPsd(const fs::path& dir) {
    PsdDocument doc;
    doc.layers.push_back(screenTitle());
    doc.layers.push_back(itemPanel());
    for (int k = 1; k <= 12; ++k) doc.layers.push_back(categorySelected(k));
    doc.layers.push_back(fileWindow());
    doc.layers.push_back(fileButtonHover());
    doc.layers.push_back(backgroundWindow());
    doc.layers.push_back(backgroundSample());
    const char* menuLabels[3] = {"とじる", "セーブ", "ロード"};
    for (int m = 1; m <= 3; ++m) {
        const Rect& r = layout::kMenuButtons[m - 1];
        const std::string base = "menu" + std::to_string(m);
        doc.layers.push_back(calmButton(base + "_a", r, menuLabels[m - 1], 20));
        doc.layers.push_back(brightButton(base + "_b", r, menuLabels[m - 1], 20));
    }
    doc.layers.push_back(arrowLayer("BGbutton_L", layout::kBackgroundLeft, -1, 0));
    doc.layers.push_back(arrowLayer("BGbutton_R", layout::kBackgroundRight, 1, 0));
    doc.layers.push_back(arrowLayer("itembutton_U", layout::kScrollUp, 0, -1));
    doc.layers.push_back(arrowLayer("itembutton_D", layout::kScrollDown, 0, 1));
    for (int k = 1; k <= 12; ++k) doc.layers.push_back(categoryPressed(k));
    doc.layers.push_back(brightButton("itembutton13a", layout::kCoordinateButton, "コーデ", 18));
    doc.layers.push_back(buttonLayer("itembutton13b", layout::kCoordinateButton, "コーデ", 18,
                                     {0.86, 0.80, 0.97}, kLavender, kInk, {0.45, 0.36, 0.65}));
    doc.layers.push_back(infoPanel());
    return save(dir, "setup.psd", doc);
}

// ---- item_nil.psd, item_sys.psd -----------------------------------------------------------

// A cell icon: layer 0 dimmed for items that cannot be chosen, layer 1 in full colour.
PsdWriterLayer cellIcon(const std::string& name, bool dimmed, bool remove) {
    const int s = layout::kCellSize;
    Canvas c(s, s);
    c.roundedRect(1, 1, s - 2, s - 2, 7);
    c.setColour(dimmed ? Rgba{0.62, 0.58, 0.62} : kBlush);
    cairo_fill_preserve(c.cr());
    c.setColour(dimmed ? Rgba{0.45, 0.40, 0.45} : kRoseDeep);
    cairo_set_line_width(c.cr(), 1.5);
    cairo_stroke(c.cr());
    const Rgba ink = dimmed ? Rgba{0.40, 0.36, 0.40} : kRoseDeep;
    if (remove) {
        // A cross over a little hanger: take this off.
        cairo_set_line_cap(c.cr(), CAIRO_LINE_CAP_ROUND);
        c.setColour(ink);
        cairo_set_line_width(c.cr(), 3.5);
        cairo_move_to(c.cr(), 11, 9);
        cairo_line_to(c.cr(), s - 11, s - 15);
        cairo_move_to(c.cr(), s - 11, 9);
        cairo_line_to(c.cr(), 11, s - 15);
        cairo_stroke(c.cr());
        c.text("はずす", s / 2.0, s - 7, 9, kInk, {0, 0, 0, 0}, true);
    } else {
        c.text("なし", s / 2.0, s / 2.0, 14, ink, {0, 0, 0, 0}, true);
    }
    return c.layer(name, 0, 0);
}

bool cellPsds(const fs::path& dir) {
    PsdDocument nil;
    nil.width = nil.height = layout::kCellSize;
    nil.layers.push_back(cellIcon("nil_dim", true, false));
    nil.layers.push_back(cellIcon("nil", false, false));
    PsdDocument sys;
    sys.width = sys.height = layout::kCellSize;
    sys.layers.push_back(cellIcon("remove", false, true));
    sys.layers.push_back(cellIcon("remove_dim", true, true));
    return save(dir, "item_nil.psd", nil) && save(dir, "item_sys.psd", sys);
}

// ---- scene cards ---------------------------------------------------------------------------

bool sceneCard(const fs::path& dir, const char* file, const char* act, const char* caption,
               const Rgba& skyTop, const Rgba& skyBottom, uint32_t seed) {
    Canvas c(800, 600);
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, 600);
    cairo_pattern_add_color_stop_rgb(sky, 0, skyTop.r, skyTop.g, skyTop.b);
    cairo_pattern_add_color_stop_rgb(sky, 1, skyBottom.r, skyBottom.g, skyBottom.b);
    cairo_rectangle(c.cr(), 0, 0, 800, 600);
    cairo_set_source(c.cr(), sky);
    cairo_fill(c.cr());
    cairo_pattern_destroy(sky);
    Scatter scatter{seed};
    for (int i = 0; i < 90; ++i) {
        const double x = scatter.next() * 800, y = scatter.next() * 600;
        c.sparkle(x, y, 3 + scatter.next() * 12, withAlpha(kCream, 0.25 + 0.6 * scatter.next()));
    }
    for (int i = 0; i < 12; ++i) {
        const double x = scatter.next() * 800, y = scatter.next() * 600;
        c.heart(x, y, 12 + scatter.next() * 26, withAlpha(kRose, 0.25 + 0.4 * scatter.next()));
    }
    c.panel(150, 220, 500, 160, 30, kPlum, kPlumDeep, kRose, 3);
    c.text(act, 400, 265, 30, kRose, {0, 0, 0, 0}, true);
    c.text(caption, 400, 325, 40, kCream, kPlumDeep, true);
    PsdDocument doc;
    doc.layers.push_back(c.layer("card", 0, 0));
    return save(dir, file, doc);
}
}  // namespace

bool makeInterfaceArt(const fs::path& dir) {
    std::string resolved;
    if (!labelFontAvailable(&resolved)) {
        std::fprintf(stderr, "interface-maker: the font %s is missing (fontconfig gave '%s')\n",
                     kLabelFamily, resolved.c_str());
        return false;
    }
    return interPsd(dir) && fadePsd(dir) && maskPsd(dir) && titlePsd(dir) && setupPsd(dir) &&
           cellPsds(dir) &&
           sceneCard(dir, "scene01.psd", "だいいちまく", "はじまりのステージ", {0.98, 0.70, 0.62},
                     {0.45, 0.30, 0.58}, 7) &&
           sceneCard(dir, "scene02.psd", "だいにまく", "きせかえタイム", {0.20, 0.18, 0.42},
                     {0.62, 0.38, 0.62}, 11);
}
