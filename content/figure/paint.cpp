// Procedural painting with cairo; pixels are turned from premultiplied to straight alpha.
#include "content/figure/paint.h"

#include <cmath>
#include <random>

Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
void setColour(cairo_t* cr, Rgb c, double alpha) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

std::vector<uint32_t> paintPixels(int width, int height,
                                  const std::function<void(cairo_t*)>& draw) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    draw(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    std::vector<uint32_t> argb(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t p = *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4);
            const uint32_t a = p >> 24;
            uint32_t r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
            if (a > 0 && a < 255) {
                r = std::min(255u, r * 255 / a);
                g = std::min(255u, g * 255 / a);
                b = std::min(255u, b * 255 / a);
            }
            argb[static_cast<size_t>(y) * width + x] = a << 24 | r << 16 | g << 8 | b;
        }
    cairo_surface_destroy(surface);
    return argb;
}

TmbTexture paintTexture(const std::string& name, int width, int height,
                        const std::function<void(cairo_t*)>& draw) {
    TmbTexture t;
    t.name = name;
    t.width = width;
    t.height = height;
    t.argb = paintPixels(width, height, draw);
    return t;
}

TmbTexture solidTexture(const std::string& name, Rgb colour) {
    return paintTexture(name, 8, 8, [&](cairo_t* cr) {
        setColour(cr, colour);
        cairo_paint(cr);
    });
}

TmbTexture fabricTexture(const std::string& name, Rgb base, Rgb accent, Pattern pattern) {
    const int size = 128;
    return paintTexture(name, size, size, [&](cairo_t* cr) {
        setColour(cr, base);
        cairo_paint(cr);
        switch (pattern) {
            case Pattern::Plain:
                break;
            case Pattern::Dots:
                setColour(cr, accent);
                for (int row = 0; row < 4; ++row)
                    for (int col = 0; col < 4; ++col) {
                        const double x = col * 32 + (row % 2) * 16 + 8, y = row * 32 + 16;
                        cairo_arc(cr, x, y, 4.5, 0, 2 * M_PI);
                        cairo_fill(cr);
                    }
                break;
            case Pattern::Stripes:
                setColour(cr, accent);
                for (int i = 0; i < 4; ++i) {
                    cairo_rectangle(cr, 0, i * 32, size, 14);
                    cairo_fill(cr);
                }
                break;
            case Pattern::Gingham:
                setColour(cr, accent, 0.45);
                for (int i = 0; i < 4; ++i) {
                    cairo_rectangle(cr, i * 32, 0, 16, size);
                    cairo_fill(cr);
                    cairo_rectangle(cr, 0, i * 32, size, 16);
                    cairo_fill(cr);
                }
                break;
            case Pattern::Pleats:
                for (int i = 0; i < 8; ++i) {
                    cairo_pattern_t* g = cairo_pattern_create_linear(i * 16, 0, i * 16 + 16, 0);
                    cairo_pattern_add_color_stop_rgba(g, 0, 1, 1, 1, 0.12);
                    cairo_pattern_add_color_stop_rgba(g, 0.8, 0, 0, 0, 0.10);
                    cairo_pattern_add_color_stop_rgba(g, 1, 0, 0, 0, 0.25);
                    cairo_set_source(cr, g);
                    cairo_rectangle(cr, i * 16, 0, 16, size);
                    cairo_fill(cr);
                    cairo_pattern_destroy(g);
                }
                setColour(cr, accent);
                cairo_rectangle(cr, 0, 112, size, 5);
                cairo_fill(cr);
                break;
            case Pattern::Denim: {
                std::mt19937 rng(7);
                std::uniform_real_distribution<double> u(0, 1);
                for (int i = 0; i < 900; ++i) {
                    setColour(cr, u(rng) < 0.5 ? accent : mix(base, Rgb{0, 0, 0}, 0.25), 0.35);
                    const double x = u(rng) * size, y = u(rng) * size;
                    cairo_move_to(cr, x, y);
                    cairo_line_to(cr, x + 3, y + 3);
                    cairo_set_line_width(cr, 1);
                    cairo_stroke(cr);
                }
                break;
            }
            case Pattern::Knit:
                setColour(cr, accent, 0.5);
                cairo_set_line_width(cr, 2);
                for (int col = 0; col < 16; ++col)
                    for (int row = 0; row < 16; ++row) {
                        const double x = col * 8, y = row * 8;
                        cairo_move_to(cr, x + 1, y + 1);
                        cairo_line_to(cr, x + 4, y + 7);
                        cairo_line_to(cr, x + 7, y + 1);
                        cairo_stroke(cr);
                    }
                break;
        }
    });
}

TmbTexture hairTexture(const std::string& name, Rgb base) {
    return paintTexture(name, 64, 128, [&](cairo_t* cr) {
        cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, 128);
        const Rgb light = mix(base, Rgb{1, 1, 1}, 0.45), dark = mix(base, Rgb{0, 0, 0}, 0.25);
        cairo_pattern_add_color_stop_rgb(g, 0, base.r, base.g, base.b);
        cairo_pattern_add_color_stop_rgb(g, 0.16, base.r, base.g, base.b);
        cairo_pattern_add_color_stop_rgb(g, 0.22, light.r, light.g, light.b);
        cairo_pattern_add_color_stop_rgb(g, 0.28, base.r, base.g, base.b);
        cairo_pattern_add_color_stop_rgb(g, 1, dark.r, dark.g, dark.b);
        cairo_set_source(cr, g);
        cairo_paint(cr);
        cairo_pattern_destroy(g);
        std::mt19937 rng(11);
        std::uniform_real_distribution<double> u(0, 1);
        cairo_set_line_width(cr, 1.2);
        for (int i = 0; i < 40; ++i) {
            setColour(cr, u(rng) < 0.5 ? dark : light, 0.35);
            const double x = u(rng) * 64;
            cairo_move_to(cr, x, 0);
            cairo_curve_to(cr, x + 2, 40, x - 2, 80, x + 1, 128);
            cairo_stroke(cr);
        }
    });
}

// The face sheet spans x -1.1..1.1 and y 14.3..12.1 of the head: 116.36 pixels per unit.
namespace {
constexpr double kFaceScale = 256 / 2.2;
double faceX(double x) {
    return (x + 1.1) * kFaceScale;
}
double faceY(double y) {
    return (14.3 - y) * kFaceScale;
}
}  // namespace

TmbTexture faceTexture(const std::string& name, Rgb skin, Rgb brows, double blush, bool freckles) {
    return paintTexture(name, 256, 256, [&](cairo_t* cr) {
        setColour(cr, skin);
        cairo_paint(cr);
        // Blush.
        for (int side : {-1, 1}) {
            const double cx = faceX(side * 0.55), cy = faceY(12.98);
            cairo_pattern_t* g = cairo_pattern_create_radial(cx, cy, 0, cx, cy, 22);
            cairo_pattern_add_color_stop_rgba(g, 0, 1.0, 0.45, 0.5, blush);
            cairo_pattern_add_color_stop_rgba(g, 1, 1.0, 0.45, 0.5, 0);
            cairo_set_source(cr, g);
            cairo_save(cr);
            cairo_translate(cr, cx, cy);
            cairo_scale(cr, 1.0, 0.6);
            cairo_translate(cr, -cx, -cy);
            cairo_arc(cr, cx, cy, 22, 0, 2 * M_PI);
            cairo_fill(cr);
            cairo_restore(cr);
            cairo_pattern_destroy(g);
            if (freckles) {
                setColour(cr, mix(skin, Rgb{0.45, 0.25, 0.15}, 0.5), 0.8);
                for (int k = 0; k < 3; ++k) {
                    cairo_arc(cr, cx + (k - 1) * 6 * side, cy - 3 + (k % 2) * 5, 1.3, 0, 2 * M_PI);
                    cairo_fill(cr);
                }
            }
        }
        // Brows.
        setColour(cr, brows);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_width(cr, 3.2);
        for (int side : {-1, 1}) {
            cairo_move_to(cr, faceX(side * 0.2), faceY(13.76));
            cairo_curve_to(cr, faceX(side * 0.3), faceY(13.84), faceX(side * 0.5), faceY(13.85),
                           faceX(side * 0.62), faceY(13.78));
            cairo_stroke(cr);
        }
        // Nose: a small shade.
        setColour(cr, mix(skin, Rgb{0.6, 0.3, 0.25}, 0.5), 0.9);
        cairo_set_line_width(cr, 1.8);
        cairo_move_to(cr, faceX(0.02), faceY(12.92));
        cairo_line_to(cr, faceX(-0.03), faceY(12.86));
        cairo_stroke(cr);
        // Mouth: a small smile with a hint of open mouth.
        setColour(cr, Rgb{0.75, 0.3, 0.32});
        cairo_move_to(cr, faceX(-0.16), faceY(12.62));
        cairo_curve_to(cr, faceX(-0.06), faceY(12.52), faceX(0.06), faceY(12.52), faceX(0.16),
                       faceY(12.62));
        cairo_curve_to(cr, faceX(0.06), faceY(12.57), faceX(-0.06), faceY(12.57), faceX(-0.16),
                       faceY(12.62));
        cairo_fill(cr);
        setColour(cr, Rgb{0.45, 0.18, 0.2});
        cairo_set_line_width(cr, 1.6);
        cairo_move_to(cr, faceX(-0.17), faceY(12.63));
        cairo_curve_to(cr, faceX(-0.06), faceY(12.56), faceX(0.06), faceY(12.56), faceX(0.17),
                       faceY(12.63));
        cairo_stroke(cr);
    });
}

// The eye sheet spans x -0.8..0.8 and y 13.8..13.0: 160 pixels per unit.
TmbTexture eyeTexture(const std::string& name, Rgb iris) {
    return paintTexture(name, 256, 128, [&](cairo_t* cr) {
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_paint(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        for (int side : {-1, 1}) {
            const double cx = (side * 0.38 + 0.8) * 160, cy = (13.8 - 13.36) * 160;
            const double w = 26, h = 34;
            // White of the eye.
            cairo_save(cr);
            cairo_translate(cr, cx, cy);
            cairo_scale(cr, w, h);
            cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
            cairo_restore(cr);
            setColour(cr, Rgb{0.98, 0.97, 0.97});
            cairo_fill(cr);
            // Iris with a darker top.
            const double ir = 20;
            cairo_pattern_t* g = cairo_pattern_create_linear(cx, cy - 30, cx, cy + 30);
            const Rgb top = mix(iris, Rgb{0, 0, 0}, 0.55), bottom = mix(iris, Rgb{1, 1, 1}, 0.3);
            cairo_pattern_add_color_stop_rgb(g, 0, top.r, top.g, top.b);
            cairo_pattern_add_color_stop_rgb(g, 0.55, iris.r, iris.g, iris.b);
            cairo_pattern_add_color_stop_rgb(g, 1, bottom.r, bottom.g, bottom.b);
            cairo_save(cr);
            cairo_translate(cr, cx - side * 1.5, cy + 3);
            cairo_scale(cr, ir, 29);
            cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
            cairo_restore(cr);
            cairo_set_source(cr, g);
            cairo_fill(cr);
            cairo_pattern_destroy(g);
            // Pupil.
            setColour(cr, mix(iris, Rgb{0, 0, 0}, 0.8));
            cairo_save(cr);
            cairo_translate(cr, cx - side * 1.5, cy + 4);
            cairo_scale(cr, 8, 13);
            cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
            cairo_restore(cr);
            cairo_fill(cr);
            // Highlights.
            setColour(cr, Rgb{1, 1, 1});
            cairo_arc(cr, cx - side * 8 + 4, cy - 9, 6, 0, 2 * M_PI);
            cairo_fill(cr);
            cairo_arc(cr, cx + side * 6, cy + 14, 3, 0, 2 * M_PI);
            cairo_fill(cr);
            // Upper lash line, thick, with a flick at the outer corner.
            setColour(cr, Rgb{0.12, 0.07, 0.07});
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            cairo_set_line_width(cr, 5.5);
            cairo_move_to(cr, cx - side * 28, cy - 18);
            cairo_curve_to(cr, cx - side * 16, cy - 36, cx + side * 14, cy - 38, cx + side * 30,
                           cy - 22);
            cairo_line_to(cr, cx + side * 36, cy - 27);
            cairo_stroke(cr);
            // Lower lid line, thin.
            cairo_set_line_width(cr, 1.5);
            setColour(cr, Rgb{0.45, 0.25, 0.22}, 0.8);
            cairo_move_to(cr, cx - side * 14, cy + 33);
            cairo_curve_to(cr, cx - side * 4, cy + 36, cx + side * 8, cy + 36, cx + side * 16,
                           cy + 31);
            cairo_stroke(cr);
        }
    });
}
