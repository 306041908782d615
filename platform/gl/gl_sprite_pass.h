// Draws sprite quads: unlit, texture x colour, source alpha over inverse source alpha, no depth.
#pragma once

#include <epoxy/gl.h>

#include "platform/render_device.h"

class GlTexture;

// A sprite vertex whose picture is one layer of a 2D array texture.
struct ShelfVertex {
    SpriteVertex sprite;
    float layer;
};

class GlSpritePass {
public:
    GlSpritePass();
    ~GlSpritePass();
    // Drops the GL names without deleting them (their context is already gone).
    void forget();
    void draw(GlTexture& texture, const SpriteVertex* vertices, uint32_t quadCount,
              const D3DVIEWPORT8& viewport);
    // The same from the layers of `arrayTexture`, each vertex naming its layer.
    void drawLayered(GLuint arrayTexture, const ShelfVertex* vertices, uint32_t quadCount,
                     const D3DVIEWPORT8& viewport);

    // Quads whose colours already hold their texture's one texel (see GlTexture::solidBinary),
    // drawn without sampling.
    void drawSolid(const ShelfVertex* vertices, uint32_t quadCount, const D3DVIEWPORT8& viewport);

private:
    struct Program {
        GLuint name = 0, vertexArray = 0;
        GLint viewportRect = -1;
    };
    Program makeProgram(const char* vertexShader, const char* fragmentShader, bool layered);
    void submit(const Program& program, const void* vertices, size_t vertexSize, uint32_t quadCount,
                const D3DVIEWPORT8& viewport);

    Program flat_, layered_, solid_;
    GLuint vertexBuffer_ = 0, indexBuffer_ = 0;
    uint32_t indexQuads_ = 0;
};
