// The fixed-function vertex pipeline in GLSL (not drawn yet: triangle lists are accepted and ignored).
#include "platform/gl/gl_fixed_function.h"

GlFixedFunction::GlFixedFunction() = default;
GlFixedFunction::~GlFixedFunction() = default;

HRESULT GlFixedFunction::draw(const DeviceState&, GlVertexBuffer&, uint32_t, uint32_t) {
    return D3D_OK;
}
