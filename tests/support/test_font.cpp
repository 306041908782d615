// The headless devices' font.
#include "tests/support/test_font.h"

#include "tools/writers/font_writer.h"

std::vector<uint8_t> testFontBytes() {
    auto glyph = [](uint16_t code, auto opaque) {
        FontGlyph g{code, std::vector<uint8_t>(32 * 32)};
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) g.alpha[y * 32 + x] = opaque(x, y) ? 255 : 0;
        return g;
    };
    std::vector<FontGlyph> glyphs = {
        glyph(kFullGlyph, [](int, int) { return true; }),
        glyph(kLeftHalfGlyph, [](int x, int) { return x < 16; }),
        glyph(kFullStopGlyph, [](int x, int y) { return x >= 16 && y >= 16; })};
    uint32_t noise = 12345;
    for (int i = 0; i < kShadedGlyphCount; ++i) {
        FontGlyph g{uint16_t(kShadedGlyphFirst + i), std::vector<uint8_t>(32 * 32)};
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                noise = noise * 214013 + 2531011;
                g.alpha[y * 32 + x] = uint8_t((x * 7 + y * (i + 1)) ^ (noise >> 16));
            }
        glyphs.push_back(g);
    }
    return writeFont(32, glyphs);
}
