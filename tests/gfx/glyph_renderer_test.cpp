// The glyph renderer: the "font.bin" table, the texture ring and its failures.
#include "gfx/glyph_renderer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "archive/catalogue.h"
#include "platform/null_render_device.h"
#include "tests/support/headless_device.h"
#include "tests/support/test_files.h"
#include "tests/support/test_font.h"
#include "tools/writers/archive_writer.h"
#include "tools/writers/font_writer.h"

namespace {
FontGlyph filled(uint16_t code, uint8_t alpha) {
    return {code, std::vector<uint8_t>(32 * 32, alpha)};
}

}  // namespace

TEST(GlyphRenderer, TableKeepsWholeRecordsAndTheLaterOfTwoCodes) {
    HeadlessDevice d(64, 64);
    ASSERT_TRUE(d.ok());
    std::vector<uint8_t> font =
        writeFont(32, {filled(0x8140, 10), filled(0x8141, 20), filled(0x8140, 30)});
    GlyphRenderer r(d.device(), fileBlock(font), font.size());
    EXPECT_EQ(r.glyphSize(), 32);
    EXPECT_EQ(r.glyphCount(), 3);
    ASSERT_NE(r.glyph(0x8140), nullptr);
    EXPECT_EQ(r.glyph(0x8140)[0], 30);
    EXPECT_EQ(r.glyph(0x8141)[1023], 20);
    EXPECT_EQ(r.glyph(0x8142), nullptr);

    // A count larger than the data: only the whole records count; the cut one is not used.
    std::vector<uint8_t> lying =
        writeFont(32, {filled(0x8140, 1), filled(0x8141, 2), filled(0x8142, 3)});
    lying[4] = 200;
    lying.resize(lying.size() - 10);
    GlyphRenderer cut(d.device(), fileBlock(lying), lying.size());
    EXPECT_EQ(cut.glyphCount(), 2);
    EXPECT_NE(cut.glyph(0x8141), nullptr);
    EXPECT_EQ(cut.glyph(0x8142), nullptr);

    // A negative count or a file that ends inside the header: no glyphs.
    std::vector<uint8_t> negative = writeFont(32, {filled(0x8140, 1)});
    negative[7] = 0x80;
    GlyphRenderer none(d.device(), fileBlock(negative), negative.size());
    EXPECT_EQ(none.glyphCount(), 0);
    EXPECT_EQ(none.glyph(0x8140), nullptr);
}

TEST(GlyphRenderer, RingOfSixteenUploadsEveryCall) {
    HeadlessDevice d(64, 64);
    ASSERT_TRUE(d.ok());
    const std::vector<uint8_t> font = testFontBytes();
    GlyphRenderer r(d.device(), fileBlock(font), font.size());
    std::set<Texture*> slots;
    Texture* first = nullptr;
    for (int i = 0; i < kGlyphCacheSlots; ++i) {
        Texture* t = r.glyphTexture(kFullGlyph);  // the same code still takes the next slot
        if (!first) first = t;
        EXPECT_EQ(t, r.cacheTexture(i));
        slots.insert(t);
    }
    EXPECT_EQ(slots.size(), size_t(kGlyphCacheSlots));
    EXPECT_EQ(first->width(), 32);
    EXPECT_EQ(first->format(), D3DFMT_A8R8G8B8);

    // The seventeenth call reuses the first slot, rewritten with the new glyph.
    EXPECT_EQ(r.glyphTexture(kLeftHalfGlyph), first);
    EXPECT_EQ(r.lastCode(), kLeftHalfGlyph);
    std::vector<uint32_t> t = textureTexels(*first);
    EXPECT_EQ(t[5 * 32 + 3], 0xFFFFFFFFu);
    EXPECT_EQ(t[5 * 32 + 20], 0x00FFFFFFu);  // white with alpha 0

    // A code without a glyph is a solid opaque square.
    Texture* missing = r.glyphTexture(kMissingGlyph);
    EXPECT_EQ(textureTexels(*missing), std::vector<uint32_t>(32 * 32, 0xFFFFFFFF));
}

// A font read ahead on its own thread is the one the next renderer from the archives uses; the
// renderer after that reads it itself.
TEST(GlyphRenderer, TakesTheFontReadAhead) {
    const auto folder = freshTestFolder();
    const std::vector<uint8_t> font = testFontBytes();
    std::filesystem::create_directories(folder / "add-ons");
    ASSERT_TRUE(
        writeArchiveFile(folder / "add-ons/font.tr2", "FILE_0=font.bin\n", {{"font.bin", font}}));
    ScopedCurrentPath here(folder);
    buildCatalogue();
    NullRenderDevice device;
    prefetchFont();
    const GlyphRenderer ahead(&device);
    EXPECT_EQ(ahead.glyphCount(), int32_t((font.size() - 16) / (2 + 32 * 32)));
    ASSERT_NE(ahead.glyph(kFullGlyph), nullptr);
    EXPECT_EQ(ahead.glyph(kFullGlyph)[0], 255);
    const GlyphRenderer again(&device);
    EXPECT_EQ(again.glyphCount(), ahead.glyphCount());
}

TEST(GlyphRendererDeathTest, TextureFailureShowsTheMessageAndExitsWithMinusOne) {
    const std::vector<uint8_t> font = testFontBytes();
    NullRenderDevice device;
    device.refuseResources = true;
    EXPECT_EXIT(GlyphRenderer(&device, fileBlock(font), font.size()), testing::ExitedWithCode(255),
                "TR2 System.*フォント表示用テクスチャの確保に失敗しました。");
    // A glyph size no texture is made for ends the same way.
    HeadlessDevice d(64, 64);
    ASSERT_TRUE(d.ok());
    std::vector<uint8_t> zero = writeFont(0, {});
    EXPECT_EXIT(GlyphRenderer(d.device(), fileBlock(zero), zero.size()),
                testing::ExitedWithCode(255), "フォント表示用");
}
