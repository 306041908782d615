// Fuzz harness: the bitmap font "font.bin", with glyphs drawn into the texture ring.
#include <cstdlib>
#include <cstring>

#include "gfx/glyph_renderer.h"
#include "platform/null_render_device.h"
#include "tests/fuzz/fuzz_support.h"

namespace {
// Glyph sizes that give the cache textures; any other ends the game with a message.
constexpr int32_t kLargestGlyph = 256;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static NullRenderDevice device;
    int32_t glyphSize = 0;
    if (size >= 12) std::memcpy(&glyphSize, data + 8, 4);
    if (glyphSize < 1 || glyphSize > kLargestGlyph) return 0;
    {
        GlyphRenderer font(&device, contentBlock(data, size), size);
        // The first glyphs of the table, one code it lacks, and the last code.
        int drawn = 0;
        for (uint32_t code = 0; code < 65536 && drawn < 20; ++code)
            if (font.glyph(static_cast<uint16_t>(code))) {
                font.glyphTexture(static_cast<uint16_t>(code));
                ++drawn;
            }
        font.glyphTexture(0x8140);
        font.glyphTexture(0xFFFF);
    }
    return 0;
}
