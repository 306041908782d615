// The "font.bin" writer.
#include "tools/writers/font_writer.h"

#include "tools/writers/byte_writer.h"

std::vector<uint8_t> writeFont(int32_t glyphSize, const std::vector<FontGlyph>& glyphs) {
    ByteWriter out;
    out.u32le(0);
    out.i32le(static_cast<int32_t>(glyphs.size()));
    out.i32le(glyphSize);
    out.u32le(0);
    const size_t area = glyphSize > 0 ? static_cast<size_t>(glyphSize) * glyphSize : 0;
    for (const FontGlyph& g : glyphs) {
        out.u16le(g.code);
        for (size_t i = 0; i < area; ++i) out.u8(i < g.alpha.size() ? g.alpha[i] : 0);
    }
    return out.bytes;
}
