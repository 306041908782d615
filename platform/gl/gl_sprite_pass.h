// Draws sprite quads: unlit, texture x colour, source alpha over inverse source alpha, no depth.
#pragma once

#include <epoxy/gl.h>

#include <vector>

#include "platform/render_device.h"

class GlTexture;

class GlSpritePass {
public:
    GlSpritePass();
    ~GlSpritePass();
    // Drops the GL names without deleting them (their context is already gone).
    void forget() { program_ = vertexArray_ = vertexBuffer_ = indexBuffer_ = 0; }
    void draw(GlTexture& texture, const SpriteVertex* vertices, uint32_t quadCount,
              const D3DVIEWPORT8& viewport);

private:
    GLuint program_ = 0, vertexArray_ = 0, vertexBuffer_ = 0, indexBuffer_ = 0;
    GLint viewportSizeLocation_ = -1;
    uint32_t indexQuads_ = 0;
};
