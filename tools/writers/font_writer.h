// The bitmap font "font.bin": square 8-bit alpha glyphs keyed by their Shift-JIS code.
#pragma once

#include <cstdint>
#include <vector>

struct FontGlyph {
    uint16_t code = 0;           // lead byte x 256 + trail byte
    std::vector<uint8_t> alpha;  // size x size bytes, top row first
};

// The file: 0, glyph count, glyph size, 0 (little-endian 32-bit each), then per glyph its
// code (16-bit) and size x size alpha bytes (missing bytes written as 0).
std::vector<uint8_t> writeFont(int32_t glyphSize, const std::vector<FontGlyph>& glyphs);
