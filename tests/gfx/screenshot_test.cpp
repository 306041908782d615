// Screenshots: names, BMP header, bottom-up rows and padding, from a frame drawn on the device.
#include <gtest/gtest.h>

#include <cstring>

#include "gfx/screenshot.h"
#include "tests/support/headless_device.h"
#include "tests/support/test_files.h"

namespace {
uint32_t u32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t u16(const std::vector<uint8_t>& b, size_t at) { return b[at] | (b[at + 1] << 8); }
}  // namespace

TEST(Screenshot, NamesKeepTheRunStampAndCount) {
    resetScreenshotNames(0x1234ABC);
    EXPECT_STREQ(nextScreenshotName(), "screenshot/ 1234ABC_0000.bmp");
    EXPECT_STREQ(nextScreenshotName(), "screenshot/ 1234ABC_0001.bmp");
    resetScreenshotNames(0x6A000000);
    EXPECT_STREQ(nextScreenshotName(), "screenshot/6A000000_0000.bmp");
}

TEST(Screenshot, WritesTheBackBufferBottomUpWithPaddedRows) {
    const auto folder = freshTestFolder();
    ScopedCurrentPath here(folder);
    // 322 pixels give rows of 966 bytes, padded to 968.
    HeadlessDevice d(322, 241);
    ASSERT_TRUE(d.ok());
    auto red = solidTexture(d.device(), 1, 1, 0xFFFF0000);
    auto blue = solidTexture(d.device(), 1, 1, 0xFF0000FF);
    d.device()->clear(D3DCLEAR_TARGET, 0xFF102030, 1.0f, 0);
    const D3DXVECTOR2 topLeft{0, 0}, bottomRight{321, 240};
    d.graphics->sprite()->Draw(red.get(), nullptr, nullptr, nullptr, 0, &topLeft, 0xFFFFFFFF);
    d.graphics->sprite()->Draw(blue.get(), nullptr, nullptr, nullptr, 0, &bottomRight, 0xFFFFFFFF);

    resetScreenshotNames(0xABCDEF01);
    d.graphics->takeScreenshot();
    const auto file = readBytes(folder / "screenshot/ABCDEF01_0000.bmp");
    ASSERT_EQ(file.size(), 54u + 968u * 241u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(u32(file, 2), file.size());
    EXPECT_EQ(u32(file, 10), 54u);
    EXPECT_EQ(u32(file, 14), 40u);
    EXPECT_EQ(u32(file, 18), 322u);
    EXPECT_EQ(u32(file, 22), 241u);
    EXPECT_EQ(u16(file, 26), 1u);
    EXPECT_EQ(u16(file, 28), 24u);
    for (size_t at = 30; at < 54; at += 4) EXPECT_EQ(u32(file, at), 0u) << at;
    // The file's first row is the image's bottom row: blue in its last pixel.
    const uint8_t* bottom = file.data() + 54;
    EXPECT_EQ(bottom[321 * 3 + 0], 0xFF);
    EXPECT_EQ(bottom[321 * 3 + 2], 0x00);
    EXPECT_EQ(bottom[0], 0x30);  // blue, green, red of the clear colour
    EXPECT_EQ(bottom[1], 0x20);
    EXPECT_EQ(bottom[2], 0x10);
    EXPECT_EQ(bottom[966], 0);
    EXPECT_EQ(bottom[967], 0);
    const uint8_t* top = file.data() + 54 + 968 * 240;
    EXPECT_EQ(top[2], 0xFF);
    EXPECT_EQ(top[0], 0x00);

    d.graphics->takeScreenshot();
    EXPECT_TRUE(std::filesystem::exists(folder / "screenshot/ABCDEF01_0001.bmp"));
}

TEST(Screenshot, SixteenBitBackBuffersAreNotSaved) {
    BackBufferImage image;
    image.width = 4;
    image.height = 2;
    image.pitch = 8;
    image.format = D3DFMT_R5G6B5;
    image.bytes.assign(16, 0);
    EXPECT_TRUE(encodeScreenshot(image).empty());
    image.format = D3DFMT_X8R8G8B8;
    image.pitch = 16;
    image.bytes.assign(32, 0);
    EXPECT_EQ(encodeScreenshot(image).size(), 54u + 12u * 2u);
}
