// Layered images built from PSD layers in memory, and one drawn frame of the widget list.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "game/widget.h"
#include "gfx/layered_image.h"
#include "tests/support/headless_device.h"
#include "tools/writers/psd_writer.h"

// A layer of one colour.
inline PsdWriterLayer solidLayer(std::string name, int left, int top, int width, int height,
                                 uint32_t argb, uint8_t opacity = 255) {
    return psdLayer(std::move(name), left, top, width, height,
                    std::vector<uint32_t>(size_t(width) * height, argb), opacity);
}

inline std::unique_ptr<LayeredImage> layeredImage(RenderDevice* device,
                                                  std::vector<PsdWriterLayer> layers) {
    PsdDocument document;
    document.layers = std::move(layers);
    const std::vector<uint8_t> psd = writePsd(document);
    return std::make_unique<LayeredImage>(device, psd.data(), psd.size());
}

constexpr D3DCOLOR kBackground = 0xFF000000;

// Clears to black, draws every widget in one sprite batch and reads the back buffer.
inline void drawFrame(HeadlessDevice& d) {
    d.graphics->beginFrame(kBackground);
    d.graphics->sprite()->Begin();
    drawAllWidgets();
    d.graphics->sprite()->End();
    d.readBack();
}

inline uint32_t rgbAt(HeadlessDevice& d, int x, int y) {
    return d.pixel(x, y) & 0xFFFFFF;
}

// A CP932 string of the same double-byte character repeated.
inline std::string repeated(uint16_t code, int count) {
    std::string s;
    for (int i = 0; i < count; ++i) s += {char(code >> 8), char(code & 0xFF)};
    return s;
}

// Each of red, green and blue within `tolerance` of the expected value.
inline ::testing::AssertionResult near(uint32_t got, uint32_t expected, int tolerance) {
    for (int shift : {0, 8, 16})
        if (std::abs(int((got >> shift) & 0xFF) - int((expected >> shift) & 0xFF)) > tolerance)
            return ::testing::AssertionFailure() << std::hex << got << " vs " << expected;
    return ::testing::AssertionSuccess();
}
