// PSD layers: the layer count of a document and one layer decoded to 32-bit ARGB pixels.
#pragma once

#include <cstddef>
#include <cstdint>

struct PsdLayer {
    int32_t width;     // right - left
    int32_t height;    // bottom - top
    int32_t left;      // x on the canvas
    int32_t top;       // y on the canvas
    uint32_t opacity;  // 0..255
    // width x height values 0xAARRGGBB, rows from the top; null when the layer is empty.
    uint32_t* pixels;
    char name[32];  // at most 31 bytes of the layer name, NUL-terminated
};

// The largest layer side decoded; a layer beyond it could not become a texture anyway.
constexpr int32_t kMaxPsdLayerSide = 16384;
// The largest layer area decoded (256 MiB of pixels).
constexpr int64_t kMaxPsdLayerPixels = int64_t{1} << 26;

// The number of layers (>= 0), or -1 for a document that is not an 8-bit RGB PSD, that has
// no layer section, or whose layer records do not fit in `size` bytes.
int countPsdLayers(const uint8_t* data, size_t size);

// Layer `index` (0-based, in file order) as a new PsdLayer released with freePsdLayer, or
// null when the document is refused as by countPsdLayers, `index` is not below the count, or
// the layer's rectangle is larger than the limits above.
PsdLayer* readPsdLayer(const uint8_t* data, size_t size, int index);

// Releases a layer and its pixels; null is fine.
void freePsdLayer(PsdLayer* layer);
