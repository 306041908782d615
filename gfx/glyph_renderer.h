// The bitmap-font glyph source: "font.bin", its glyph table and a ring of 16 glyph textures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/render_device.h"

constexpr int kGlyphCacheSlots = 16;

class GlyphRenderer {
public:
    // Loads "font.bin" from the archives (a missing file ends the program) and creates the
    // glyph textures (a failure shows a message and ends the program with exit code -1).
    explicit GlyphRenderer(RenderDevice* device);
    // The same from font bytes: takes over `fontData`, a malloc buffer of `size` bytes.
    GlyphRenderer(RenderDevice* device, char* fontData, size_t size);
    ~GlyphRenderer();
    GlyphRenderer(const GlyphRenderer&) = delete;
    GlyphRenderer& operator=(const GlyphRenderer&) = delete;

    // The next texture of the ring, filled with the glyph of `code` as white with the glyph's
    // alpha, or opaque white where the font has no glyph for it.
    Texture* glyphTexture(uint16_t code);

    // The glyph's size x size alpha bytes, or null.
    const uint8_t* glyph(uint16_t code) const { return table_[code]; }
    int32_t glyphSize() const { return size_; }
    int32_t glyphCount() const { return count_; }
    uint16_t lastCode() const { return lastCode_; }
    Texture* cacheTexture(int slot) const;

private:
    void build(char* fontData, size_t size);

    RenderDevice* device_;
    std::unique_ptr<Texture> cache_[kGlyphCacheSlots];
    uint32_t nextSlot_ = 0;
    int32_t size_ = 0;
    uint16_t lastCode_ = 0;
    char* data_ = nullptr;
    std::unique_ptr<const uint8_t*[]> table_;
    int32_t count_ = 0;
};

// Starts reading "font.bin" from the archives on a thread of its own, so that the read overlaps
// the window's and the device's creation; the next glyph renderer made from the archives takes
// what it read (and reads it itself when nothing was found, for loadFile's message). Until then
// nothing else may look files up: the catalogue is not shared between threads.
void prefetchFont();

// "フォント表示用テクスチャの確保に失敗しました。\n終了します。" in CP932.
extern const char kGlyphTextureFailureMessage[];
