// The PSD writer: header, layer records, channel data and a blank merged image.
#include "tools/writers/psd_writer.h"

#include <fstream>

#include "tools/writers/byte_writer.h"

namespace {
// PackBits of one row: literal packets (h < 0x80, h + 1 bytes) and runs (257 - h repeats),
// never the header 0x80.
void packRow(ByteWriter& out, const uint8_t* row, int32_t width) {
    int32_t x = 0;
    while (x < width) {
        int32_t run = 1;
        while (x + run < width && run < 128 && row[x + run] == row[x]) ++run;
        if (run >= 2) {
            out.u8(static_cast<uint8_t>(257 - run));
            out.u8(row[x]);
            x += run;
            continue;
        }
        int32_t literal = 1;
        while (x + literal < width && literal < 128 &&
               !(x + literal + 1 < width && row[x + literal] == row[x + literal + 1]))
            ++literal;
        out.u8(static_cast<uint8_t>(literal - 1));
        out.raw(row + x, static_cast<size_t>(literal));
        x += literal;
    }
}

std::vector<uint8_t> component(const std::vector<uint32_t>& pixels, int shift, size_t count) {
    std::vector<uint8_t> bytes(count, 0);
    for (size_t i = 0; i < count && i < pixels.size(); ++i)
        bytes[i] = static_cast<uint8_t>(pixels[i] >> shift);
    return bytes;
}

std::vector<PsdChannel> channelsOf(const PsdWriterLayer& layer) {
    if (!layer.channels.empty()) return layer.channels;
    const int64_t w = int64_t{layer.right} - layer.left, h = int64_t{layer.bottom} - layer.top;
    const int32_t width = w > 0 && h > 0 ? static_cast<int32_t>(w) : 0;
    const int32_t height = w > 0 && h > 0 ? static_cast<int32_t>(h) : 0;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    std::vector<PsdChannel> channels;
    const struct {
        int16_t id;
        int shift;
    } order[] = {{-1, 24}, {0, 16}, {1, 8}, {2, 0}};
    for (const auto& c : order) {
        if (c.id == -1 && !layer.alpha) continue;
        const std::vector<uint8_t> bytes = component(layer.pixels, c.shift, count);
        channels.push_back(
            {c.id, layer.rle ? psdRleChannel(bytes, width, height) : psdRawChannel(bytes)});
    }
    return channels;
}
}  // namespace

PsdWriterLayer psdLayer(std::string name, int32_t left, int32_t top, int32_t width, int32_t height,
                        std::vector<uint32_t> pixels, uint8_t opacity) {
    PsdWriterLayer layer;
    layer.name = std::move(name);
    layer.left = left;
    layer.top = top;
    layer.right = left + width;
    layer.bottom = top + height;
    layer.opacity = opacity;
    layer.pixels = std::move(pixels);
    return layer;
}

std::vector<uint8_t> psdRawChannel(const std::vector<uint8_t>& bytes) {
    ByteWriter out;
    out.u16be(0);
    out.raw(bytes.data(), bytes.size());
    return out.bytes;
}

std::vector<uint8_t> psdRleChannel(const std::vector<uint8_t>& bytes, int32_t width,
                                   int32_t height) {
    ByteWriter rows;
    std::vector<uint16_t> counts;
    for (int32_t y = 0; y < height; ++y) {
        const size_t before = rows.size();
        packRow(rows, bytes.data() + static_cast<size_t>(y) * width, width);
        counts.push_back(static_cast<uint16_t>(rows.size() - before));
    }
    ByteWriter out;
    out.u16be(1);
    for (uint16_t c : counts) out.u16be(c);
    out.raw(rows.bytes.data(), rows.size());
    return out.bytes;
}

std::vector<uint8_t> writePsd(const PsdDocument& document) {
    const int mergedChannels = document.negativeCount ? 4 : 3;
    ByteWriter out;
    out.text("8BPS");
    out.u16be(1);
    out.zeros(6);
    out.u16be(static_cast<uint16_t>(mergedChannels));
    out.u32be(static_cast<uint32_t>(document.height));
    out.u32be(static_cast<uint32_t>(document.width));
    out.u16be(8);
    out.u16be(3);
    out.u32be(0);  // colour mode data
    out.u32be(0);  // image resources

    const size_t sectionAt = out.size();
    out.u32be(0);
    const size_t infoAt = out.size();
    out.u32be(0);
    const auto count = static_cast<int16_t>(document.layers.size());
    out.u16be(static_cast<uint16_t>(document.negativeCount ? -count : count));
    std::vector<std::vector<PsdChannel>> channels;
    for (const PsdWriterLayer& layer : document.layers) {
        channels.push_back(channelsOf(layer));
        out.u32be(static_cast<uint32_t>(layer.top));
        out.u32be(static_cast<uint32_t>(layer.left));
        out.u32be(static_cast<uint32_t>(layer.bottom));
        out.u32be(static_cast<uint32_t>(layer.right));
        out.u16be(static_cast<uint16_t>(channels.back().size()));
        for (const PsdChannel& c : channels.back()) {
            out.u16be(static_cast<uint16_t>(c.id));
            out.u32be(static_cast<uint32_t>(c.data.size()));
        }
        out.text("8BIMnorm");
        out.u8(layer.opacity);
        out.u8(0);  // clipping
        out.u8(0);  // flags
        out.u8(0);  // filler
        // The name is a Pascal string padded to a multiple of 4 bytes.
        const size_t nameLength = layer.name.size() < 255 ? layer.name.size() : 255;
        const size_t namePadded = (nameLength + 1 + 3) / 4 * 4;
        out.u32be(static_cast<uint32_t>(8 + namePadded));
        out.u32be(0);  // layer mask data
        out.u32be(0);  // blending ranges
        out.u8(static_cast<uint8_t>(nameLength));
        out.raw(layer.name.data(), nameLength);
        out.zeros(namePadded - 1 - nameLength);
    }
    for (const auto& layerChannels : channels)
        for (const PsdChannel& c : layerChannels) out.raw(c.data.data(), c.data.size());
    if ((out.size() - infoAt - 4) % 2) out.u8(0);
    out.patchU32be(infoAt, static_cast<uint32_t>(out.size() - infoAt - 4));
    out.u32be(0);  // global layer mask info
    out.patchU32be(sectionAt, static_cast<uint32_t>(out.size() - sectionAt - 4));

    // The merged image: every channel blank, RLE.
    const std::vector<uint8_t> blank(static_cast<size_t>(document.width > 0 ? document.width : 0),
                                     0);
    ByteWriter row;
    packRow(row, blank.data(), document.width);
    out.u16be(1);
    for (int i = 0; i < mergedChannels * document.height; ++i)
        out.u16be(static_cast<uint16_t>(row.size()));
    for (int i = 0; i < mergedChannels * document.height; ++i)
        out.raw(row.bytes.data(), row.size());
    return out.bytes;
}

bool writePsdFile(const std::filesystem::path& path, const PsdDocument& document,
                  std::string* error) {
    const std::vector<uint8_t> bytes = writePsd(document);
    std::ofstream file(path, std::ios::binary);
    if (file)
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        if (error) *error = path.string() + ": cannot be written";
        return false;
    }
    return true;
}
