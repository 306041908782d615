// PNG output keeps every pixel, alpha included, and is readable by ImageMagick.
#include "tools/writers/png_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "tests/support/test_files.h"

TEST(PngWriter, RoundTripsArgbPixels) {
    const auto folder = freshTestFolder();
    const uint32_t pixels[] = {0xFFFF0000, 0x8000FF00, 0x000000FF, 0xFF123456, 0x01020304, 0};
    const auto path = (folder / "p.png").string();
    ASSERT_TRUE(writePng(path, 3, 2, pixels));
    int w = 0, h = 0;
    std::vector<uint32_t> back;
    ASSERT_TRUE(readPng(path, &w, &h, &back));
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(back, std::vector<uint32_t>(std::begin(pixels), std::end(pixels)));
    // Another reader agrees on the size and the first pixel.
    const std::string command =
        "/usr/bin/convert " + path + " -format '%w %h %[pixel:p{0,0}]' info:";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[128] = {};
    ASSERT_NE(fgets(buffer, sizeof buffer, pipe), nullptr);
    pclose(pipe);
    EXPECT_EQ(std::string(buffer), "3 2 srgba(255,0,0,1)");
}

TEST(PngWriter, ReportsAnUnwritablePath) {
    const uint32_t pixel = 0;
    std::string error;
    EXPECT_FALSE(writePng("/nonexistent-folder/x.png", 1, 1, &pixel, &error));
    EXPECT_NE(error.find("/nonexistent-folder/x.png"), std::string::npos);
}

// The fast encoder's files (one filter, a quick deflate) are ordinary PNG: ImageMagick and
// libpng read every pixel back, also when the picture was deflated in bands apart, and the
// row-by-row writer gives the same file as the whole-picture one.
TEST(PngWriter, FastFilesReadBackExactlyInImageMagick) {
    const auto folder = freshTestFolder();
    const struct { int width, height; } sizes[] = {{1, 1}, {3, 5}, {257, 3}, {64, 64}};
    for (const auto& size : sizes) {
        std::vector<uint32_t> pixels(size_t(size.width) * size.height);
        uint32_t seed = uint32_t(size.width * 31 + size.height);
        for (size_t i = 0; i < pixels.size(); ++i) {
            seed = seed * 1664525u + 1013904223u;
            // Runs of one colour, as drawn art has, between noisy stretches.
            pixels[i] = (i / 7) % 3 == 0 ? 0xFF336699u : seed;
        }
        const std::string name = std::to_string(size.width) + "x" + std::to_string(size.height);
        const auto whole = (folder / (name + ".png")).string();
        const auto rows = (folder / (name + "-rows.png")).string();
        ASSERT_TRUE(
            writePng(whole, size.width, size.height, pixels.data(), nullptr, PngEffort::fast));
        ASSERT_TRUE(writePngRows(rows, size.width, size.height,
                                 [&](int y) { return pixels.data() + size_t(y) * size.width; }));
        EXPECT_EQ(readBytes(whole), readBytes(rows)) << name;
        // The same picture in bands deflated apart: half its rows, then two rows at a time.
        std::vector<PngBand> bands;
        for (int top = 0; top < size.height;) {
            const int count =
                bands.empty() ? (size.height + 1) / 2 : std::min(size.height - top, 2);
            const bool last = top + count == size.height;
            bands.emplace_back();
            ASSERT_TRUE(deflatePngBand(
                size.width, count,
                [&](int y) { return pixels.data() + size_t(top + y) * size.width; }, last,
                &bands.back()));
            top += count;
        }
        const auto banded = (folder / (name + "-bands.png")).string();
        ASSERT_TRUE(writePngBands(banded, size.width, size.height, bands));

        for (const std::string& file : {whole, banded}) {
            const std::string command = "/usr/bin/convert " + file + " -depth 8 rgba:-";
            FILE* pipe = popen(command.c_str(), "r");
            ASSERT_NE(pipe, nullptr);
            std::vector<uint8_t> rgba(pixels.size() * 4 + 1);
            const size_t got = fread(rgba.data(), 1, rgba.size(), pipe);
            pclose(pipe);
            ASSERT_EQ(got, pixels.size() * 4) << file;
            std::vector<uint32_t> theirs(pixels.size());
            for (size_t i = 0; i < theirs.size(); ++i)
                theirs[i] = uint32_t(rgba[4 * i + 3]) << 24 | uint32_t(rgba[4 * i]) << 16 |
                            uint32_t(rgba[4 * i + 1]) << 8 | rgba[4 * i + 2];
            EXPECT_EQ(theirs, pixels) << file;
            int w = 0, h = 0;
            std::vector<uint32_t> ours;
            ASSERT_TRUE(readPng(file, &w, &h, &ours));
            EXPECT_EQ(ours, pixels) << file;
        }
    }
}

TEST(PngWriter, FastWriterReportsAnUnwritablePath) {
    const uint32_t pixel = 0xFF000000;
    std::string error;
    EXPECT_FALSE(writePng("/nonexistent-folder/x.png", 1, 1, &pixel, &error, PngEffort::fast));
    EXPECT_NE(error.find("/nonexistent-folder/x.png"), std::string::npos);
}
