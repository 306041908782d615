// PNG output keeps every pixel, alpha included, and is readable by ImageMagick.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/test_files.h"
#include "tools/writers/png_writer.h"

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
    const std::string command = "/usr/bin/convert " + path + " -format '%w %h %[pixel:p{0,0}]' info:";
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
