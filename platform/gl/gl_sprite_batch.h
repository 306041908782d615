// Sprite quads of small textures, held back across texture changes and drawn in one call.
#pragma once

#include <memory>
#include <vector>

#include "platform/gl/gl_sprite_pass.h"
#include "platform/gl/gl_texture_shelf.h"

class GlTexture;

// Small textures are drawn from shelves (one 2D array texture per size) that keep every
// picture drawn lately, so that a picture seen before is not uploaded again, and quads of
// different textures of one size go out together. The owner flushes before anything that
// must see the quads: another kind of draw, a clear, present, read-back, a viewport change.
class GlSpriteBatch {
public:
    explicit GlSpriteBatch(GlSpritePass& pass) : pass_(pass) {}
    void forget();

    // Takes the quads when `texture` is small enough to be shelved; false leaves them to the
    // caller, to be drawn from the texture itself after a flush.
    bool add(GlTexture& texture, const SpriteVertex* vertices, uint32_t quadCount,
             const D3DVIEWPORT8& viewport);
    bool pending() const { return !vertices_.empty(); }
    // Draws the quads held back; the caller has the back buffer bound.
    void flush();
    // With shortcuts on (the default), quads of a one-texel-colour texture whose channels are
    // 0 or 255 draw as plain colour, without sampling: the same pixels, less work.
    void setShortcuts(bool on) { shortcuts_ = on; }

private:
    GlTextureShelf* shelfFor(int width, int height);
    int layerOf(GlTexture& texture, GlTextureShelf& shelf);

    GlSpritePass& pass_;
    std::vector<std::unique_ptr<GlTextureShelf>> shelves_;
    GlTextureShelf* current_ = nullptr;
    bool solid_ = false;  // the quads held back are plain colour
    bool shortcuts_ = true;
    D3DVIEWPORT8 viewport_{};
    std::vector<ShelfVertex> vertices_;
    // Every use of a layer takes the next tick; layers used after `flushedAt_` are still
    // named by quads held back, so their pictures must stay until the next flush.
    uint64_t tick_ = 0, flushedAt_ = 0;
};
