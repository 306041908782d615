// The fixed-function vertex pipeline (blending, lighting, material, texture stage 0) in GLSL.
#pragma once

#include "platform/gl/gl_device_state.h"

class GlVertexBuffer;

class GlFixedFunction {
public:
    GlFixedFunction();
    ~GlFixedFunction();
    // Drops the GL names without deleting them (their context is already gone).
    void forget() {}
    // Draws `primitiveCount` triangles of the stream from `startVertex` with the recorded state.
    HRESULT draw(const DeviceState& state, GlVertexBuffer& stream, uint32_t startVertex,
                 uint32_t primitiveCount);
};
