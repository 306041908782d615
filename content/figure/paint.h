// Textures painted with cairo for the figure, the wardrobe and the stages.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/writers/tmb_writer.h"

struct Rgb {
    double r, g, b;
};
Rgb mix(Rgb a, Rgb b, double t);
void setColour(cairo_t* cr, Rgb c, double alpha = 1.0);

// Straight-alpha 0xAARRGGBB pixels of a width x height picture drawn by `draw`.
std::vector<uint32_t> paintPixels(int width, int height, const std::function<void(cairo_t*)>& draw);
TmbTexture paintTexture(const std::string& name, int width, int height,
                        const std::function<void(cairo_t*)>& draw);
TmbTexture solidTexture(const std::string& name, Rgb colour);

// Fabric patterns on a square tile that repeats.
enum class Pattern { Plain, Dots, Stripes, Gingham, Pleats, Denim, Knit };
TmbTexture fabricTexture(const std::string& name, Rgb base, Rgb accent, Pattern pattern);
// Hair: a base colour with streaks and the glossy ring near the top.
TmbTexture hairTexture(const std::string& name, Rgb base);
// The face: brows, nose, mouth and blush on skin, laid out for the front projection of the head.
TmbTexture faceTexture(const std::string& name, Rgb skin, Rgb brows, double blush, bool freckles);
// Both eyes on a transparent sheet for the eye part.
TmbTexture eyeTexture(const std::string& name, Rgb iris);
