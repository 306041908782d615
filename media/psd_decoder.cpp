// PSD decoder: layer records and their raw or RLE channels, read in place.
//
// Layout (big-endian):
//   0  "8BPS"   4  version 1   6  reserved(6)   12 channels(2)   14 height(4)   18 width(4)
//   22 depth 8  24 mode 3 (RGB)
//   26 colour mode data length Lc, Lc bytes;  image resources length Lr, Lr bytes
//   layer and mask section length (0: no layers);  layer info length (0: no layers)
//   layer count (signed 16; its absolute value counts), then the layer records:
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

#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {
// A bounded big-endian reader: every read fails, and keeps failing, past `end`.
struct Cursor {
    const uint8_t* data;
    size_t at;
    size_t end;
    bool ok = true;

    bool has(uint64_t n) const { return ok && at <= end && n <= end - at; }
    void skip(uint64_t n) {
        if (has(n))
            at += static_cast<size_t>(n);
        else
            ok = false;
    }
    uint32_t u8() {
        if (!has(1)) return ok = false, 0;
        return data[at++];
    }
    uint32_t u16() {
        if (!has(2)) return ok = false, 0;
        const uint32_t v = (uint32_t{data[at]} << 8) | data[at + 1];
        at += 2;
        return v;
    }
    uint32_t u32() {
        if (!has(4)) return ok = false, 0;
        const uint32_t v = (uint32_t{data[at]} << 24) | (uint32_t{data[at + 1]} << 16) |
                           (uint32_t{data[at + 2]} << 8) | data[at + 3];
        at += 4;
        return v;
    }
    int32_t i32() { return static_cast<int32_t>(u32()); }
};

// What decoding one layer needs from its record.
struct LayerRecord {
    int32_t top = 0, left = 0, bottom = 0, right = 0;
    size_t channelInfo = 0;  // offset of the N x 6 bytes of channel info
    uint32_t channelCount = 0;
    uint32_t opacity = 0;
    size_t nameAt = 0;
    size_t nameLength = 0;
};

// The header checks and the walk over all records. Fills `count` and, when `wanted` is a
// valid index, that layer's record and the offset of its first channel's data (which may lie
// past the end of a truncated file). False for a refused document.
bool walkDocument(const uint8_t* data, size_t size, int wanted, int* count, LayerRecord* record,
                  uint64_t* channelData) {
    if (!data) return false;
    Cursor c{data, 0, size};
    if (!c.has(26) || std::memcmp(data, "8BPS", 4) != 0) return false;
    c.skip(4);
    if (c.u16() != 1) return false;
    c.skip(6 + 2 + 4 + 4);
    if (c.u16() != 8 || c.u16() != 3) return false;
    c.skip(c.u32());  // colour mode data
    c.skip(c.u32());  // image resources
    const uint32_t sectionLength = c.u32();
    if (!c.ok || sectionLength == 0) return false;
    const uint32_t infoLength = c.u32();
    if (!c.ok) return false;
    int layers = 0;
    if (infoLength != 0) {
        const int32_t field = static_cast<int16_t>(c.u16());
        if (!c.ok) return false;
        layers = field < 0 ? -field : field;
    }

    uint64_t dataBefore = 0;  // channel data of the layers before `wanted`
    for (int i = 0; i < layers; ++i) {
        LayerRecord r;
        r.top = c.i32();
        r.left = c.i32();
        r.bottom = c.i32();
        r.right = c.i32();
        r.channelCount = c.u16();
        r.channelInfo = c.at;
        uint64_t channelBytes = 0;
        if (!c.has(uint64_t{r.channelCount} * 6)) return false;
        for (uint32_t k = 0; k < r.channelCount; ++k) {
            c.skip(2);
            channelBytes += c.u32();
        }
        c.skip(8);  // blend signature and key
        r.opacity = c.u8();
        c.skip(3);  // clipping, flags, filler
        const uint32_t extraLength = c.u32();
        if (!c.ok || !c.has(extraLength)) return false;
        // The mask data, the blending ranges and the name lie inside the extra data.
        Cursor extra{data, c.at, c.at + extraLength};
        extra.skip(extra.u32());
        extra.skip(extra.u32());
        const uint32_t nameLength = extra.u8();
        if (extra.ok) {
            r.nameAt = extra.at;
            r.nameLength = extra.has(nameLength) ? nameLength : extra.end - extra.at;
        }
        c.skip(extraLength);
        if (i < wanted) dataBefore += channelBytes;
        if (i == wanted && record) *record = r;
    }
    if (!c.ok) return false;
    *count = layers;
    if (channelData) *channelData = c.at + dataBefore;
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

// Decodes one channel's bytes [at, end) into the component at `offset` (-1: discarded).
// Runs are cut at the row's end; decoding stops where the bytes end.
void decodeChannel(const uint8_t* data, size_t at, size_t end, int offset, uint8_t* pixels,
                   int32_t width, int32_t height) {
    Cursor c{data, at, end};
    const uint32_t compression = c.u16();
    if (!c.ok) return;
    const size_t rowCounts = c.at;
    if (compression != 0) c.skip(uint64_t{2} * static_cast<uint32_t>(height));
    for (int32_t y = 0; y < height && c.ok; ++y) {
        uint8_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(width) * 4;
        const size_t rowStart = c.at;
        int32_t x = 0;
        if (compression == 0) {
            const size_t n = c.has(static_cast<uint32_t>(width)) ? width : c.end - c.at;
            if (offset >= 0)
                for (size_t i = 0; i < n; ++i) row[i * 4 + offset] = data[c.at + i];
            c.at += n;
            if (n < static_cast<size_t>(width)) return;
            continue;
        }
        while (x < width) {
            const uint32_t h = c.u8();
            if (!c.ok) return;
            if (h >= 0x80) {
                const int32_t run = static_cast<int32_t>(257 - h);
                const uint32_t v = c.u8();
                if (!c.ok) return;
                const int32_t n = run < width - x ? run : width - x;
                if (offset >= 0)
                    for (int32_t i = 0; i < n; ++i)
                        row[(x + i) * 4 + offset] = static_cast<uint8_t>(v);
                x += n;
            } else {
                const int32_t run = static_cast<int32_t>(h + 1);
                const size_t available = c.has(static_cast<uint32_t>(run)) ? run : c.end - c.at;
                const int32_t n = static_cast<int32_t>(available) < width - x
                                      ? static_cast<int32_t>(available)
                                      : width - x;
                if (offset >= 0)
                    for (int32_t i = 0; i < n; ++i) row[(x + i) * 4 + offset] = data[c.at + i];
                c.at += available;
                if (available < static_cast<size_t>(run)) return;
                x += n;
            }
        }
        // A row whose counted bytes go on past its last pixel (ImageMagick ends every row
        // with a no-op 0x80) is left at its counted end.
        const size_t counted =
            rowStart + (size_t{data[rowCounts + 2 * y]} << 8) + data[rowCounts + 2 * y + 1];
        if (counted > c.at) c.at = counted < c.end ? counted : c.end;
    }
}
}  // namespace

int countPsdLayers(const uint8_t* data, size_t size) {
    int count = 0;
    return walkDocument(data, size, -1, &count, nullptr, nullptr) ? count : -1;
}

PsdLayer* readPsdLayer(const uint8_t* data, size_t size, int index) {
    int count = 0;
    LayerRecord r;
    uint64_t channelData = 0;
    if (index < 0 || !walkDocument(data, size, index, &count, &r, &channelData) || index >= count)
        return nullptr;

    // An inverted rectangle is empty; one beyond the limits is refused.
    int64_t width = int64_t{r.right} - r.left;
    int64_t height = int64_t{r.bottom} - r.top;
    if (width <= 0 || height <= 0) width = height = 0;
    if (width > kMaxPsdLayerSide || height > kMaxPsdLayerSide ||
        width * height > kMaxPsdLayerPixels)
        return nullptr;

    auto* layer = new (std::nothrow) PsdLayer{};
    if (!layer) return nullptr;
    layer->width = static_cast<int32_t>(width);
    layer->height = static_cast<int32_t>(height);
    layer->left = r.left;
    layer->top = r.top;
    layer->opacity = r.opacity;
    const size_t nameLength = r.nameLength < 31 ? r.nameLength : 31;
    if (nameLength) std::memcpy(layer->name, data + r.nameAt, nameLength);
    layer->name[nameLength] = 0;

    const size_t pixelCount = static_cast<size_t>(width * height);
    if (pixelCount == 0) return layer;
    layer->pixels = static_cast<uint32_t*>(std::malloc(pixelCount * 4));
    if (!layer->pixels) {
        delete layer;
        return nullptr;
    }
    // A component without a channel stays 255: opaque white.
    std::memset(layer->pixels, 0xFF, pixelCount * 4);

    uint64_t at = channelData;
    Cursor info{data, r.channelInfo, size};
    const uint32_t decoded = r.channelCount < 4 ? r.channelCount : 4;
    for (uint32_t k = 0; k < decoded; ++k) {
        const int id = static_cast<int16_t>(info.u16());
        const uint32_t length = info.u32();
        if (at < size) {
            const uint64_t end = at + length < size ? at + length : size;
            decodeChannel(data, static_cast<size_t>(at), static_cast<size_t>(end),
                          componentOffset(id), reinterpret_cast<uint8_t*>(layer->pixels),
                          layer->width, layer->height);
        }
        at += length;
    }
    for (size_t i = 0; i < pixelCount; ++i)
        if ((layer->pixels[i] >> 24) == 0) layer->pixels[i] = 0;
    return layer;
}

void freePsdLayer(PsdLayer* layer) {
    if (!layer) return;
    std::free(layer->pixels);
    delete layer;
}
