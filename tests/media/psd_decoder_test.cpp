// The PSD decoder: layers written by our writer and by ImageMagick, edge cases and bad input.
#include "media/psd_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/test_files.h"
#include "tools/writers/png_writer.h"
#include "tools/writers/psd_writer.h"

namespace {
using LayerPtr = std::unique_ptr<PsdLayer, void (*)(PsdLayer*)>;

// Decodes from a heap copy of exactly the document's size, so that a read past the end is
// caught by the address sanitizer.
LayerPtr decode(const std::vector<uint8_t>& bytes, int index) {
    std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size() ? bytes.size() : 1]);
    if (!bytes.empty()) std::memcpy(exact.get(), bytes.data(), bytes.size());
    return LayerPtr(readPsdLayer(exact.get(), bytes.size(), index), freePsdLayer);
}

int count(const std::vector<uint8_t>& bytes) {
    std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size() ? bytes.size() : 1]);
    if (!bytes.empty()) std::memcpy(exact.get(), bytes.data(), bytes.size());
    return countPsdLayers(exact.get(), bytes.size());
}

std::vector<uint32_t> pixelsOf(const PsdLayer& layer) {
    return std::vector<uint32_t>(layer.pixels, layer.pixels + size_t(layer.width) * layer.height);
}

// Deterministic pixels with runs and noise, some fully transparent.
std::vector<uint32_t> pattern(int width, int height, uint32_t seed) {
    std::vector<uint32_t> p(size_t(width) * height);
    uint32_t s = seed;
    for (size_t i = 0; i < p.size(); ++i) {
        if (i % 7 != 0) s = s * 1103515245u + 12345u;  // repeats make RLE runs
        const uint32_t alpha = (s >> 24) % 5 == 0 ? 0 : (s >> 8) & 0xFF;
        p[i] = (alpha << 24) | ((s >> 4) & 0xFFFFFF);
    }
    return p;
}

std::vector<uint32_t> clearedAlphaZero(std::vector<uint32_t> p) {
    for (uint32_t& v : p)
        if ((v >> 24) == 0) v = 0;
    return p;
}

std::vector<uint8_t> oneLayer(PsdWriterLayer layer) {
    PsdDocument d;
    d.width = 64;
    d.height = 64;
    d.layers.push_back(std::move(layer));
    return writePsd(d);
}
}  // namespace

TEST(PsdDecoder, DecodesWrittenLayersInEveryChannelForm) {
    PsdDocument d;
    struct Form {
        bool rle, alpha;
    } forms[] = {{true, true}, {false, true}, {true, false}, {false, false}};
    int i = 0;
    for (const Form& f : forms) {
        PsdWriterLayer layer =
            psdLayer("layer" + std::to_string(i), 3 * i, 5 + i, 37 + i, 11 + 2 * i,
                     pattern(37 + i, 11 + 2 * i, 7 + i), uint8_t(100 + i));
        layer.rle = f.rle;
        layer.alpha = f.alpha;
        d.layers.push_back(layer);
        ++i;
    }
    const std::vector<uint8_t> bytes = writePsd(d);
    ASSERT_EQ(count(bytes), 4);
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        const PsdWriterLayer& w = d.layers[k];
        LayerPtr l = decode(bytes, k);
        ASSERT_TRUE(l);
        EXPECT_EQ(l->left, w.left);
        EXPECT_EQ(l->top, w.top);
        EXPECT_EQ(l->width, w.right - w.left);
        EXPECT_EQ(l->height, w.bottom - w.top);
        EXPECT_EQ(l->opacity, w.opacity);
        EXPECT_STREQ(l->name, w.name.c_str());
        std::vector<uint32_t> expected = w.pixels;
        if (!w.alpha)  // no alpha channel: opaque
            for (uint32_t& v : expected) v |= 0xFF000000;
        EXPECT_EQ(pixelsOf(*l), clearedAlphaZero(expected));
    }
    EXPECT_FALSE(decode(bytes, 4));
    EXPECT_FALSE(decode(bytes, -1));
}

TEST(PsdDecoder, EdgeCasesOfCountRectangleAlphaAndNames) {
    // A negative count field counts by its absolute value.
    PsdDocument d;
    d.negativeCount = true;
    d.layers = {psdLayer("a", 0, 0, 2, 2, pattern(2, 2, 1)),
                psdLayer("b", 1, 1, 3, 1, pattern(3, 1, 2))};
    std::vector<uint8_t> bytes = writePsd(d);
    EXPECT_EQ(count(bytes), 2);
    ASSERT_TRUE(decode(bytes, 1));
    EXPECT_STREQ(decode(bytes, 1)->name, "b");

    // An empty rectangle, and an inverted one, decode to an empty layer.
    for (auto [top, left, bottom, right] :
         {std::array{10, 20, 10, 20}, std::array{10, 20, 5, 30}}) {
        PsdWriterLayer empty;
        empty.name = "empty";
        empty.top = top, empty.left = left, empty.bottom = bottom, empty.right = right;
        LayerPtr l = decode(oneLayer(empty), 0);
        ASSERT_TRUE(l);
        EXPECT_EQ(l->width, 0);
        EXPECT_EQ(l->height, 0);
        EXPECT_EQ(l->pixels, nullptr);
        EXPECT_EQ(l->left, left);
        EXPECT_STREQ(l->name, "empty");
    }

    // Alpha 0 everywhere clears every pixel, colour included.
    PsdWriterLayer clear = psdLayer("clear", 0, 0, 5, 3, std::vector<uint32_t>(15, 0x00FF8040));
    EXPECT_EQ(pixelsOf(*decode(oneLayer(clear), 0)), std::vector<uint32_t>(15, 0));

    // Names longer than 31 bytes are cut.
    const std::string longName(40, 'n');
    LayerPtr named = decode(oneLayer(psdLayer(longName, 0, 0, 1, 1, {0xFF000000})), 0);
    EXPECT_EQ(std::string(named->name), longName.substr(0, 31));
}

TEST(PsdDecoder, MissingChannelsStayWhiteAndMasksAndFifthChannelsAreIgnored) {
    PsdWriterLayer layer = psdLayer("c", 0, 0, 2, 1, {});
    // Only green, then a mask channel that must not land anywhere.
    layer.channels = {{1, psdRawChannel({0x10, 0x20})}, {-2, psdRawChannel({0x00, 0x00})}};
    EXPECT_EQ(pixelsOf(*decode(oneLayer(layer), 0)),
              (std::vector<uint32_t>{0xFFFF10FF, 0xFFFF20FF}));

    // Five channels: the fifth (blue) is not decoded.
    layer.channels = {{-1, psdRawChannel({0x80, 0x80})},
                      {0, psdRawChannel({1, 2})},
                      {1, psdRawChannel({3, 4})},
                      {-2, psdRawChannel({9, 9})},
                      {2, psdRawChannel({5, 6})}};
    EXPECT_EQ(pixelsOf(*decode(oneLayer(layer), 0)),
              (std::vector<uint32_t>{0x800103FF, 0x800204FF}));
}

TEST(PsdDecoder, RlePacketsIncluding0x80AndRunsPastTheRow) {
    // 0x80 repeats the next byte 129 times; 0xFF twice; a literal of 3.
    PsdWriterLayer layer = psdLayer("r", 0, 0, 134, 1, {});
    layer.channels = {{0, {0, 1, 0, 7, 0x80, 0xAA, 0xFF, 0xBB, 2, 1, 2, 3}}};
    std::vector<uint32_t> expected(129, 0xFFAAFFFF);
    expected.insert(expected.end(), {0xFFBBFFFF, 0xFFBBFFFF, 0xFF01FFFF, 0xFF02FFFF, 0xFF03FFFF});
    EXPECT_EQ(pixelsOf(*decode(oneLayer(layer), 0)), expected);

    // A run longer than the row ends at the row's end; the next row starts with the next packet.
    layer = psdLayer("r", 0, 0, 4, 2, {});
    layer.channels = {{2, {0, 1, 0, 2, 0, 2, 0xF0, 0x11, 0xFD, 0x22}}};
    EXPECT_EQ(pixelsOf(*decode(oneLayer(layer), 0)),
              (std::vector<uint32_t>{0xFFFFFF11, 0xFFFFFF11, 0xFFFFFF11, 0xFFFFFF11, 0xFFFFFF22,
                                     0xFFFFFF22, 0xFFFFFF22, 0xFFFFFF22}));

    // A row counted longer than its packets (ImageMagick ends rows with a no-op 0x80)
    // resumes at its counted end.
    layer.channels = {{2, {0, 1, 0, 3, 0, 2, 0xFD, 0x11, 0x80, 0xFD, 0x22}}};
    EXPECT_EQ(pixelsOf(*decode(oneLayer(layer), 0)),
              (std::vector<uint32_t>{0xFFFFFF11, 0xFFFFFF11, 0xFFFFFF11, 0xFFFFFF11, 0xFFFFFF22,
                                     0xFFFFFF22, 0xFFFFFF22, 0xFFFFFF22}));
}

TEST(PsdDecoder, RefusesOtherModesDepthsAndHeaders) {
    const std::vector<uint8_t> good = oneLayer(psdLayer("g", 0, 0, 2, 2, pattern(2, 2, 3)));
    ASSERT_EQ(count(good), 1);
    struct Patch {
        const char* what;
        size_t at;
        std::vector<uint8_t> bytes;
    } patches[] = {
        {"signature", 0, {'8', 'B', 'P', 'B'}},
        {"version 2", 4, {0, 2}},
        {"16-bit", 22, {0, 16}},
        {"grayscale", 24, {0, 1}},
        {"CMYK", 24, {0, 4}},
        {"indexed", 24, {0, 2}},
        {"no layer section", 34, {0, 0, 0, 0}},
    };
    for (const Patch& p : patches) {
        std::vector<uint8_t> bad = good;
        std::memcpy(bad.data() + p.at, p.bytes.data(), p.bytes.size());
        EXPECT_EQ(count(bad), -1) << p.what;
        EXPECT_FALSE(decode(bad, 0)) << p.what;
    }
    EXPECT_EQ(countPsdLayers(nullptr, 0), -1);
    EXPECT_EQ(count({}), -1);
}

TEST(PsdDecoder, EveryTruncationStaysInsideTheBuffer) {
    PsdDocument d;
    d.width = 40;
    d.height = 30;
    d.layers = {psdLayer("one", 0, 0, 9, 7, pattern(9, 7, 4)),
                psdLayer("two", 3, 4, 12, 5, pattern(12, 5, 5))};
    d.layers[1].rle = false;
    const std::vector<uint8_t> bytes = writePsd(d);
    const LayerPtr whole = decode(bytes, 1);
    for (size_t n = 0; n < bytes.size(); ++n) {
        const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + n);
        const int c = count(cut);
        EXPECT_TRUE(c == -1 || c == 2) << n;
        for (int i = 0; i < 2; ++i) {
            LayerPtr l = decode(cut, i);
            if (l && i == 1 && l->pixels) {
                EXPECT_EQ(l->width * l->height, whole->width * whole->height);
            }
        }
    }
}

TEST(PsdDecoder, LyingLengthsAndHugeRectanglesAreBounded) {
    // A channel length far past the end, and runs that run out of bytes.
    PsdWriterLayer layer = psdLayer("lie", 0, 0, 8, 2, {});
    layer.channels = {{0, {0, 1, 0, 9, 0, 9, 0x7F, 1, 2}}};
    std::vector<uint8_t> bytes = oneLayer(layer);
    // The first channel's length follows the rectangle, the channel count and its id.
    const size_t lengthAt = 44 + 18 + 2;
    bytes[lengthAt] = 0x7F;
    LayerPtr l = decode(bytes, 0);
    ASSERT_TRUE(l);  // the merged image after it holds bytes enough for the rows
    EXPECT_EQ(l->pixels[0], 0xFF01FFFFu);
    EXPECT_EQ(l->pixels[1], 0xFF02FFFFu);

    // A raw channel shorter than the layer.
    layer.channels = {{-1, psdRawChannel({0, 0, 0})}};
    EXPECT_FALSE(decode(oneLayer(layer), 0));

    // Rectangles whose size no texture could hold are refused, without allocating them.
    for (auto [bottom, right] : {std::array{2000000000, 1}, std::array{1, 2000000000},
                                 std::array{kMaxPsdLayerSide, kMaxPsdLayerSide}}) {
        PsdWriterLayer huge;
        huge.bottom = bottom;
        huge.right = right;
        huge.channels = {{0, psdRawChannel({1})}};
        EXPECT_EQ(count(oneLayer(huge)), 1);
        EXPECT_FALSE(decode(oneLayer(huge), 0));
    }
    PsdWriterLayer extreme;
    extreme.top = -2147483647 - 1;
    extreme.bottom = 2147483647;
    extreme.right = 1;
    extreme.channels = {{0, psdRawChannel({1})}};
    EXPECT_FALSE(decode(oneLayer(extreme), 0));

    // A count larger than the records present refuses the document.
    bytes = oneLayer(psdLayer("x", 0, 0, 1, 1, {0xFFFFFFFF}));
    bytes[43] = 9;
    EXPECT_EQ(count(bytes), -1);
    EXPECT_FALSE(decode(bytes, 0));
}

TEST(PsdDecoder, LayerInfoLengthZeroStillCountsTheLayers) {
    std::vector<uint8_t> bytes = oneLayer(psdLayer("a", 0, 0, 2, 2, pattern(2, 2, 1)));
    std::memset(bytes.data() + 38, 0, 4);  // the layer info length; the count follows it
    EXPECT_EQ(count(bytes), 1);
    LayerPtr l = decode(bytes, 0);
    ASSERT_TRUE(l);
    EXPECT_STREQ(l->name, "a");
    EXPECT_EQ(pixelsOf(*l), clearedAlphaZero(pattern(2, 2, 1)));
}

// Work and memory follow the file: a layer's pixels must be backed by its channels' bytes
// before anything is allocated.
TEST(PsdDecoder, LayerPixelsMustBeBackedByChannelBytes) {
    const std::vector<uint8_t> raw6 = psdRawChannel(std::vector<uint8_t>(6, 7));
    std::vector<uint8_t> raw5 = raw6;
    raw5.pop_back();
    // 258 x 2 pixels in the fewest RLE bytes: row counts, then two 129-pixel runs per row.
    const std::vector<uint8_t> rle = {0, 1, 0, 4, 0, 4, 0x80, 1, 0x80, 2, 0x80, 3, 0x80, 4};
    const std::vector<uint8_t> rleShort(rle.begin(), rle.end() - 1);
    struct Case {
        const char* what;
        int32_t width, height;
        std::vector<PsdChannel> channels;
        bool decodes;
    } cases[] = {
        {"raw, width x height bytes", 3, 2, {{0, raw6}}, true},
        {"raw, one byte short", 3, 2, {{0, raw5}}, false},
        {"raw alpha backed, green short", 3, 2, {{-1, raw6}, {1, raw5}}, false},
        {"RLE, two bytes per 129 pixels", 258, 2, {{2, rle}}, true},
        {"RLE, one byte short", 258, 2, {{2, rleShort}}, false},
        {"only a mask channel", 3, 2, {{-2, raw6}}, false},
        {"mask short, colour backed", 3, 2, {{0, raw6}, {-2, raw5}}, true},
        {"16384 x 4096 behind 2 bytes", 16384, 4096, {{0, {0, 1}}}, false},
    };
    for (const Case& c : cases) {
        PsdWriterLayer layer = psdLayer("l", 0, 0, c.width, c.height, {});
        layer.channels = c.channels;
        const std::vector<uint8_t> bytes = oneLayer(layer);
        EXPECT_EQ(count(bytes), 1) << c.what;
        EXPECT_EQ(bool(decode(bytes, 0)), c.decodes) << c.what;
    }
    // No channel at all: the record's channel count made 0 and its one channel info taken out.
    PsdWriterLayer bare = psdLayer("l", 0, 0, 3, 2, {});
    bare.channels = {{0, raw6}};
    std::vector<uint8_t> noChannels = oneLayer(bare);
    noChannels[60] = noChannels[61] = 0;
    noChannels.erase(noChannels.begin() + 62, noChannels.begin() + 68);
    EXPECT_EQ(count(noChannels), 1);
    EXPECT_FALSE(decode(noChannels, 0));

    LayerPtr wide = decode(oneLayer([&] {
                               PsdWriterLayer l = psdLayer("w", 0, 0, 258, 2, {});
                               l.channels = {{2, rle}};
                               return l;
                           }()),
                           0);
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->pixels[128], 0xFFFFFF01u);
    EXPECT_EQ(wide->pixels[129], 0xFFFFFF02u);
    EXPECT_EQ(wide->pixels[258 + 257], 0xFFFFFF04u);
}

// Layered PSDs written by ImageMagick decode to the pixels it was given.
TEST(PsdDecoder, ReadsLayersWrittenByImageMagick) {
    const auto folder = freshTestFolder();
    struct Source {
        const char* name;
        int left, top, width, height;
    } sources[] = {{"first", 5, 7, 40, 30}, {"second", 30, 40, 20, 10}, {"third", 0, 0, 131, 3}};
    std::vector<std::vector<uint32_t>> pixels;
    std::string layers;
    for (int i = 0; i < 3; ++i) {
        const Source& s = sources[i];
        pixels.push_back(pattern(s.width, s.height, 11 + i));
        const std::string png = (folder / (std::string(s.name) + ".png")).string();
        ASSERT_TRUE(writePng(png, s.width, s.height, pixels.back().data()));
        layers += " \\( " + png + " -set label " + s.name + " -repage +" + std::to_string(s.left) +
                  "+" + std::to_string(s.top) + " \\)";
    }
    for (const char* compression : {"RLE", "None"}) {
        SCOPED_TRACE(compression);
        const std::string psd = (folder / (std::string(compression) + ".psd")).string();
        // A coloured background keeps ImageMagick from writing a grayscale document.
        const std::string command = "/usr/bin/convert -size 160x90 xc:'rgb(10,20,30)'" + layers +
                                    " -depth 8 -compress " + compression + " " + psd;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const std::vector<uint8_t> bytes = readBytes(psd);
        ASSERT_EQ(count(bytes), 3);
        for (int i = 0; i < 3; ++i) {
            LayerPtr l = decode(bytes, i);
            ASSERT_TRUE(l);
            EXPECT_STREQ(l->name, sources[i].name);
            EXPECT_EQ(l->left, sources[i].left);
            EXPECT_EQ(l->top, sources[i].top);
            EXPECT_EQ(l->width, sources[i].width);
            EXPECT_EQ(l->height, sources[i].height);
            EXPECT_EQ(pixelsOf(*l), clearedAlphaZero(pixels[i])) << sources[i].name;
        }
    }
}

// The row reader that tools start part-way down a layer: past any number of rows, it gives
// the rows that a whole read gives below them, also where channels run out part-way (every
// cut of the document), and for RLE rows counted longer than their packets.
TEST(PsdDecoder, RowsReadAfterSkippingMatchTheWholeLayer) {
    PsdDocument d;
    d.width = 40;
    d.height = 30;
    d.layers = {psdLayer("rle", 0, 0, 9, 7, pattern(9, 7, 6)),
                psdLayer("raw", 3, 4, 12, 5, pattern(12, 5, 7)),
                psdLayer("counted", 0, 0, 4, 2, {})};
    d.layers[1].rle = false;
    d.layers[2].channels = {{2, {0, 1, 0, 3, 0, 2, 0xFD, 0x11, 0x80, 0xFD, 0x22}}};
    const std::vector<uint8_t> bytes = writePsd(d);
    for (size_t n = 0; n <= bytes.size(); ++n) {
        std::unique_ptr<uint8_t[]> exact(new uint8_t[n ? n : 1]);
        std::memcpy(exact.get(), bytes.data(), n);
        const PsdLayers document(exact.get(), n);
        for (int i = 0; i < document.count(); ++i) {
            const LayerPtr whole(document.read(i), freePsdLayer);
            const PsdLayerRows probe(document, i);
            ASSERT_EQ(probe.ok(), whole != nullptr) << n << " " << i;
            if (!whole || !whole->pixels) continue;
            const int width = whole->width, height = whole->height;
            for (int skipped : {0, 1, height / 2, height - 1}) {
                PsdLayerRows rows(document, i);
                rows.skip(skipped);
                std::vector<uint32_t> row(static_cast<size_t>(width));
                for (int y = skipped; y < height; ++y) {
                    rows.next(row.data());
                    ASSERT_EQ(row, std::vector<uint32_t>(whole->pixels + size_t(y) * width,
                                                         whole->pixels + size_t(y + 1) * width))
                        << "cut " << n << " layer " << i << " skipped " << skipped << " row " << y;
                }
            }
        }
    }
}
