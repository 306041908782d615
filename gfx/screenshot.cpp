// Screenshots: 24-bit BMP files of the back buffer.
//
// BMP layout (little-endian): "BM", file size, 0, pixel offset 54; header size 40, width,
// height (positive: bottom-up rows), planes 1, 24 bits, no compression, then zeros; rows of
// blue, green, red padded with zeros to a multiple of 4 bytes, the image's bottom row first.
#include "gfx/screenshot.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "gfx/graphics_device.h"

namespace {
bool haveStamp = false;
std::time_t stamp = 0;
int counter = 0;
std::time_t stampOverride = 0;
char nameBuffer[64];

void put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
}
void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}
}  // namespace

const char* nextScreenshotName() {
    if (!haveStamp) {
        stamp = stampOverride ? stampOverride : std::time(nullptr);
        haveStamp = true;
    }
    std::snprintf(nameBuffer, sizeof nameBuffer, "screenshot/%8X_%04d.bmp",
                  static_cast<unsigned>(stamp), counter);
    ++counter;
    return nameBuffer;
}

void resetScreenshotNames(std::time_t now) {
    haveStamp = false;
    counter = 0;
    stampOverride = now;
}

std::vector<uint8_t> encodeScreenshot(const BackBufferImage& image) {
    if (image.format != D3DFMT_A8R8G8B8 && image.format != D3DFMT_X8R8G8B8) return {};
    if (image.width <= 0 || image.height <= 0) return {};
    const size_t rowSize = (static_cast<size_t>(image.width) * 3 + 3) & ~size_t{3};
    std::vector<uint8_t> file(54 + rowSize * image.height, 0);
    file[0] = 'B';
    file[1] = 'M';
    put32(file, 2, static_cast<uint32_t>(file.size()));
    put32(file, 10, 54);
    put32(file, 14, 40);
    put32(file, 18, static_cast<uint32_t>(image.width));
    put32(file, 22, static_cast<uint32_t>(image.height));
    put16(file, 26, 1);
    put16(file, 28, 24);
    for (int row = 0; row < image.height; ++row) {
        const uint8_t* source = image.bytes.data() + static_cast<size_t>(row) * image.pitch;
        uint8_t* target = file.data() + 54 + rowSize * (image.height - 1 - row);
        for (int x = 0; x < image.width; ++x) {
            target[x * 3 + 0] = source[x * 4 + 0];
            target[x * 3 + 1] = source[x * 4 + 1];
            target[x * 3 + 2] = source[x * 4 + 2];
        }
    }
    return file;
}

void GraphicsDevice::takeScreenshot() {
    if (!device_) return;
    BackBufferImage image;
    if (FAILED(device_->readBackBuffer(&image))) return;
    const std::vector<uint8_t> file = encodeScreenshot(image);
    if (file.empty()) return;
    std::error_code ignored;
    std::filesystem::create_directory("screenshot", ignored);
    FILE* out = std::fopen(nextScreenshotName(), "wb");
    if (!out) return;
    std::fwrite(file.data(), 1, file.size(), out);
    std::fclose(out);
}
