// Text drawn through the real device: glyph placement and scale, shadow, colours, wrapping.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/support/headless_device.h"
#include "tests/support/test_font.h"

namespace {
constexpr D3DCOLOR kClear = 0xFF404040;

std::string glyphs(std::initializer_list<uint16_t> codes) {
    std::string s;
    for (uint16_t c : codes) s += {char(c >> 8), char(c & 0xFF)};
    return s;
}

const std::string kFull = glyphs({kFullGlyph});

void frame(HeadlessDevice& d, const std::function<void()>& draw) {
    d.graphics->beginFrame(kClear);
    d.graphics->sprite()->Begin();
    draw();
    d.graphics->sprite()->End();
    d.readBack();
}

uint32_t rgb(HeadlessDevice& d, float x, float y) {
    return d.pixel(int(x), int(y)) & 0xFFFFFF;
}
}  // namespace

TEST(Text, GlyphPlacementScaleAndShadowFollowTheBackBuffer) {
    // At 1600 x 1200 a glyph of size 26 is scaled by 26 x 2 / 32 and its shadow lies 4 pixels off.
    for (const int width : {800, 1600}) {
        SCOPED_TRACE(width);
        HeadlessDevice d(width, width * 3 / 4);
        ASSERT_TRUE(d.ok());
        ASSERT_NE(d.graphics->glyphRenderer(), nullptr);
        const float k = width / 800.0f;
        frame(d, [&] { d.graphics->drawGlyph(100, 50, 0xFFFFFFFF, kLeftHalfGlyph, 26); });
        // The glyph covers 26 k pixels from (100 k, 50 k); its left half is opaque.
        EXPECT_EQ(rgb(d, 101 * k, 51 * k), 0xFFFFFFu);
        EXPECT_EQ(rgb(d, 112 * k, 75 * k), 0xFFFFFFu);
        EXPECT_EQ(rgb(d, 99 * k, 60 * k), kClear & 0xFFFFFF);
        // The shadow: black, 2 k further right and down, seen where the text is clear.
        EXPECT_EQ(rgb(d, 106 * k, 77.5f * k), 0u);
        EXPECT_EQ(rgb(d, 114 * k, 60 * k), 0u);
        EXPECT_EQ(rgb(d, 106 * k, 78.5f * k), kClear & 0xFFFFFF);
        EXPECT_EQ(rgb(d, 120 * k, 60 * k), kClear & 0xFFFFFF);
    }
}

TEST(Text, FullSizeGlyphIsThirtyTwoPixelsAtTheDesignSize) {
    HeadlessDevice d;
    ASSERT_TRUE(d.ok());
    frame(d, [&] { d.graphics->drawGlyph(10, 20, 0xFF20C040, kFullGlyph, 32); });
    EXPECT_EQ(rgb(d, 10, 20), 0x20C040u);
    EXPECT_EQ(rgb(d, 41, 51), 0x20C040u);
    EXPECT_EQ(rgb(d, 42, 51), 0u);  // shadow
    EXPECT_EQ(rgb(d, 44, 51), kClear & 0xFFFFFF);
    EXPECT_EQ(rgb(d, 9, 20), kClear & 0xFFFFFF);
}

TEST(Text, NameLineColoursAndLineFeed) {
    HeadlessDevice d;
    ASSERT_TRUE(d.ok());
    const D3DCOLOR colour = 0xFF30A050;
    struct Case {
        std::string text;
        uint32_t first, second, nextLine1, nextLine2;
    } cases[] = {
        // "_", the player's name between 0x01 and CR, a line feed, then the body.
        {"_\x01" + kFull + kFull + "\r\n" + kFull + kFull, 0x8BB8FB, 0x8BB8FB, 0x30A050, 0x30A050},
        {"_\x02" + kFull + "\r" + kFull + "\n" + kFull + kFull, 0xFA8989, 0x30A050, 0x30A050,
         0x30A050},
        // 0x01 and 0x02 off the name line change nothing.
        {"\x01" + kFull + "\x02" + kFull + "\n" + kFull + "\x01" + kFull, 0x30A050, 0x30A050,
         0x30A050, 0x30A050},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        frame(d, [&] { d.graphics->drawText(200, 100, colour, c.text.c_str()); });
        const bool named = c.text[0] == '_';
        const float x = named ? 192 : 200;  // the name line starts 8 design pixels left
        EXPECT_EQ(rgb(d, x + 13, 113), c.first);
        EXPECT_EQ(rgb(d, x + 25 + 13, 113), c.second);
        // The next line starts at x again, 29 design pixels lower.
        EXPECT_EQ(rgb(d, 200 + 13, 113 + 29), c.nextLine1);
        EXPECT_EQ(rgb(d, 200 + 25 + 13, 113 + 29), c.nextLine2);
        EXPECT_EQ(rgb(d, 200 + 50 + 13, 113 + 29), kClear & 0xFFFFFF);
    }
}

TEST(Text, WrapKeepsAFullStopOnTheLineAndMaxGlyphsStops) {
    HeadlessDevice d;
    ASSERT_TRUE(d.ok());
    const std::string stop = glyphs({kFullStopGlyph});
    struct Case {
        std::string text;
        int perLine, maxGlyphs;
        std::vector<std::pair<int, int>> drawn;  // (column, line) of each full glyph cell seen
        std::vector<std::pair<int, int>> empty;
    } cases[] = {
        // Four characters with "。" fourth all stay on the first line; the wrap follows it.
        {kFull + kFull + kFull + stop + kFull,
         3,
         0xFFFF,
         {{0, 0}, {2, 0}, {0, 1}},
         {{1, 1}, {4, 0}}},
        // Without it the fourth character wraps.
        {kFull + kFull + kFull + kFull, 3, 0xFFFF, {{2, 0}, {0, 1}}, {{3, 0}, {1, 1}}},
        // maxGlyphs stops after that many characters; below 0 and at 0 nothing is drawn.
        {kFull + kFull + kFull, 0xFFFF, 2, {{0, 0}, {1, 0}}, {{2, 0}}},
        {kFull + kFull, 0xFFFF, -1, {}, {{0, 0}, {1, 0}}},
        {kFull + kFull, 0xFFFF, 0, {}, {{0, 0}, {1, 0}}},
        // A lead byte without its trail byte ends the text.
        {kFull + "\x88", 0xFFFF, 0xFFFF, {{0, 0}}, {{1, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.perLine * 1000 + c.maxGlyphs);
        frame(d, [&] {
            d.graphics->drawText(300, 200, 0xFFFFFFFF, c.text.c_str(), -1, c.perLine, c.maxGlyphs);
        });
        for (auto [column, line] : c.drawn)
            EXPECT_EQ(rgb(d, 300 + 25 * column + 8, 200 + 29 * line + 8), 0xFFFFFFu)
                << column << "," << line;
        for (auto [column, line] : c.empty)
            EXPECT_EQ(rgb(d, 300 + 25 * column + 8, 200 + 29 * line + 8), kClear & 0xFFFFFF)
                << column << "," << line;
    }
    // The full stop itself sits in the fourth cell of the first line (its bottom-right quarter).
    frame(d, [&] {
        d.graphics->drawText(300, 200, 0xFFFFFFFF, (kFull + kFull + kFull + stop).c_str(), -1, 3,
                             0xFFFF);
    });
    EXPECT_EQ(rgb(d, 300 + 75 + 20, 200 + 20), 0xFFFFFFu);
}

TEST(Text, CharactersWithoutAGlyphAreSolidSquares) {
    HeadlessDevice d;
    ASSERT_TRUE(d.ok());
    // "い" has no glyph; a half-width "A" pairs with the next byte into a code without one.
    for (const std::string& text : {glyphs({kMissingGlyph}), std::string("AB")}) {
        frame(d, [&] { d.graphics->drawText(50, 60, 0xFFFF0000, text.c_str()); });
        EXPECT_EQ(rgb(d, 50 + 2, 60 + 2), 0xFF0000u);
        EXPECT_EQ(rgb(d, 50 + 23, 60 + 23), 0xFF0000u);
        EXPECT_EQ(rgb(d, 50 + 30, 60 + 10), kClear & 0xFFFFFF);
    }
    // A glyph that exists keeps its shape: the left-half glyph is clear on its right.
    frame(d, [&] { d.graphics->drawText(50, 60, 0xFFFF0000, glyphs({kLeftHalfGlyph}).c_str()); });
    EXPECT_EQ(rgb(d, 50 + 20, 60 + 10), kClear & 0xFFFFFF);
}
