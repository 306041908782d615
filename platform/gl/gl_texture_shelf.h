// A 2D array texture of small pictures of one size, one per layer, found again by their content.
#pragma once

#include <epoxy/gl.h>

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

class GlTextureShelf {
public:
    GlTextureShelf(int width, int height, int layers);
    ~GlTextureShelf();
    GlTextureShelf(const GlTextureShelf&) = delete;
    GlTextureShelf& operator=(const GlTextureShelf&) = delete;
    // Drops the GL name without deleting it (its context is already gone).
    void forget() { name_ = 0; }

    int width() const { return width_; }
    int height() const { return height_; }
    int layers() const { return layers_; }
    GLuint name() const { return name_; }

    // The layer holding exactly `pixels` (width x height A8R8G8B8), or -1.
    int find(size_t hash, const uint32_t* pixels) const;
    // The layer used longest ago; layers never used come first.
    int leastRecentlyUsed() const;
    // Uploads `pixels` into `layer`, replacing its picture and giving it a new stamp.
    void store(int layer, size_t hash, const uint32_t* pixels);
    void touch(int layer, uint64_t tick) { lastUse_[size_t(layer)] = tick; }
    uint64_t lastUse(int layer) const { return lastUse_[size_t(layer)]; }
    // Unique to the picture a layer holds (never reused, not even by another shelf); 0 when empty.
    uint64_t stamp(int layer) const { return stamps_[size_t(layer)]; }

private:
    size_t texels() const { return size_t(width_) * size_t(height_); }

    int width_, height_, layers_;
    GLuint name_ = 0;
    std::vector<uint32_t> copies_;  // what each layer holds, grown as layers are first filled
    std::vector<size_t> hashes_;
    std::vector<uint64_t> lastUse_, stamps_;
    std::unordered_multimap<size_t, int> byHash_;
};

// The hash of a picture of `count` texels, as the shelves index them.
size_t pictureHash(const uint32_t* pixels, size_t count);
