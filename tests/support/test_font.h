// The small "font.bin" that headless devices load: a few glyphs with patterns tests can see.
#pragma once

#include <cstdint>
#include <vector>

// "亜": every texel opaque.
constexpr uint16_t kFullGlyph = 0x889F;
// "あ": the left half opaque, the right half clear.
constexpr uint16_t kLeftHalfGlyph = 0x82A0;
// "。": the bottom-right quarter opaque.
constexpr uint16_t kFullStopGlyph = 0x8142;
// "い": no glyph in the font.
constexpr uint16_t kMissingGlyph = 0x82A2;
// "ァ" onwards: glyphs of uneven alpha everywhere up to their edges, each one different, for
// tests that compare filtered pictures pixel for pixel.
constexpr uint16_t kShadedGlyphFirst = 0x8340;
constexpr int kShadedGlyphCount = 48;

std::vector<uint8_t> testFontBytes();
