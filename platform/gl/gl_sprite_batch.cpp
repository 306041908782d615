// Sprite quads of small textures drawn from shelves of pictures, held back across texture changes.
#include "platform/gl/gl_sprite_batch.h"

#include <algorithm>

#include "platform/gl/gl_resources.h"

namespace {
// Textures up to this many texels are shelved (glyphs are 32 x 32).
constexpr int kMaxShelvedTexels = 64 * 64;
// Texels a shelf holds at most, and shelves (sizes) at most; other textures draw as they are.
constexpr int kShelfTexels = 1 << 20;
constexpr size_t kMaxShelves = 8;
constexpr int kMaxShelfLayers = 1024;
}  // namespace

void GlSpriteBatch::forget() {
    for (auto& shelf : shelves_) shelf->forget();
}

GlTextureShelf* GlSpriteBatch::shelfFor(int width, int height) {
    if (width * height > kMaxShelvedTexels) return nullptr;
    for (auto& shelf : shelves_)
        if (shelf->width() == width && shelf->height() == height) return shelf.get();
    if (shelves_.size() == kMaxShelves) return nullptr;
    GLint maxLayers = 0;
    glGetIntegerv(GL_MAX_ARRAY_TEXTURE_LAYERS, &maxLayers);
    const int layers = std::min({kMaxShelfLayers, int(maxLayers), kShelfTexels / (width * height)});
    if (layers < 1) return nullptr;
    shelves_.push_back(std::make_unique<GlTextureShelf>(width, height, layers));
    return shelves_.back().get();
}

int GlSpriteBatch::layerOf(GlTexture& texture, GlTextureShelf& shelf) {
    GlTexture::ShelfPlace& place = texture.shelfPlace();
    if (!place.changed && place.layer >= 0 && place.layer < shelf.layers() &&
        shelf.stamp(place.layer) == place.stamp)
        return place.layer;
    const uint32_t* pixels = texture.pixels().data();
    const size_t hash = pictureHash(pixels, texture.pixels().size());
    int layer = shelf.find(hash, pixels);
    if (layer < 0) {
        layer = shelf.leastRecentlyUsed();
        // Every layer is named by quads held back: draw them before one is overwritten.
        if (shelf.lastUse(layer) > flushedAt_) flush();
        shelf.store(layer, hash, pixels);
    }
    place = {false, layer, shelf.stamp(layer)};
    return layer;
}

bool GlSpriteBatch::add(GlTexture& texture, const SpriteVertex* vertices, uint32_t quadCount,
                        const D3DVIEWPORT8& viewport) {
    GlTextureShelf* shelf = shelfFor(texture.width(), texture.height());
    if (!shelf) return false;
    uint32_t texel = 0;
    if (shortcuts_ && texture.solidBinary(&texel)) {
        if (!solid_) {
            flush();
            solid_ = true;
        }
        if (vertices_.empty()) viewport_ = viewport;
        // Texel channels are 0 or 255, that is 0.0 or 1.0 exactly when sampled: the product
        // with the colour keeps a colour channel or zeroes it.
        for (uint32_t i = 0; i < quadCount * 4; ++i) {
            ShelfVertex v{vertices[i], 0.0f};
            v.sprite.colour &= texel;
            vertices_.push_back(v);
        }
        return true;
    }
    if (solid_) {
        flush();
        solid_ = false;
    }
    if (shelf != current_) {
        flush();
        current_ = shelf;
    }
    const int layer = layerOf(texture, *shelf);
    shelf->touch(layer, ++tick_);
    if (vertices_.empty()) viewport_ = viewport;
    for (uint32_t i = 0; i < quadCount * 4; ++i)
        vertices_.push_back({vertices[i], static_cast<float>(layer)});
    return true;
}

void GlSpriteBatch::flush() {
    const auto quads = static_cast<uint32_t>(vertices_.size() / 4);
    if (!vertices_.empty()) {
        if (solid_)
            pass_.drawSolid(vertices_.data(), quads, viewport_);
        else
            pass_.drawLayered(current_->name(), vertices_.data(), quads, viewport_);
    }
    vertices_.clear();
    flushedAt_ = tick_;
}
