// The glyph renderer: the "font.bin" glyph table and the ring of glyph textures.
//
// "font.bin" (little-endian): 0 not read (4), glyph count (signed 32), glyph size s (32),
// not read (4), then count records of { code (16), s x s alpha bytes, top row first }.
// Only whole records inside the file are used; a code that occurs twice keeps the later one.
#include "gfx/glyph_renderer.h"

#include <cstdlib>
#include <cstring>
#include <future>

#include "archive/byte_cursor.h"
#include "archive/catalogue.h"
#include "platform/message_box.h"

const char kGlyphTextureFailureMessage[] =
    "\x83\x74\x83\x48\x83\x93\x83\x67\x95\x5C\x8E\xA6\x97\x70\x83\x65\x83\x4E\x83\x58\x83\x60"
    "\x83\x83\x82\xCC\x8A\x6D\x95\xDB\x82\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC\x82\xB5\x82\xBD"
    "\x81\x42\n\x8F\x49\x97\xB9\x82\xB5\x82\xDC\x82\xB7\x81\x42";

namespace {
// Glyph sizes beyond this cannot be meant; they are refused like a texture that cannot be made.
constexpr int32_t kMaxGlyphSize = 256;

struct FontBytes {
    std::unique_ptr<char, decltype(&std::free)> data{nullptr, &std::free};
    size_t size = 0;
};

// The read prefetchFont started, until a glyph renderer takes it.
std::future<FontBytes>& prefetchedFont() {
    static std::future<FontBytes> font;
    return font;
}
}  // namespace

void prefetchFont() {
    prefetchedFont() = std::async(std::launch::async, [] {
        FontBytes font;
        font.data.reset(findFile("font.bin", &font.size));
        return font;
    });
}

GlyphRenderer::GlyphRenderer(RenderDevice* device) : device_(device) {
    size_t size = 0;
    char* data = nullptr;
    if (prefetchedFont().valid()) {
        FontBytes font = prefetchedFont().get();
        size = font.size;
        data = font.data.release();
    }
    if (!data) data = loadFile("font.bin", &size);
    build(data, size);
}

GlyphRenderer::GlyphRenderer(RenderDevice* device, char* fontData, size_t size) : device_(device) {
    build(fontData, size);
}

GlyphRenderer::~GlyphRenderer() {
    std::free(data_);
}

void GlyphRenderer::build(char* fontData, size_t size) {
    data_ = fontData;
    if (!data_) size = 0;
    ByteCursor header(reinterpret_cast<const uint8_t*>(data_), size);
    header.skip(4);
    const int32_t declared = header.i32();
    size_ = header.i32();
    table_ = std::make_unique<const uint8_t*[]>(65536);
    if (size_ > 0 && size_ <= kMaxGlyphSize && size > 16 && declared > 0) {
        const size_t record = 2 + static_cast<size_t>(size_) * static_cast<size_t>(size_);
        const size_t whole = (size - 16) / record;
        count_ = static_cast<size_t>(declared) < whole ? declared : static_cast<int32_t>(whole);
        const auto* at = reinterpret_cast<const uint8_t*>(data_) + 16;
        for (int32_t i = 0; i < count_; ++i, at += record)
            table_[uint16_t{at[0]} | uint16_t(at[1] << 8)] = at + 2;
    }

    for (std::unique_ptr<Texture>& texture : cache_) {
        const bool made =
            size_ > 0 && size_ <= kMaxGlyphSize && device_ &&
            SUCCEEDED(device_->createTexture(uint32_t(size_), uint32_t(size_), 1, 0,
                                             D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture)) &&
            texture;
        if (!made) fatalError(kGlyphTextureFailureMessage, "TR2 System");
    }
    nextSlot_ = 0;
}

Texture* GlyphRenderer::cacheTexture(int slot) const {
    return slot >= 0 && slot < kGlyphCacheSlots ? cache_[slot].get() : nullptr;
}

Texture* GlyphRenderer::glyphTexture(uint16_t code) {
    Texture* texture = cache_[nextSlot_ % kGlyphCacheSlots].get();
    lastCode_ = code;
    D3DLOCKED_RECT locked;
    if (SUCCEEDED(texture->lockRect(0, &locked, nullptr, D3DLOCK_NO_DIRTY_UPDATE))) {
        const uint8_t* alpha = table_[code];
        for (int32_t y = 0; y < size_; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) +
                                                    size_t(y) * locked.Pitch);
            if (!alpha) {
                for (int32_t x = 0; x < size_; ++x) row[x] = 0xFFFFFFFF;
                continue;
            }
            const uint8_t* source = alpha + size_t(y) * size_;
            for (int32_t x = 0; x < size_; ++x) row[x] = uint32_t{source[x]} << 24 | 0x00FFFFFF;
        }
        texture->unlockRect(0);
    }
    texture->addDirtyRect(nullptr);
    nextSlot_ = nextSlot_ % kGlyphCacheSlots + 1;
    return texture;
}
