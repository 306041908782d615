// A 2D array texture of small pictures of one size, found by hash and confirmed texel by texel.
#include "platform/gl/gl_texture_shelf.h"

#include <atomic>
#include <cstring>
#include <string_view>

namespace {
std::atomic<uint64_t> nextStamp{1};
}

size_t pictureHash(const uint32_t* pixels, size_t count) {
    // Four independent multiply-xorshift lanes over 64-bit words, so that the multiplies overlap.
    constexpr uint64_t kPrime = 0x9E3779B97F4A7C15ull;
    uint64_t lanes[4] = {count, 1, 2, 3};
    size_t i = 0;
    for (; i + 8 <= count; i += 8)
        for (size_t k = 0; k < 4; ++k) {
            uint64_t word;
            std::memcpy(&word, pixels + i + 2 * k, sizeof word);
            lanes[k] = (lanes[k] ^ word) * kPrime;
            lanes[k] ^= lanes[k] >> 31;
        }
    for (; i < count; ++i) lanes[i % 4] = (lanes[i % 4] ^ pixels[i]) * kPrime;
    uint64_t h = 0;
    for (uint64_t lane : lanes) h = (h ^ lane ^ (lane >> 29)) * kPrime;
    return static_cast<size_t>(h ^ (h >> 32));
}

GlTextureShelf::GlTextureShelf(int width, int height, int layers)
    : width_(width),
      height_(height),
      layers_(layers),
      hashes_(size_t(layers), 0),
      lastUse_(size_t(layers), 0),
      stamps_(size_t(layers), 0) {
    glGenTextures(1, &name_);
    glBindTexture(GL_TEXTURE_2D_ARRAY, name_);
    glTexImage3D(GL_TEXTURE_2D_ARRAY, 0, GL_RGBA8, width, height, layers, 0, GL_BGRA,
                 GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

GlTextureShelf::~GlTextureShelf() {
    if (name_) glDeleteTextures(1, &name_);
}

int GlTextureShelf::find(size_t hash, const uint32_t* pixels) const {
    const auto [first, last] = byHash_.equal_range(hash);
    for (auto it = first; it != last; ++it)
        if (std::memcmp(copies_.data() + size_t(it->second) * texels(), pixels,
                        texels() * sizeof(uint32_t)) == 0)
            return it->second;
    return -1;
}

int GlTextureShelf::leastRecentlyUsed() const {
    int oldest = 0;
    for (int layer = 1; layer < layers_; ++layer)
        if (lastUse_[size_t(layer)] < lastUse_[size_t(oldest)]) oldest = layer;
    return oldest;
}

void GlTextureShelf::store(int layer, size_t hash, const uint32_t* pixels) {
    const size_t at = size_t(layer);
    if (stamps_[at]) {
        const auto [first, last] = byHash_.equal_range(hashes_[at]);
        for (auto it = first; it != last; ++it)
            if (it->second == layer) {
                byHash_.erase(it);
                break;
            }
    }
    if (copies_.size() < (at + 1) * texels()) copies_.resize((at + 1) * texels());
    std::memcpy(copies_.data() + at * texels(), pixels, texels() * sizeof(uint32_t));
    hashes_[at] = hash;
    stamps_[at] = nextStamp++;
    byHash_.emplace(hash, layer);

    glBindTexture(GL_TEXTURE_2D_ARRAY, name_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexSubImage3D(GL_TEXTURE_2D_ARRAY, 0, 0, 0, layer, width_, height_, 1, GL_BGRA,
                    GL_UNSIGNED_INT_8_8_8_8_REV, pixels);
}
