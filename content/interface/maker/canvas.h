// A cairo surface with the house drawing style (rounded panels, soft shadows, pango text) that
// becomes one PSD layer.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>

#include "tools/writers/psd_writer.h"

// An RGB colour with alpha, components 0..1.
struct Rgba {
    double r, g, b, a = 1.0;
};

// The palette every picture of the interface is drawn from.
namespace palette {
constexpr Rgba kPlum{0.20, 0.12, 0.24, 0.82};      // translucent panel body
constexpr Rgba kPlumDeep{0.13, 0.07, 0.17, 0.90};  // panel body, lower end of the gradient
constexpr Rgba kRose{0.96, 0.56, 0.69};            // borders, highlights
constexpr Rgba kRoseDeep{0.85, 0.34, 0.50};        // pressed states
constexpr Rgba kBlush{1.00, 0.84, 0.89};           // light fills
constexpr Rgba kCream{1.00, 0.97, 0.98};           // text on dark, inner rims
constexpr Rgba kLavender{0.70, 0.62, 0.86};        // second accent
constexpr Rgba kMint{0.55, 0.85, 0.80};            // third accent (the player's gauge)
constexpr Rgba kInk{0.35, 0.20, 0.30};             // text on light
}  // namespace palette

class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_; }
    int width() const { return width_; }
    int height() const { return height_; }

    void setColour(const Rgba& c) const;
    void roundedRect(double x, double y, double w, double h, double radius) const;
    // A rounded panel: soft shadow, vertical gradient body, rose border and a cream inner rim.
    void panel(double x, double y, double w, double h, double radius, const Rgba& top,
               const Rgba& bottom, const Rgba& border, double borderWidth = 2.5) const;
    // Text in IPA P Gothic at `size` pixels, centred on (cx, cy), with an outline when
    // `outline` has alpha.
    void text(const std::string& utf8, double cx, double cy, double size, const Rgba& fill,
              const Rgba& outline = {0, 0, 0, 0}, bool bold = false) const;
    // Text whose left edge is at x and whose vertical centre is at cy.
    void textLeft(const std::string& utf8, double x, double cy, double size, const Rgba& fill,
                  const Rgba& outline = {0, 0, 0, 0}, bool bold = false) const;
    void heart(double cx, double cy, double size, const Rgba& fill) const;
    void star(double cx, double cy, double outer, double inner, const Rgba& fill) const;
    void sparkle(double cx, double cy, double size, const Rgba& fill) const;

    // The surface as a layer at (left, top) of the document, pixels unpremultiplied.
    PsdWriterLayer layer(const std::string& utf8Name, int left, int top,
                         uint8_t opacity = 255) const;

private:
    void placeText(const std::string& utf8, double x, double cy, double size, const Rgba& fill,
                   const Rgba& outline, bool bold, bool centred) const;

    int width_, height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// The family every label uses; the art refuses to build when fontconfig resolves it to another
// font, so a missing font cannot silently change the pictures.
constexpr const char* kLabelFamily = "IPAPGothic";
bool labelFontAvailable(std::string* resolved);
