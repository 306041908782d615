// The fixed-function vertex pipeline (blending, lighting, material, texture stage 0) in GLSL.
#pragma once

#include <epoxy/gl.h>

#include <array>
#include <unordered_map>

#include "platform/gl/gl_device_state.h"
#include "platform/gl/gl_pipeline_key.h"

class GlVertexBuffer;
struct VertexLayout;

class GlFixedFunction {
public:
    GlFixedFunction();
    ~GlFixedFunction();
    // Drops the GL names without deleting them (their context is already gone).
    void forget();
    // Draws `primitiveCount` triangles of the stream from `startVertex` with the recorded state.
    HRESULT draw(const DeviceState& state, GlVertexBuffer& stream, uint32_t startVertex,
                 uint32_t primitiveCount);
    // Turns the shortcuts that leave the picture unchanged on or off (on by default); the
    // benchmarks compare the two.
    void setShortcuts(bool on) { shortcuts_ = on; }
    // How many programs the state combinations drawn so far have generated.
    size_t programCount() const { return programs_.size(); }

private:
    struct Program {
        GLuint name = 0;
        GLint projection = -1, pixelOffset = -1;
        GLint materialDiffuse = -1, materialAmbient = -1, materialSpecular = -1,
              materialEmissive = -1, materialPower = -1, ambientLight = -1;
        GLint lightDirection = -1, lightDiffuse = -1, lightSpecular = -1;
        GLint image = -1, alphaRef = -1;
    };

    PipelineKey keyFor(const DeviceState& state, const VertexLayout& layout) const;
    const Program* program(const PipelineKey& key);
    void uploadPalette(const DeviceState& state, int count);
    void setUniforms(const Program& p, const PipelineKey& key, const DeviceState& state);
    void bindVertices(const VertexLayout& layout, uint32_t stride);
    // `opaque`: the source alpha is 1 everywhere, so source-over blending changes nothing.
    void applyRasterStates(const DeviceState& state, bool opaque);

    std::unordered_map<uint64_t, Program> programs_;
    GLuint vertexArray_ = 0, worldViewBuffer_ = 0, normalBuffer_ = 0, sampler_ = 0;
    std::array<D3DMATRIX, kWorldMatrixCount> worldView_, normals_;  // the palette as uploaded
    uint64_t uploadedGeneration_ = ~0ull;
    int uploadedCount_ = 0;
    bool remapDepth_ = false;
    bool shortcuts_ = true;
};
