// The fixed-function pipeline: one GLSL program per state combination, the world matrices
// multiplied by the view and uploaded as a 256-entry palette, raster states from the render states.
#include "platform/gl/gl_fixed_function.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/gl/gl_resources.h"
#include "platform/gl/gl_shader.h"
#include "platform/gl/gl_vertex_layout.h"

namespace {
constexpr GLuint kWorldViewBinding = 0;
constexpr GLuint kNormalBinding = 1;
constexpr GLsizeiptr kPaletteBytes = kWorldMatrixCount * sizeof(D3DMATRIX);  // 16384

// a x b in the row-vector convention (a applies first).
D3DMATRIX multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
    D3DMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] +
                        a.m[i][3] * b.m[3][j];
    return r;
}

// The matrix that carries normals: the inverse transpose of the upper 3x3. A singular matrix
// gets its cofactor matrix, which points the same way where an inverse exists.
D3DMATRIX normalMatrix(const D3DMATRIX& m) {
    const float a = m._11, b = m._12, c = m._13;
    const float d = m._21, e = m._22, f = m._23;
    const float g = m._31, h = m._32, i = m._33;
    const float cof[3][3] = {{e * i - f * h, f * g - d * i, d * h - e * g},
                             {c * h - b * i, a * i - c * g, b * g - a * h},
                             {b * f - c * e, c * d - a * f, a * e - b * d}};
    const float det = a * cof[0][0] + b * cof[0][1] + c * cof[0][2];
    const float scale = (det != 0.0f && std::isfinite(det)) ? 1.0f / det : 1.0f;
    D3DMATRIX r{};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) r.m[row][col] = cof[row][col] * scale;
    r._44 = 1.0f;
    return r;
}

GLenum compareFunction(uint32_t func) {
    switch (func) {
        case D3DCMP_NEVER:
            return GL_NEVER;
        case D3DCMP_LESS:
            return GL_LESS;
        case D3DCMP_EQUAL:
            return GL_EQUAL;
        case D3DCMP_LESSEQUAL:
            return GL_LEQUAL;
        case D3DCMP_GREATER:
            return GL_GREATER;
        case D3DCMP_NOTEQUAL:
            return GL_NOTEQUAL;
        case D3DCMP_GREATEREQUAL:
            return GL_GEQUAL;
        default:
            return GL_ALWAYS;
    }
}

GLenum blendFactor(uint32_t blend) {
    switch (blend) {
        case D3DBLEND_ZERO:
            return GL_ZERO;
        case D3DBLEND_ONE:
            return GL_ONE;
        case D3DBLEND_SRCCOLOR:
            return GL_SRC_COLOR;
        case D3DBLEND_INVSRCCOLOR:
            return GL_ONE_MINUS_SRC_COLOR;
        case D3DBLEND_SRCALPHA:
            return GL_SRC_ALPHA;
        case D3DBLEND_INVSRCALPHA:
            return GL_ONE_MINUS_SRC_ALPHA;
        case D3DBLEND_DESTALPHA:
            return GL_DST_ALPHA;
        case D3DBLEND_INVDESTALPHA:
            return GL_ONE_MINUS_DST_ALPHA;
        case D3DBLEND_DESTCOLOR:
            return GL_DST_COLOR;
        case D3DBLEND_INVDESTCOLOR:
            return GL_ONE_MINUS_DST_COLOR;
        case 11:
            return GL_SRC_ALPHA_SATURATE;  // D3DBLEND_SRCALPHASAT
        default:
            return GL_ONE;
    }
}

GLint textureFilter(uint32_t filter) {
    return filter >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST;
}

ColourSource colourSource(uint32_t source, const VertexLayout& layout) {
    if (source == D3DMCS_COLOR1 && layout.diffuse) return ColourSource::kDiffuse;
    if (source == D3DMCS_COLOR2 && layout.specular) return ColourSource::kSpecular;
    return ColourSource::kMaterial;
}

// Whether an alpha of 255 passes the alpha test `func` against `reference`.
bool alphaPasses(uint32_t func, uint32_t reference) {
    switch (func) {
        case D3DCMP_LESS:
            return 255 < reference;
        case D3DCMP_EQUAL:
            return reference == 255;
        case D3DCMP_LESSEQUAL:
            return 255 <= reference;
        case D3DCMP_GREATER:
            return 255 > reference;
        case D3DCMP_NOTEQUAL:
            return reference != 255;
        case D3DCMP_GREATEREQUAL:
            return true;
        default:
            return false;  // D3DCMP_NEVER
    }
}

// Only directional lights are drawn; the system uses no other kind.
bool activeLight(const DeviceState& state, int i) {
    return state.lightEnabled[i] && state.lights[i].Type == D3DLIGHT_DIRECTIONAL;
}

// Whether the specular colour added after texturing is 0 for every vertex, whatever the
// lights: then leaving it out changes no pixel (texture x diffuse is at most 1 already).
bool specularIsZero(const DeviceState& state, const PipelineKey& key) {
    if (!key.lighting) return !key.specular;  // unlit, it is the vertex's specular colour or 0
    if (key.specularSource != ColourSource::kMaterial) return false;
    const D3DMATERIAL8& m = state.material;
    if (m.Specular.r != 0.0f || m.Specular.g != 0.0f || m.Specular.b != 0.0f) return false;
    // The highlight must stay finite, for 0 x infinity is not 0: a power from 0 to 10^6 keeps
    // it so for N.H up to a rounding above 1, and the lights' own colours must be finite.
    if (!(m.Power >= 0.0f && m.Power <= 1e6f)) return false;
    for (int i = 0; i < kMaxLights; ++i) {
        const D3DCOLORVALUE& c = state.lights[i].Specular;
        if (activeLight(state, i) &&
            !(std::isfinite(c.r) && std::isfinite(c.g) && std::isfinite(c.b)))
            return false;
    }
    return true;
}
}  // namespace

GlFixedFunction::GlFixedFunction() {
    remapDepth_ = !(epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_ARB_clip_control"));
    glGenVertexArrays(1, &vertexArray_);
    glGenBuffers(1, &worldViewBuffer_);
    glGenBuffers(1, &normalBuffer_);
    for (GLuint buffer : {worldViewBuffer_, normalBuffer_}) {
        glBindBuffer(GL_UNIFORM_BUFFER, buffer);
        glBufferData(GL_UNIFORM_BUFFER, kPaletteBytes, nullptr, GL_DYNAMIC_DRAW);
    }
    glBindBuffer(GL_UNIFORM_BUFFER, 0);
    glGenSamplers(1, &sampler_);
    glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

GlFixedFunction::~GlFixedFunction() {
    for (auto& [key, p] : programs_)
        if (p.name) glDeleteProgram(p.name);
    if (sampler_) glDeleteSamplers(1, &sampler_);
    if (normalBuffer_) glDeleteBuffers(1, &normalBuffer_);
    if (worldViewBuffer_) glDeleteBuffers(1, &worldViewBuffer_);
    if (vertexArray_) glDeleteVertexArrays(1, &vertexArray_);
}

void GlFixedFunction::forget() {
    programs_.clear();
    vertexArray_ = worldViewBuffer_ = normalBuffer_ = sampler_ = 0;
}

PipelineKey GlFixedFunction::keyFor(const DeviceState& state, const VertexLayout& layout) const {
    const auto& rs = state.renderStates;
    PipelineKey key;
    key.normal = layout.normal;
    key.diffuse = layout.diffuse;
    key.specular = layout.specular;
    key.texCoord = layout.texCoordSets > 0;
    key.vertexWeights = std::min(layout.weightCount, 4);

    const uint32_t blend = rs[D3DRS_VERTEXBLEND];
    if (blend >= D3DVBF_1WEIGHTS && blend <= D3DVBF_3WEIGHTS) {
        key.blendMatrices = static_cast<int>(blend) + 1;
        key.indexed = rs[D3DRS_INDEXEDVERTEXBLENDENABLE] && layout.paletteIndices;
    } else if (blend == D3DVBF_0WEIGHTS) {
        // One matrix at full weight: the vertex's first index when blending is indexed.
        key.indexed = rs[D3DRS_INDEXEDVERTEXBLENDENABLE] && layout.paletteIndices;
    }
    if (key.blendMatrices == 1) key.vertexWeights = 0;

    key.lighting = rs[D3DRS_LIGHTING] != 0;
    key.specularEnable = rs[D3DRS_SPECULARENABLE] != 0;
    if (key.lighting) {
        for (int i = 0; i < kMaxLights; ++i) key.lightCount += activeLight(state, i) ? 1 : 0;
        key.normalizeNormals = rs[D3DRS_NORMALIZENORMALS] != 0;
        key.localViewer = rs[D3DRS_LOCALVIEWER] != 0;
        if (rs[D3DRS_COLORVERTEX]) {
            key.diffuseSource = colourSource(rs[D3DRS_DIFFUSEMATERIALSOURCE], layout);
            key.ambientSource = colourSource(rs[D3DRS_AMBIENTMATERIALSOURCE], layout);
            key.specularSource = colourSource(rs[D3DRS_SPECULARMATERIALSOURCE], layout);
            key.emissiveSource = colourSource(rs[D3DRS_EMISSIVEMATERIALSOURCE], layout);
        }
    }
    key.flat = rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT;
    key.textured = state.textures[0] != nullptr;
    if (!key.textured) key.texCoord = false;
    const uint32_t alphaFunc = rs[D3DRS_ALPHAFUNC];
    if (rs[D3DRS_ALPHATESTENABLE] && alphaFunc >= D3DCMP_NEVER && alphaFunc < D3DCMP_ALWAYS)
        key.alphaFunc = alphaFunc;
    key.remapDepth = remapDepth_;
    return key;
}

const GlFixedFunction::Program* GlFixedFunction::program(const PipelineKey& key) {
    const uint64_t packed = key.packed();
    auto found = programs_.find(packed);
    if (found != programs_.end()) return found->second.name ? &found->second : nullptr;

    Program p;
    std::string log;
    p.name = buildProgram(fixedFunctionVertexShader(key), fixedFunctionFragmentShader(key), &log);
    if (!p.name) {
        std::fprintf(stderr, "fixed-function shader: %s\n", log.c_str());
        programs_.emplace(packed, p);
        return nullptr;
    }
    const GLuint worldView = glGetUniformBlockIndex(p.name, "WorldViewPalette");
    if (worldView != GL_INVALID_INDEX) glUniformBlockBinding(p.name, worldView, kWorldViewBinding);
    const GLuint normals = glGetUniformBlockIndex(p.name, "NormalPalette");
    if (normals != GL_INVALID_INDEX) glUniformBlockBinding(p.name, normals, kNormalBinding);
    auto at = [&](const char* name) { return glGetUniformLocation(p.name, name); };
    p.projection = at("projection");
    p.pixelOffset = at("pixelOffset");
    p.materialDiffuse = at("materialDiffuse");
    p.materialAmbient = at("materialAmbient");
    p.materialSpecular = at("materialSpecular");
    p.materialEmissive = at("materialEmissive");
    p.materialPower = at("materialPower");
    p.ambientLight = at("ambientLight");
    p.lightDirection = at("lightDirection");
    p.lightDiffuse = at("lightDiffuse");
    p.lightSpecular = at("lightSpecular");
    p.image = at("image");
    p.alphaRef = at("alphaRef");
    glUseProgram(p.name);
    if (p.image >= 0) glUniform1i(p.image, 0);
    return &programs_.emplace(packed, p).first->second;
}

void GlFixedFunction::uploadPalette(const DeviceState& state, int count) {
    count = std::clamp(count, 1, static_cast<int>(kWorldMatrixCount));
    if (state.transformGeneration == uploadedGeneration_ && count <= uploadedCount_) return;
    for (int i = 0; i < count; ++i) {
        worldView_[i] = multiply(state.world[i], state.view);
        normals_[i] = normalMatrix(worldView_[i]);
    }
    // Fresh storage each time (the rest of the 16384 bytes left undefined), so that the
    // driver need not wait for earlier draws that still read the old matrices.
    const auto bytes = static_cast<GLsizeiptr>(count * sizeof(D3DMATRIX));
    for (auto [buffer, data] : {std::pair{worldViewBuffer_, worldView_.data()},
                                std::pair{normalBuffer_, normals_.data()}}) {
        glBindBuffer(GL_UNIFORM_BUFFER, buffer);
        glBufferData(GL_UNIFORM_BUFFER, kPaletteBytes, nullptr, GL_STREAM_DRAW);
        glBufferSubData(GL_UNIFORM_BUFFER, 0, bytes, data);
    }
    glBindBuffer(GL_UNIFORM_BUFFER, 0);
    uploadedGeneration_ = state.transformGeneration;
    uploadedCount_ = count;
}

void GlFixedFunction::setUniforms(const Program& p, const PipelineKey& key,
                                  const DeviceState& state) {
    glUniformMatrix4fv(p.projection, 1, GL_FALSE, &state.projection._11);
    glUniform2f(p.pixelOffset, 1.0f / static_cast<float>(std::max(state.viewport.Width, 1u)),
                -1.0f / static_cast<float>(std::max(state.viewport.Height, 1u)));
    if (key.alphaFunc)
        glUniform1f(p.alphaRef, static_cast<float>(state.renderStates[D3DRS_ALPHAREF] & 0xFF));
    if (!key.lighting) return;

    const D3DMATERIAL8& m = state.material;
    glUniform4fv(p.materialDiffuse, 1, &m.Diffuse.r);
    glUniform4fv(p.materialAmbient, 1, &m.Ambient.r);
    glUniform4fv(p.materialSpecular, 1, &m.Specular.r);
    glUniform4fv(p.materialEmissive, 1, &m.Emissive.r);
    glUniform1f(p.materialPower, m.Power);

    const uint32_t global = state.renderStates[D3DRS_AMBIENT];
    float ambient[3] = {((global >> 16) & 0xFF) / 255.0f, ((global >> 8) & 0xFF) / 255.0f,
                        (global & 0xFF) / 255.0f};
    float directions[kMaxLights][3], diffuse[kMaxLights][3], specular[kMaxLights][3];
    int n = 0;
    const D3DMATRIX& v = state.view;
    for (int i = 0; i < kMaxLights; ++i) {
        if (!activeLight(state, i)) continue;
        const D3DLIGHT8& light = state.lights[i];
        ambient[0] += light.Ambient.r;
        ambient[1] += light.Ambient.g;
        ambient[2] += light.Ambient.b;
        // Towards the light, in camera space.
        const D3DVECTOR& d = light.Direction;
        float x = -(d.x * v._11 + d.y * v._21 + d.z * v._31);
        float y = -(d.x * v._12 + d.y * v._22 + d.z * v._32);
        float z = -(d.x * v._13 + d.y * v._23 + d.z * v._33);
        const float length = std::sqrt(x * x + y * y + z * z);
        if (length > 0.0f) x /= length, y /= length, z /= length;
        directions[n][0] = x, directions[n][1] = y, directions[n][2] = z;
        diffuse[n][0] = light.Diffuse.r, diffuse[n][1] = light.Diffuse.g,
        diffuse[n][2] = light.Diffuse.b;
        specular[n][0] = light.Specular.r, specular[n][1] = light.Specular.g,
        specular[n][2] = light.Specular.b;
        ++n;
    }
    glUniform3fv(p.ambientLight, 1, ambient);
    if (n > 0) {
        glUniform3fv(p.lightDirection, n, &directions[0][0]);
        glUniform3fv(p.lightDiffuse, n, &diffuse[0][0]);
        glUniform3fv(p.lightSpecular, n, &specular[0][0]);
    }
}

void GlFixedFunction::bindVertices(const VertexLayout& layout, uint32_t stride) {
    auto offset = [](uint32_t bytes) {
        return reinterpret_cast<const void*>(static_cast<uintptr_t>(bytes));
    };
    const auto s = static_cast<GLsizei>(stride);
    for (GLuint i = 0; i <= 6; ++i) glDisableVertexAttribArray(i);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, s, offset(0));
    if (layout.weightCount > 0) {
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, std::min(layout.weightCount, 4), GL_FLOAT, GL_FALSE, s,
                              offset(layout.weightOffset));
    }
    if (layout.paletteIndices) {
        glEnableVertexAttribArray(2);
        glVertexAttribIPointer(2, 4, GL_UNSIGNED_BYTE, s, offset(layout.indexOffset));
    }
    if (layout.normal) {
        glEnableVertexAttribArray(3);
        glVertexAttribPointer(3, 3, GL_FLOAT, GL_FALSE, s, offset(layout.normalOffset));
    }
    // D3DCOLOR is stored as bytes B, G, R, A.
    if (layout.diffuse) {
        glEnableVertexAttribArray(4);
        glVertexAttribPointer(4, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, s,
                              offset(layout.diffuseOffset));
    }
    if (layout.specular) {
        glEnableVertexAttribArray(5);
        glVertexAttribPointer(5, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, s,
                              offset(layout.specularOffset));
    }
    if (layout.texCoordSets > 0) {
        glEnableVertexAttribArray(6);
        glVertexAttribPointer(6, 2, GL_FLOAT, GL_FALSE, s, offset(layout.texCoordOffset));
    }
}

void GlFixedFunction::applyRasterStates(const DeviceState& state, bool opaque) {
    const auto& rs = state.renderStates;
    // The framebuffer is shown as OpenGL lays it out, so its windings are the screen's.
    switch (rs[D3DRS_CULLMODE]) {
        case D3DCULL_CW:
            glEnable(GL_CULL_FACE);
            glFrontFace(GL_CCW);
            glCullFace(GL_BACK);
            break;
        case D3DCULL_CCW:
            glEnable(GL_CULL_FACE);
            glFrontFace(GL_CCW);
            glCullFace(GL_FRONT);
            break;
        default:
            glDisable(GL_CULL_FACE);
            break;
    }
    if (rs[D3DRS_ZENABLE]) {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(compareFunction(rs[D3DRS_ZFUNC]));
        glDepthMask(rs[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    const bool sourceOver =
        (rs[D3DRS_SRCBLEND] == D3DBLEND_SRCALPHA && rs[D3DRS_DESTBLEND] == D3DBLEND_INVSRCALPHA) ||
        (rs[D3DRS_SRCBLEND] == D3DBLEND_ONE && rs[D3DRS_DESTBLEND] == D3DBLEND_ZERO);
    if (rs[D3DRS_ALPHABLENDENABLE] && !(opaque && sourceOver)) {
        glEnable(GL_BLEND);
        glBlendFunc(blendFactor(rs[D3DRS_SRCBLEND]), blendFactor(rs[D3DRS_DESTBLEND]));
    } else {
        glDisable(GL_BLEND);
    }
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
}

HRESULT GlFixedFunction::draw(const DeviceState& state, GlVertexBuffer& stream,
                              uint32_t startVertex, uint32_t primitiveCount) {
    const uint32_t fvf = state.vertexShader ? state.vertexShader : stream.format();
    const VertexLayout layout = vertexLayout(fvf);
    if (!layout.valid || state.streamStride < layout.size) return D3DERR_INVALIDCALL;
    PipelineKey key = keyFor(state, layout);
    // The texture goes up before the program is chosen: whether its alpha is 1 everywhere
    // is known only for the picture uploaded.
    auto* texture = key.textured ? static_cast<GlTexture*>(state.textures[0]) : nullptr;
    if (texture) {
        glActiveTexture(GL_TEXTURE0);
        texture->bind();
    }
    // Stage 0's alpha is the texture's, or 1 without one. Where it is 1 everywhere the usual
    // alpha test passes every pixel and source-alpha blending writes the source unchanged,
    // so both are left out: the same pixels, without reading the target back.
    const bool opaque = shortcuts_ && (!texture || texture->uploadedOpaque());
    if (opaque && key.alphaFunc &&
        alphaPasses(key.alphaFunc, state.renderStates[D3DRS_ALPHAREF] & 0xFF))
        key.alphaFunc = 0;
    if (shortcuts_ && key.specularEnable && specularIsZero(state, key)) key.specularEnable = false;
    const Program* p = program(key);
    if (!p) return E_FAIL;

    const int matrices =
        key.indexed ? stream.highestPaletteIndex(state.streamStride, layout.indexOffset) + 1
                    : key.blendMatrices;
    uploadPalette(state, matrices);
    glBindBufferBase(GL_UNIFORM_BUFFER, kWorldViewBinding, worldViewBuffer_);
    glBindBufferBase(GL_UNIFORM_BUFFER, kNormalBinding, normalBuffer_);

    glUseProgram(p->name);
    setUniforms(*p, key, state);
    glBindVertexArray(vertexArray_);
    stream.bind();
    bindVertices(layout, state.streamStride);
    if (texture) {
        const auto& stage = state.stageStates[0];
        glSamplerParameteri(sampler_, GL_TEXTURE_MAG_FILTER,
                            textureFilter(stage[D3DTSS_MAGFILTER]));
        glSamplerParameteri(sampler_, GL_TEXTURE_MIN_FILTER,
                            textureFilter(stage[D3DTSS_MINFILTER]));
        glBindSampler(0, sampler_);
    }
    applyRasterStates(state, opaque);
    glDrawArrays(GL_TRIANGLES, static_cast<GLint>(startVertex),
                 static_cast<GLsizei>(primitiveCount * 3));
    glBindVertexArray(0);
    if (texture) glBindSampler(0, 0);
    return D3D_OK;
}
