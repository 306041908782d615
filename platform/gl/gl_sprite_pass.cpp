// The sprite pass: screen-space textured quads in back-buffer pixels.
#include "platform/gl/gl_sprite_pass.h"

#include <cstdio>
#include <string>

#include "platform/gl/gl_resources.h"
#include "platform/gl/gl_shader.h"

namespace {
const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec2 position;
layout(location = 1) in vec2 uv;
layout(location = 2) in vec4 colour;
uniform vec2 viewportSize;
out vec2 texCoord;
out vec4 tint;
void main() {
    gl_Position = vec4(position.x * 2.0 / viewportSize.x - 1.0,
                       1.0 - position.y * 2.0 / viewportSize.y, 0.0, 1.0);
    texCoord = uv;
    tint = colour;
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
}  // namespace

GlSpritePass::GlSpritePass() {
    std::string log;
    program_ = buildProgram(kVertexShader, kFragmentShader, &log);
    if (!program_) std::fprintf(stderr, "sprite shader: %s\n", log.c_str());
    viewportSizeLocation_ = glGetUniformLocation(program_, "viewportSize");
    glGenVertexArrays(1, &vertexArray_);
    glGenBuffers(1, &vertexBuffer_);
    glGenBuffers(1, &indexBuffer_);
    glBindVertexArray(vertexArray_);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(SpriteVertex),
                          reinterpret_cast<void*>(offsetof(SpriteVertex, x)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(SpriteVertex),
                          reinterpret_cast<void*>(offsetof(SpriteVertex, u)));
    glEnableVertexAttribArray(2);
    // D3DCOLOR is stored as bytes B, G, R, A.
    glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(SpriteVertex),
                          reinterpret_cast<void*>(offsetof(SpriteVertex, colour)));
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
    glBindVertexArray(0);
}

GlSpritePass::~GlSpritePass() {
    if (!program_ && !vertexArray_) return;
    glDeleteBuffers(1, &indexBuffer_);
    glDeleteBuffers(1, &vertexBuffer_);
    glDeleteVertexArrays(1, &vertexArray_);
    glDeleteProgram(program_);
}

void GlSpritePass::draw(GlTexture& texture, const SpriteVertex* vertices, uint32_t quadCount,
                        const D3DVIEWPORT8& viewport) {
    glUseProgram(program_);
    glUniform2f(viewportSizeLocation_, static_cast<float>(viewport.Width),
                static_cast<float>(viewport.Height));
    glActiveTexture(GL_TEXTURE0);
    texture.bind();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);

    glBindVertexArray(vertexArray_);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(quadCount * 4 * sizeof(SpriteVertex)),
                 vertices, GL_STREAM_DRAW);
    if (quadCount > indexQuads_) {
        std::vector<GLuint> indices;
        indices.reserve(quadCount * 6);
        for (GLuint q = 0; q < quadCount; ++q) {
            const GLuint b = q * 4;
            indices.insert(indices.end(), {b, b + 1, b + 2, b, b + 2, b + 3});
        }
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(GLuint)),
                     indices.data(), GL_STATIC_DRAW);
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
