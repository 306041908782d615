// A real render device on a hidden offscreen window, for tests that draw and read pixels back.
#pragma once

#include <memory>
#include <vector>
#include <string>

#include "gfx/graphics_device.h"
#include "platform/window.h"

struct HeadlessDevice {
    // Creates a windowed device of the given back-buffer size; check ok() before use. The
    // device loads the test font (test_font.h) from "add-ons/headless_font.tr2", which this
    // writes into the current folder before it rebuilds the catalogue.
    HeadlessDevice(int width = 800, int height = 600);
    ~HeadlessDevice();

    bool ok() const { return graphics && graphics->device(); }
    RenderDevice* device() const { return graphics->device(); }
    // The back buffer as 0xAARRGGBB values, top row first.
    uint32_t pixel(int x, int y);
    void readBack();

    std::unique_ptr<Window> window;
    std::unique_ptr<GraphicsDevice> graphics;
    BackBufferImage image;
};

// While it lives, devices created draw every sprite from its own texture: the plain path that
// the device's sprite batching must match pixel for pixel.
struct PlainSprites {
    PlainSprites();
    ~PlainSprites();
};

// The first pixel where two copies of a 32-bit back buffer differ, as "(x, y): a vs b", or "" when the
// copies are the same.
std::string firstDifference(const BackBufferImage& a, const BackBufferImage& b);

// A texture's texels, top row first, read through a read-only lock.
std::vector<uint32_t> textureTexels(Texture& texture);

// Fills a new texture of the device with one colour.
std::unique_ptr<Texture> solidTexture(RenderDevice* device, int width, int height, uint32_t argb);
