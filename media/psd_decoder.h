// PSD layers: the layer count of a document and one layer decoded to 32-bit ARGB pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "archive/byte_cursor.h"

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

// What decoding one layer needs from its record.
struct PsdLayerRecord {
    int32_t top = 0, left = 0, bottom = 0, right = 0;
    size_t channelInfo = 0;  // offset of the N x 6 bytes of channel info
    uint32_t channelCount = 0;
    uint32_t opacity = 0;
    size_t nameAt = 0;
    size_t nameLength = 0;
    uint64_t channelData = 0;  // offset of its first channel's data (may lie past the end)
};

// A document's layer records, walked once, so that decoding every layer in turn costs no more
// than the file's size. The bytes must outlive it.
class PsdLayers {
public:
    PsdLayers(const uint8_t* data, size_t size);
    // As countPsdLayers.
    int count() const { return count_; }
    // As readPsdLayer.
    PsdLayer* read(int index) const;

private:
    friend class PsdLayerRows;
    const uint8_t* data_;
    size_t size_;
    int count_ = -1;
    std::vector<PsdLayerRecord> records_;
};

// One layer decoded a row at a time, top row first, so that a caller that writes rows out as
// they come never holds the whole layer: the same pixels as PsdLayers::read gives, row by row.
// The document must outlive it.
class PsdLayerRows {
public:
    PsdLayerRows(const PsdLayers& document, int index);
    // False where PsdLayers::read would give null.
    bool ok() const { return ok_; }
    // The layer's fields; its pixels are null.
    const PsdLayer& layer() const { return layer_; }
    // Decodes the next row into `row`, which holds the layer's width in pixels.
    void next(uint32_t* row);
    // Moves past `rows` rows without storing them (a reader that starts further down).
    void skip(int32_t rows);

private:
    struct Channel {
        ByteCursor cursor{nullptr, 0};
        const uint8_t* rowCounts = nullptr;  // RLE: the 2-byte byte counts of the rows
        int offset = -1;                     // the component's byte in a pixel, -1 for none
        uint32_t compression = 0;
        bool ended = false;  // its bytes ran out: its later rows are left as they are
    };
    bool decodeRow(Channel* channel, uint8_t* row) const;

    bool ok_ = false;
    PsdLayer layer_{};
    Channel channels_[4];
    int channelCount_ = 0;
    int32_t row_ = 0;
};

// The number of layers (>= 0), or -1 for a document that is not an 8-bit RGB PSD, that has
// no layer section, or whose layer records do not fit in `size` bytes.
int countPsdLayers(const uint8_t* data, size_t size);

// Layer `index` (0-based, in file order) as a new PsdLayer released with freePsdLayer, or
// null when the document is refused as by countPsdLayers, `index` is not below the count, the
// layer's rectangle is larger than the limits above, or its pixels are not backed by its
// channels' bytes: each colour or alpha channel among the (at most four) decoded ones must hold
// width x height bytes when raw, or two bytes per 129 pixels of every row when RLE, and a non-empty
// layer needs at least one such channel. So a layer never costs more than about 260 bytes of memory
// per byte of the file.
PsdLayer* readPsdLayer(const uint8_t* data, size_t size, int index);

// Releases a layer and its pixels; null is fine.
void freePsdLayer(PsdLayer* layer);
