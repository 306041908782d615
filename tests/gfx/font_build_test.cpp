// tr2tool font-build, run as a program on the IPA Gothic font.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tests/support/test_files.h"
#include "tests/support/tool_run.h"

namespace {
ToolRun run(const std::filesystem::path& folder, const std::string& args) {
    return runTool(folder, args);
}

struct InkBox {
    int left = 32, top = 32, right = -1, bottom = -1;
};

InkBox inkOf(const uint8_t* alpha) {
    InkBox b;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (alpha[y * 32 + x] > 64) {
                b.left = std::min(b.left, x), b.right = std::max(b.right, x);
                b.top = std::min(b.top, y), b.bottom = std::max(b.bottom, y);
            }
    return b;
}

int32_t i32(const std::vector<uint8_t>& b, size_t at) {
    int32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}
}  // namespace

TEST(FontBuild, RendersJisX0208IntoEvenThirtyTwoPixelGlyphs) {
    const auto folder = freshTestFolder();
    const ToolRun r = run(folder, "font-build '" TR2_FONT_FILE "' font.bin");
    ASSERT_EQ(r.code, 0) << r.err;
    const std::vector<uint8_t> font = readBytes(folder / "font.bin");
    ASSERT_GE(font.size(), 16u);
    const int32_t count = i32(font, 4);
    EXPECT_EQ(i32(font, 8), 32);
    // JIS X 0208 has 6879 characters; IPA Gothic draws nearly all of them.
    EXPECT_GT(count, 6800);
    EXPECT_EQ(font.size(), 16 + size_t(count) * (2 + 32 * 32));
    EXPECT_NE(r.out.find(std::to_string(count) + " glyphs"), std::string::npos) << r.out;

    std::map<uint16_t, const uint8_t*> glyphs;
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* record = font.data() + 16 + size_t(i) * (2 + 32 * 32);
        const uint16_t code = uint16_t(record[0] | record[1] << 8);
        EXPECT_TRUE((code >> 8 >= 0x81 && code >> 8 <= 0x9F) ||
                    (code >> 8 >= 0xE0 && code >> 8 <= 0xEA));
        EXPECT_FALSE(glyphs.count(code));
        glyphs[code] = record + 2;
    }
    for (uint16_t code :
         {0x82A0 /* あ */, 0x8CFB /* 口 */, 0x88EA /* 一 */, 0x8341 /* ア */, 0x8260 /* Ａ */,
          0x8142 /* 。 */, 0x8151 /* ＿ */, 0xEAA4 /* the last kanji */})
        ASSERT_TRUE(glyphs.count(code)) << std::hex << code;

    // The em square is centred: a square kanji's ink is centred, a dash sits at mid-height.
    const InkBox box = inkOf(glyphs[0x8CFB]);
    EXPECT_NEAR((box.left + box.right) / 2.0, 15.5, 1.5);
    EXPECT_NEAR((box.top + box.bottom) / 2.0, 15.5, 1.5);
    const InkBox one = inkOf(glyphs[0x88EA]);
    EXPECT_NEAR((one.top + one.bottom) / 2.0, 15.5, 3);
    // Punctuation keeps its place in the em square: the full stop bottom-left, the low line low.
    const InkBox stop = inkOf(glyphs[0x8142]);
    EXPECT_LT(stop.right, 16);
    EXPECT_GT(stop.top, 16);
    EXPECT_GT(inkOf(glyphs[0x8151]).top, 26);
    // Kana share the baseline with kanji: their ink ends within a pixel or two of each other.
    EXPECT_NEAR(inkOf(glyphs[0x82A0]).bottom, box.bottom, 2);
}

TEST(FontBuild, ReportsMissingCharactersAndBadFiles) {
    const auto folder = freshTestFolder();
    ToolRun r = run(folder, "font-build '" TR2_FONT_FILE "' font.bin");
    ASSERT_EQ(r.code, 0);
    // Characters the font lacks are listed one a line by CP932 code and code point.
    int listed = 0;
    for (size_t at = 0; at < r.out.size(); at = r.out.find('\n', at) + 1) {
        if (r.out.compare(at, 8, "missing ") != 0) continue;
        EXPECT_EQ(r.out.compare(at + 12, 3, " U+"), 0) << r.out.substr(at, 30);
        ++listed;
    }
    EXPECT_NE(r.out.find(std::to_string(listed) + " characters missing"), std::string::npos)
        << r.out;

    writeText(folder / "bad.ttf", "not a font");
    r = run(folder, "font-build bad.ttf out.bin");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("bad.ttf"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "out.bin"));
    r = run(folder, "font-build '" TR2_FONT_FILE "' no/such/folder/font.bin");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(run(folder, "font-build only-one-argument").code, 2);
}
