// The house drawing style on cairo and pango, and the step from a cairo surface to a PSD layer.
#include "content/interface/maker/canvas.h"

#include <pango/pangocairo.h>

#include <cmath>
#include <numbers>

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

void Canvas::setColour(const Rgba& c) const {
    cairo_set_source_rgba(cr_, c.r, c.g, c.b, c.a);
}

void Canvas::roundedRect(double x, double y, double w, double h, double radius) const {
    const double r = std::min(radius, std::min(w, h) / 2);
    constexpr double kQuarter = std::numbers::pi / 2;
    cairo_new_sub_path(cr_);
    cairo_arc(cr_, x + w - r, y + r, r, -kQuarter, 0);
    cairo_arc(cr_, x + w - r, y + h - r, r, 0, kQuarter);
    cairo_arc(cr_, x + r, y + h - r, r, kQuarter, 2 * kQuarter);
    cairo_arc(cr_, x + r, y + r, r, 2 * kQuarter, 3 * kQuarter);
    cairo_close_path(cr_);
}

void Canvas::panel(double x, double y, double w, double h, double radius, const Rgba& top,
                   const Rgba& bottom, const Rgba& border, double borderWidth) const {
    // Shadow: a few widening translucent outlines below and right of the panel.
    for (int i = 4; i >= 1; --i) {
        roundedRect(x + 1.5, y + 2.5, w, h, radius + i);
        cairo_set_source_rgba(cr_, 0, 0, 0, 0.05);
        cairo_set_line_width(cr_, i * 2.0);
        cairo_stroke(cr_);
    }
    cairo_pattern_t* body = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgba(body, 0, top.r, top.g, top.b, top.a);
    cairo_pattern_add_color_stop_rgba(body, 1, bottom.r, bottom.g, bottom.b, bottom.a);
    roundedRect(x, y, w, h, radius);
    cairo_set_source(cr_, body);
    cairo_fill_preserve(cr_);
    cairo_pattern_destroy(body);
    setColour(border);
    cairo_set_line_width(cr_, borderWidth);
    cairo_stroke(cr_);
    const double inset = borderWidth + 1.5;
    roundedRect(x + inset, y + inset, w - 2 * inset, h - 2 * inset, std::max(radius - inset, 1.0));
    cairo_set_source_rgba(cr_, palette::kCream.r, palette::kCream.g, palette::kCream.b, 0.35);
    cairo_set_line_width(cr_, 1.0);
    cairo_stroke(cr_);
}

void Canvas::placeText(const std::string& utf8, double x, double cy, double size, const Rgba& fill,
                       const Rgba& outline, bool bold, bool centred) const {
    PangoLayout* layout = pango_cairo_create_layout(cr_);
    PangoFontDescription* font = pango_font_description_new();
    pango_font_description_set_family(font, kLabelFamily);
    pango_font_description_set_absolute_size(font, size * PANGO_SCALE);
    pango_font_description_set_weight(font, bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_layout_set_font_description(layout, font);
    pango_layout_set_text(layout, utf8.c_str(), -1);
    PangoRectangle ink, logical;
    pango_layout_get_pixel_extents(layout, &ink, &logical);
    const double left = centred ? x - logical.width / 2.0 : x;
    const double top = cy - logical.height / 2.0;
    cairo_move_to(cr_, left, top);
    pango_cairo_layout_path(cr_, layout);
    if (outline.a > 0) {
        setColour(outline);
        cairo_set_line_width(cr_, std::max(2.0, size / 7));
        cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke_preserve(cr_);
    }
    setColour(fill);
    cairo_fill(cr_);
    pango_font_description_free(font);
    g_object_unref(layout);
}

void Canvas::text(const std::string& utf8, double cx, double cy, double size, const Rgba& fill,
                  const Rgba& outline, bool bold) const {
    placeText(utf8, cx, cy, size, fill, outline, bold, true);
}

void Canvas::textLeft(const std::string& utf8, double x, double cy, double size, const Rgba& fill,
                      const Rgba& outline, bool bold) const {
    placeText(utf8, x, cy, size, fill, outline, bold, false);
}

void Canvas::heart(double cx, double cy, double size, const Rgba& fill) const {
    const double s = size / 2;
    cairo_new_path(cr_);
    cairo_move_to(cr_, cx, cy + s * 0.9);
    cairo_curve_to(cr_, cx - s * 1.3, cy + s * 0.1, cx - s * 0.9, cy - s * 1.0, cx, cy - s * 0.35);
    cairo_curve_to(cr_, cx + s * 0.9, cy - s * 1.0, cx + s * 1.3, cy + s * 0.1, cx, cy + s * 0.9);
    cairo_close_path(cr_);
    setColour(fill);
    cairo_fill(cr_);
}

void Canvas::star(double cx, double cy, double outer, double inner, const Rgba& fill) const {
    cairo_new_path(cr_);
    for (int i = 0; i < 10; ++i) {
        const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const double r = i % 2 ? inner : outer;
        cairo_line_to(cr_, cx + r * std::cos(angle), cy + r * std::sin(angle));
    }
    cairo_close_path(cr_);
    setColour(fill);
    cairo_fill(cr_);
}

void Canvas::sparkle(double cx, double cy, double size, const Rgba& fill) const {
    // A four-pointed twinkle: two thin diamonds crossed.
    const double s = size / 2, w = size / 9;
    cairo_new_path(cr_);
    cairo_move_to(cr_, cx, cy - s);
    cairo_curve_to(cr_, cx + w, cy - w, cx + w, cy - w, cx + s, cy);
    cairo_curve_to(cr_, cx + w, cy + w, cx + w, cy + w, cx, cy + s);
    cairo_curve_to(cr_, cx - w, cy + w, cx - w, cy + w, cx - s, cy);
    cairo_curve_to(cr_, cx - w, cy - w, cx - w, cy - w, cx, cy - s);
    cairo_close_path(cr_);
    setColour(fill);
    cairo_fill(cr_);
}

PsdWriterLayer Canvas::layer(const std::string& utf8Name, int left, int top,
                             uint8_t opacity) const {
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    std::vector<uint32_t> pixels(static_cast<size_t>(width_) * height_);
    for (int y = 0; y < height_; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < width_; ++x) {
            // Cairo stores premultiplied colour; the layer wants straight colour.
            const uint32_t p = row[x];
            const uint32_t a = p >> 24;
            uint32_t out = 0;
            if (a != 0) {
                auto straight = [a](uint32_t c) {
                    return std::min<uint32_t>(255, (c * 255 + a / 2) / a);
                };
                out = a << 24 | straight(p >> 16 & 0xFF) << 16 | straight(p >> 8 & 0xFF) << 8 |
                      straight(p & 0xFF);
            }
            pixels[static_cast<size_t>(y) * width_ + x] = out;
        }
    }
    return psdLayer(utf8Name, left, top, width_, height_, std::move(pixels), opacity);
}

bool labelFontAvailable(std::string* resolved) {
    PangoFontMap* map = pango_cairo_font_map_get_default();
    PangoContext* context = pango_font_map_create_context(map);
    PangoFontDescription* wanted = pango_font_description_from_string(kLabelFamily);
    PangoFont* font = pango_font_map_load_font(map, context, wanted);
    bool ok = false;
    if (font) {
        PangoFontDescription* got = pango_font_describe(font);
        *resolved = pango_font_description_get_family(got);
        ok = *resolved == kLabelFamily;
        pango_font_description_free(got);
        g_object_unref(font);
    }
    pango_font_description_free(wanted);
    g_object_unref(context);
    return ok;
}
