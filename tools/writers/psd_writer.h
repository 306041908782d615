// Layered 8-bit RGB PSD documents: named layers with rectangles, opacity, raw or RLE channels.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// One channel exactly as stored: its id and its bytes from the compression field on.
struct PsdChannel {
    int16_t id = 0;
    std::vector<uint8_t> data;
};

struct PsdWriterLayer {
    std::string name;  // CP932 bytes, at most 255
    int32_t top = 0, left = 0, bottom = 0, right = 0;
    uint8_t opacity = 255;
    // Pixels 0xAARRGGBB, (right - left) x (bottom - top), rows from the top; encoded into
    // channels when `channels` is empty.
    std::vector<uint32_t> pixels;
    bool alpha = true;  // write channel -1 with the pixels' alpha
    bool rle = true;    // RLE (PackBits) or raw channels
    // Given channels are written as they are (for documents a test builds by hand).
    std::vector<PsdChannel> channels;
};

struct PsdDocument {
    int32_t width = 800, height = 600;
    std::vector<PsdWriterLayer> layers;
    // Stores the layer count negated, as writers do when the merged image has transparency.
    bool negativeCount = false;
};

// A layer of `width` x `height` at (left, top).
PsdWriterLayer psdLayer(std::string name, int32_t left, int32_t top, int32_t width, int32_t height,
                        std::vector<uint32_t> pixels, uint8_t opacity = 255);

// A channel's stored bytes from its width x height component bytes (rows from the top):
// compression 0 and the bytes, or compression 1, the row byte counts and PackBits rows.
std::vector<uint8_t> psdRawChannel(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> psdRleChannel(const std::vector<uint8_t>& bytes, int32_t width,
                                   int32_t height);

// The document's bytes: header, empty colour mode data and resources, the layer section and
// a blank merged image.
std::vector<uint8_t> writePsd(const PsdDocument& document);
bool writePsdFile(const std::filesystem::path& path, const PsdDocument& document,
                  std::string* error = nullptr);
