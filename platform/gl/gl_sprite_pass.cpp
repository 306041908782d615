// The sprite pass: screen-space textured quads in back-buffer pixels.
#include "platform/gl/gl_sprite_pass.h"

#include <cstdio>
#include <string>
#include <vector>

#include "platform/gl/gl_resources.h"
#include "platform/gl/gl_shader.h"

namespace {
const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec2 position;
layout(location = 1) in vec2 uv;
layout(location = 2) in vec4 colour;
uniform vec4 viewportRect;  // x, y, width, height in render-target pixels
out vec2 texCoord;
out vec4 tint;
void main() {
    // Positions are render-target pixels, as a sprite's are; the viewport only clips them.
    gl_Position = vec4((position.x - viewportRect.x) * 2.0 / viewportRect.z - 1.0,
                       1.0 - (position.y - viewportRect.y) * 2.0 / viewportRect.w, 0.0, 1.0);
    texCoord = uv;
    tint = colour;
}
)";

const char* kLayeredVertexShader = R"(#version 330 core
layout(location = 0) in vec2 position;
layout(location = 1) in vec2 uv;
layout(location = 2) in vec4 colour;
layout(location = 3) in float layer;
uniform vec4 viewportRect;  // x, y, width, height in render-target pixels
out vec2 texCoord;
out vec4 tint;
flat out float texLayer;
void main() {
    // Positions are render-target pixels, as a sprite's are; the viewport only clips them.
    gl_Position = vec4((position.x - viewportRect.x) * 2.0 / viewportRect.z - 1.0,
                       1.0 - (position.y - viewportRect.y) * 2.0 / viewportRect.w, 0.0, 1.0);
    texCoord = uv;
    tint = colour;
    texLayer = layer;
}
)";

const char* kFragmentShader = R"(#version 330 core
in vec2 texCoord;
in vec4 tint;
uniform sampler2D image;
out vec4 fragColour;
void main() {
    fragColour = texture(image, texCoord) * tint;
}
)";

// Quads of a texture that samples to exactly 0 or 1 per channel everywhere, their colour
// already masked by it.
const char* kSolidFragmentShader = R"(#version 330 core
in vec2 texCoord;
in vec4 tint;
flat in float texLayer;
out vec4 fragColour;
void main() {
    fragColour = tint;
}
)";

const char* kLayeredFragmentShader = R"(#version 330 core
in vec2 texCoord;
in vec4 tint;
flat in float texLayer;
uniform sampler2DArray images;
out vec4 fragColour;
void main() {
    fragColour = texture(images, vec3(texCoord, texLayer)) * tint;
}
)";
}  // namespace

GlSpritePass::GlSpritePass() {
    glGenBuffers(1, &vertexBuffer_);
    glGenBuffers(1, &indexBuffer_);
    flat_ = makeProgram(kVertexShader, kFragmentShader, false);
    layered_ = makeProgram(kLayeredVertexShader, kLayeredFragmentShader, true);
    solid_ = makeProgram(kLayeredVertexShader, kSolidFragmentShader, true);
}

GlSpritePass::Program GlSpritePass::makeProgram(const char* vertexShader,
                                                const char* fragmentShader, bool layered) {
    Program p;
    std::string log;
    p.name = buildProgram(vertexShader, fragmentShader, &log);
    if (!p.name) std::fprintf(stderr, "sprite shader: %s\n", log.c_str());
    p.viewportRect = glGetUniformLocation(p.name, "viewportRect");
    const GLsizei stride = layered ? sizeof(ShelfVertex) : sizeof(SpriteVertex);
    glGenVertexArrays(1, &p.vertexArray);
    glBindVertexArray(p.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(offsetof(SpriteVertex, x)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(offsetof(SpriteVertex, u)));
    glEnableVertexAttribArray(2);
    // D3DCOLOR is stored as bytes B, G, R, A.
    glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          reinterpret_cast<void*>(offsetof(SpriteVertex, colour)));
    if (layered) {
        glEnableVertexAttribArray(3);
        glVertexAttribPointer(3, 1, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<void*>(offsetof(ShelfVertex, layer)));
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
    glBindVertexArray(0);
    return p;
}

GlSpritePass::~GlSpritePass() {
    for (Program* p : {&flat_, &layered_, &solid_}) {
        if (p->vertexArray) glDeleteVertexArrays(1, &p->vertexArray);
        if (p->name) glDeleteProgram(p->name);
    }
    if (indexBuffer_) glDeleteBuffers(1, &indexBuffer_);
    if (vertexBuffer_) glDeleteBuffers(1, &vertexBuffer_);
}

void GlSpritePass::forget() {
    flat_ = layered_ = solid_ = Program{};
    vertexBuffer_ = indexBuffer_ = 0;
}

void GlSpritePass::draw(GlTexture& texture, const SpriteVertex* vertices, uint32_t quadCount,
                        const D3DVIEWPORT8& viewport) {
    glActiveTexture(GL_TEXTURE0);
    texture.bind();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    submit(flat_, vertices, sizeof(SpriteVertex), quadCount, viewport);
}

void GlSpritePass::drawLayered(GLuint arrayTexture, const ShelfVertex* vertices, uint32_t quadCount,
                               const D3DVIEWPORT8& viewport) {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D_ARRAY, arrayTexture);
    submit(layered_, vertices, sizeof(ShelfVertex), quadCount, viewport);
}

void GlSpritePass::drawSolid(const ShelfVertex* vertices, uint32_t quadCount,
                             const D3DVIEWPORT8& viewport) {
    submit(solid_, vertices, sizeof(ShelfVertex), quadCount, viewport);
}

void GlSpritePass::submit(const Program& program, const void* vertices, size_t vertexSize,
                          uint32_t quadCount, const D3DVIEWPORT8& viewport) {
    glUseProgram(program.name);
    glUniform4f(program.viewportRect, static_cast<float>(viewport.X),
                static_cast<float>(viewport.Y), static_cast<float>(viewport.Width),
                static_cast<float>(viewport.Height));
    glBindVertexArray(program.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(quadCount * 4 * vertexSize), vertices,
                 GL_STREAM_DRAW);
    if (quadCount > indexQuads_) {
        std::vector<GLuint> indices;
        indices.reserve(quadCount * 6);
        for (GLuint q = 0; q < quadCount; ++q) {
            const GLuint b = q * 4;
            indices.insert(indices.end(), {b, b + 1, b + 2, b, b + 2, b + 3});
        }
        glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                     static_cast<GLsizeiptr>(indices.size() * sizeof(GLuint)), indices.data(),
                     GL_STATIC_DRAW);
        indexQuads_ = quadCount;
    }

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(quadCount * 6), GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
}
