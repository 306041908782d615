// PSD decoder: layer records and their raw or RLE channels, read in place.
//
// Layout (big-endian):
//   0  "8BPS"   4  version 1   6  reserved(6)   12 channels(2)   14 height(4)   18 width(4)
//   22 depth 8  24 mode 3 (RGB)
//   26 colour mode data length Lc, Lc bytes;  image resources length Lr, Lr bytes
//   layer and mask section length (0: no layers);  layer info length (not used: the count
//   follows it whatever it says);  layer count (signed 16; its absolute value counts), then the
//   layer records:
//     top, left, bottom, right (signed 32 each); channel count N (16);
//     N x { channel id (signed 16: 0 R, 1 G, 2 B, -1 A, others masks), data length (32) };
//     blend signature (4), blend key (4), opacity (1), clipping (1), flags (1), filler (1);
//     extra data length X (32), then X bytes: mask data length K + K bytes,
//     blending ranges length B + B bytes, name length n (1) + n bytes, further info.
//   After the last record, the channel data of every layer, channel by channel in record
//   order: compression (16: 0 raw, otherwise RLE) then for RLE 2 x height bytes of row byte
//   counts and PackBits rows (h < 0x80: h + 1 literal bytes; h >= 0x80: the next byte
//   257 - h times; a row ends at its width-th pixel, or at its counted length when that is
//   further on), for raw width x height bytes.
#include "media/psd_decoder.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>

#include "archive/byte_cursor.h"

namespace {
// The header checks and the walk over all records. False for a refused document; otherwise
// `records` holds every layer's record (each one whole inside the file, so their number is
// bounded by the file's size).
bool walkDocument(const uint8_t* data, size_t size, std::vector<PsdLayerRecord>* records) {
    if (!data) return false;
    ByteCursor c(data, size, ByteOrder::big);
    if (!c.has(26) || std::memcmp(data, "8BPS", 4) != 0) return false;
    c.skip(4);
    if (c.u16() != 1) return false;
    c.skip(6 + 2 + 4 + 4);
    if (c.u16() != 8 || c.u16() != 3) return false;
    c.skip(c.u32());  // colour mode data
    c.skip(c.u32());  // image resources
    const uint32_t sectionLength = c.u32();
    if (!c.ok() || sectionLength == 0) return false;
    c.u32();  // the layer info length: the count follows it whatever it says
    const int32_t field = c.i16();
    if (!c.ok()) return false;
    const int layers = field < 0 ? -field : field;

    uint64_t channelData = 0;  // channel data of the layers so far, from the records' end
    for (int i = 0; i < layers; ++i) {
        PsdLayerRecord r;
        r.top = c.i32();
        r.left = c.i32();
        r.bottom = c.i32();
        r.right = c.i32();
        r.channelCount = c.u16();
        r.channelInfo = c.at();
        r.channelData = channelData;
        if (!c.skipItems(r.channelCount, 6)) return false;
        ByteCursor info(data, size, ByteOrder::big);
        info.seek(r.channelInfo);
        for (uint32_t k = 0; k < r.channelCount; ++k) {
            info.skip(2);
            channelData += info.u32();
        }
        c.skip(8);  // blend signature and key
        r.opacity = c.u8();
        c.skip(3);  // clipping, flags, filler
        const uint32_t extraLength = c.u32();
        if (!c.has(extraLength)) return false;
        // The mask data, the blending ranges and the name lie inside the extra data.
        ByteCursor extra = c.window(extraLength);
        extra.skip(extra.u32());
        extra.skip(extra.u32());
        const uint32_t nameLength = extra.u8();
        if (extra.ok()) {
            r.nameAt = extra.at();
            r.nameLength = extra.has(nameLength) ? nameLength : extra.remaining();
        }
        c.skip(extraLength);
        records->push_back(r);
    }
    if (!c.ok()) return false;
    for (PsdLayerRecord& r : *records) r.channelData += c.at();
    return true;
}

// Where channel `id`'s byte goes inside a 32-bit 0xAARRGGBB pixel in memory, or -1.
int componentOffset(int id) {
    int shift;
    switch (id) {
        case 0:
            shift = 16;
            break;
        case 1:
            shift = 8;
            break;
        case 2:
            shift = 0;
            break;
        case -1:
            shift = 24;
            break;
        default:
            return -1;
    }
    return std::endian::native == std::endian::little ? shift / 8 : 3 - shift / 8;
}

// The bytes a channel needs at least for width x height pixels: raw, one per pixel; RLE, the
// row counts and a 2-byte run for every 129 pixels of each row (runs end at the row's end).
uint64_t leastChannelBytes(uint32_t compression, int64_t width, int64_t height) {
    if (compression == 0) return 2 + uint64_t(width * height);
    return 2 + uint64_t(height) * (2 + 2 * uint64_t((width + 128) / 129));
}

// Whether every colour and alpha channel that is decoded holds the bytes its pixels need
// (each channel's bytes end at its stated length or at the end of the file), and at least
// one does.
bool pixelsAreBacked(const uint8_t* data, size_t size, const PsdLayerRecord& r, int64_t width,
                     int64_t height) {
    ByteCursor info(data, size, ByteOrder::big);
    info.seek(r.channelInfo);
    uint64_t at = r.channelData;
    bool any = false;
    for (uint32_t k = 0; k < r.channelCount && k < 4; ++k) {
        const int id = info.i16();
        const uint32_t length = info.u32();
        if (componentOffset(id) >= 0) {
            const uint64_t inFile = at < size ? size - at : 0;
            const uint64_t bytes = length < inFile ? length : inFile;
            ByteCursor channel(data, size, ByteOrder::big);
            channel.seek(at);
            const uint32_t compression = channel.u16();
            if (bytes < 2) return false;
            if (bytes < leastChannelBytes(compression, width, height)) return false;
            any = true;
        }
        at += length;
    }
    return any;
}

// The layer's fields from its record, pixels null, or false when its rectangle is beyond the
// limits or its pixels are not backed by its channels' bytes.
bool layerFields(const uint8_t* data, size_t size, const PsdLayerRecord& r, PsdLayer* layer) {
    // An inverted rectangle is empty; one beyond the limits is refused.
    int64_t width = int64_t{r.right} - r.left;
    int64_t height = int64_t{r.bottom} - r.top;
    if (width <= 0 || height <= 0) width = height = 0;
    if (width > kMaxPsdLayerSide || height > kMaxPsdLayerSide ||
        width * height > kMaxPsdLayerPixels)
        return false;
    if (width > 0 && !pixelsAreBacked(data, size, r, width, height)) return false;
    *layer = PsdLayer{};
    layer->width = static_cast<int32_t>(width);
    layer->height = static_cast<int32_t>(height);
    layer->left = r.left;
    layer->top = r.top;
    layer->opacity = r.opacity;
    const size_t nameLength = r.nameLength < 31 ? r.nameLength : 31;
    if (nameLength) std::memcpy(layer->name, data + r.nameAt, nameLength);
    layer->name[nameLength] = 0;
    return true;
}
}  // namespace

PsdLayerRows::PsdLayerRows(const PsdLayers& document, int index) {
    if (index < 0 || index >= document.count_) return;
    const uint8_t* data = document.data_;
    const size_t size = document.size_;
    const PsdLayerRecord& r = document.records_[static_cast<size_t>(index)];
    if (!layerFields(data, size, r, &layer_)) return;
    ok_ = true;
    if (layer_.width == 0) return;
    uint64_t at = r.channelData;
    ByteCursor info(data, size, ByteOrder::big);
    info.seek(r.channelInfo);
    const uint32_t decoded = r.channelCount < 4 ? r.channelCount : 4;
    for (uint32_t k = 0; k < decoded; ++k) {
        const int id = info.i16();
        const uint32_t length = info.u32();
        if (at < size) {
            // Each channel's bytes end at its stated length or at the end of the file.
            const uint64_t end = at + length < size ? at + length : size;
            Channel& channel = channels_[channelCount_++];
            channel.cursor = ByteCursor(data, static_cast<size_t>(end), ByteOrder::big);
            channel.cursor.seek(at);
            channel.offset = componentOffset(id);
            channel.compression = channel.cursor.u16();
            channel.rowCounts = data + channel.cursor.at();
            if (channel.compression != 0)
                channel.cursor.skipItems(static_cast<uint32_t>(layer_.height), 2);
            channel.ended = !channel.cursor.ok();
        }
        at += length;
    }
}

void PsdLayerRows::next(uint32_t* pixels) {
    // A component without a channel stays 255: opaque white.
    const int32_t width = layer_.width;
    std::fill(pixels, pixels + width, 0xFFFFFFFFu);
    if (row_ >= layer_.height) return;
    auto* row = reinterpret_cast<uint8_t*>(pixels);
    for (int k = 0; k < channelCount_; ++k)
        if (!channels_[k].ended) channels_[k].ended = !decodeRow(&channels_[k], row);
    for (int32_t x = 0; x < width; ++x)
        if ((pixels[x] >> 24) == 0) pixels[x] = 0;
    ++row_;
}

void PsdLayerRows::skip(int32_t rows) {
    for (; rows > 0 && row_ < layer_.height; --rows, ++row_)
        for (int k = 0; k < channelCount_; ++k)
            if (!channels_[k].ended) channels_[k].ended = !decodeRow(&channels_[k], nullptr);
}

// One row of one channel into its component (offset -1 or no row: read and discarded). Runs
// are cut at the row's end. False where the channel's bytes end: its later rows are left as
// they are.
bool PsdLayerRows::decodeRow(Channel* channel, uint8_t* row) const {
    ByteCursor& c = channel->cursor;
    const int offset = row ? channel->offset : -1;
    const int32_t width = layer_.width;
    const size_t rowStart = c.at();
    if (channel->compression == 0) {
        const size_t n = c.has(static_cast<uint32_t>(width)) ? width : c.remaining();
        if (offset >= 0)
            for (size_t i = 0; i < n; ++i) row[i * 4 + offset] = c.here()[i];
        c.skip(n);
        return n == static_cast<size_t>(width) && c.ok();
    }
    int32_t x = 0;
    while (x < width) {
        const uint32_t h = c.u8();
        if (!c.ok()) return false;
        if (h >= 0x80) {
            const int32_t run = static_cast<int32_t>(257 - h);
            const uint32_t v = c.u8();
            if (!c.ok()) return false;
            const int32_t n = run < width - x ? run : width - x;
            if (offset >= 0)
                for (int32_t i = 0; i < n; ++i) row[(x + i) * 4 + offset] = static_cast<uint8_t>(v);
            x += n;
        } else {
            const int32_t run = static_cast<int32_t>(h + 1);
            const size_t available = c.has(static_cast<uint32_t>(run)) ? run : c.remaining();
            const int32_t n = static_cast<int32_t>(available) < width - x
                                  ? static_cast<int32_t>(available)
                                  : width - x;
            if (offset >= 0)
                for (int32_t i = 0; i < n; ++i) row[(x + i) * 4 + offset] = c.here()[i];
            c.skip(available);
            if (available < static_cast<size_t>(run)) return false;
            x += n;
        }
    }
    // A row whose counted bytes go on past its last pixel (ImageMagick ends every row with a
    // no-op 0x80) is left at its counted end. The counts were checked to lie inside the bytes.
    const uint8_t* counts = channel->rowCounts + 2 * static_cast<size_t>(row_);
    const size_t counted = rowStart + (size_t{counts[0]} << 8) + counts[1];
    if (counted > c.at()) c.seek(counted < c.end() ? counted : c.end());
    return c.ok();
}

PsdLayers::PsdLayers(const uint8_t* data, size_t size) : data_(data), size_(size) {
    if (walkDocument(data, size, &records_))
        count_ = static_cast<int>(records_.size());
    else
        records_.clear();
}

PsdLayer* PsdLayers::read(int index) const {
    PsdLayerRows rows(*this, index);
    if (!rows.ok()) return nullptr;
    auto* layer = new (std::nothrow) PsdLayer(rows.layer());
    if (!layer) return nullptr;
    const size_t pixelCount =
        static_cast<size_t>(layer->width) * static_cast<size_t>(layer->height);
    if (pixelCount == 0) return layer;
    layer->pixels = static_cast<uint32_t*>(std::malloc(pixelCount * 4));
    if (!layer->pixels) {
        delete layer;
        return nullptr;
    }
    for (int32_t y = 0; y < layer->height; ++y)
        rows.next(layer->pixels + static_cast<size_t>(y) * static_cast<size_t>(layer->width));
    return layer;
}

int countPsdLayers(const uint8_t* data, size_t size) {
    return PsdLayers(data, size).count();
}

PsdLayer* readPsdLayer(const uint8_t* data, size_t size, int index) {
    return PsdLayers(data, size).read(index);
}

void freePsdLayer(PsdLayer* layer) {
    if (!layer) return;
    std::free(layer->pixels);
    delete layer;
}
