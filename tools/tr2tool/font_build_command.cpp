// tr2tool font-build: "font.bin" from a TrueType font, one 32 x 32 glyph per JIS X 0208 character.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/encoding.h"
#include "tools/tr2tool/command.h"
#include "tools/writers/font_writer.h"

namespace {
constexpr int kGlyphSize = 32;
// The em square in pixels: the glyph cell keeps a pixel of room on each side.
constexpr int kEmPixels = 30;

// The JIS X 0208 rows in CP932: lead bytes 0x81-0x9F and 0xE0-0xEA, trail bytes 0x40-0xFC
// without 0x7F. Every pair that CP932 defines counts (row 13's NEC symbols included).
std::vector<uint16_t> jisCodes() {
    std::vector<uint16_t> codes;
    for (int lead = 0x81; lead <= 0xEA; ++lead) {
        if (lead > 0x9F && lead < 0xE0) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail)
            if (trail != 0x7F) codes.push_back(static_cast<uint16_t>(lead << 8 | trail));
    }
    return codes;
}

std::string utf8Of(uint16_t code) {
    const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    return cp932ToUtf8(std::string_view(bytes, 2));
}

// Renders one character into the cell: the em square centred, every glyph on one baseline
// and placed by its own bearing, so that a line of text keeps an even rhythm.
bool renderGlyph(FT_Face face, char32_t codePoint, int baseline, std::vector<uint8_t>* alpha) {
    const FT_UInt index = FT_Get_Char_Index(face, codePoint);
    if (index == 0) return false;
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) ||
        FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL))
        return false;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    const int advance = static_cast<int>((slot->advance.x + 32) >> 6);
    const int originX = (kGlyphSize - advance) / 2 + slot->bitmap_left;
    const int originY = baseline - slot->bitmap_top;
    alpha->assign(kGlyphSize * kGlyphSize, 0);
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        const int y = originY + static_cast<int>(row);
        if (y < 0 || y >= kGlyphSize) continue;
        for (unsigned column = 0; column < bitmap.width; ++column) {
            const int x = originX + static_cast<int>(column);
            if (x < 0 || x >= kGlyphSize) continue;
            (*alpha)[y * kGlyphSize + x] = bitmap.buffer[row * bitmap.pitch + column];
        }
    }
    return true;
}

int run(const std::vector<std::string>& args) {
    if (args.size() != 2) return kToolUsage;
    FT_Library library;
    if (FT_Init_FreeType(&library)) {
        std::fprintf(stderr, "font-build: FreeType cannot start\n");
        return kToolFailure;
    }
    FT_Face face;
    if (FT_New_Face(library, args[0].c_str(), 0, &face) || FT_Set_Pixel_Sizes(face, 0, kEmPixels)) {
        std::fprintf(stderr, "%s: not a font FreeType can read\n", args[0].c_str());
        FT_Done_FreeType(library);
        return kToolFailure;
    }
    // The ideographic em box: 0.88 em above the baseline, 0.12 em below, centred in the cell.
    const int top = (kGlyphSize - kEmPixels) / 2;
    const int baseline = top + (kEmPixels * 88 + 50) / 100;

    std::vector<FontGlyph> glyphs;
    int lacking = 0;
    for (uint16_t code : jisCodes()) {
        const char32_t codePoint = cp932CodePoint(code);
        if (codePoint == 0) continue;
        FontGlyph glyph;
        glyph.code = code;
        if (!renderGlyph(face, codePoint, baseline, &glyph.alpha)) {
            std::printf("missing %04X U+%04X %s\n", code, static_cast<unsigned>(codePoint),
                        utf8Of(code).c_str());
            ++lacking;
            continue;
        }
        glyphs.push_back(std::move(glyph));
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    const std::vector<uint8_t> bytes = writeFont(kGlyphSize, glyphs);
    std::ofstream out(args[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot be written\n", args[1].c_str());
        std::error_code error;
        std::filesystem::remove(args[1], error);
        return kToolFailure;
    }
    std::printf("%zu glyphs of %d x %d, %d characters missing from the font\n", glyphs.size(),
                kGlyphSize, kGlyphSize, lacking);
    return kToolOk;
}
}  // namespace

extern const ToolCommand kFontBuildCommand = {
    "font-build",
    "render \"font.bin\" (32 x 32 glyphs of JIS X 0208) from a TrueType font",
    "usage: tr2tool font-build FONT.ttf OUT.bin\n"
    "\n"
    "Renders every double-byte CP932 character of the JIS X 0208 rows (lead bytes 0x81-0x9F\n"
    "and 0xE0-0xEA) with FreeType into a 32 x 32 alpha glyph, the em square centred and every\n"
    "glyph on one baseline, and writes them as the bitmap font OUT.bin. Prints each character\n"
    "the font lacks and the glyph count.\n"
    "\n"
    "arguments:\n"
    "  FONT.ttf  a TrueType or OpenType font\n"
    "  OUT.bin   the bitmap font to write\n"
    "\n"
    "exit codes:\n"
    "  0  written\n"
    "  1  unreadable font or unwritable output\n"
    "  2  wrong arguments\n",
    run,
};
