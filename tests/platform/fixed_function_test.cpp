// The render device's fixed-function pipeline drawn on Mesa's software renderer and read back:
// lighting against the published equations, blending, shading, culling, alpha and depth tests.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "tests/platform/model_vertices.h"
#include "tests/support/headless_device.h"

namespace {
Vertex vertex(float x, float y, float z, uint32_t colour = 0xFFFFFFFF, float u = 0, float v = 0) {
    return Vertex{x, y, z, {0, 0, 0}, {0, 0, 0, 0}, 0, 0, -1, colour, u, v};
}

// Two triangles covering the rectangle, clockwise on screen (Direct3D's front faces).
std::vector<Vertex> quad(float left, float top, float right, float bottom, float z,
                         uint32_t colour = 0xFFFFFFFF) {
    return {vertex(left, top, z, colour, 0, 0),     vertex(right, top, z, colour, 1, 0),
            vertex(right, bottom, z, colour, 1, 1), vertex(left, top, z, colour, 0, 0),
            vertex(right, bottom, z, colour, 1, 1), vertex(left, bottom, z, colour, 0, 1)};
}

class FixedFunction : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(h.ok());
        device = h.device();
        // Identity view and projection: positions are clip coordinates, the eye at the origin.
        D3DMATRIX identity{};
        identity._11 = identity._22 = identity._33 = identity._44 = 1;
        device->setTransform(D3DTS_VIEW, identity);
        device->setTransform(D3DTS_PROJECTION, identity);
        device->setTransform(D3DTS_WORLD, identity);
        device->setRenderState(D3DRS_LIGHTING, 0);
        device->setRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->setRenderState(D3DRS_SPECULARENABLE, 0);
        device->setVertexShader(kModelVertexFormat);
        device->clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    }

    void draw(const std::vector<Vertex>& vertices) { drawTriangleList(device, vertices, buffers); }

    uint32_t rgb(int x, int y) { return h.pixel(x, y) & 0xFFFFFF; }

    HeadlessDevice h{64, 64};
    RenderDevice* device = nullptr;
    std::vector<std::unique_ptr<VertexBuffer>> buffers;
};

int channel(uint32_t argb, int shift) {
    return static_cast<int>((argb >> shift) & 0xFF);
}

void expectColour(uint32_t actual, const float expected[3], int tolerance = 2) {
    EXPECT_NEAR(channel(actual, 16), std::lround(std::fmin(expected[0], 1.0f) * 255), tolerance);
    EXPECT_NEAR(channel(actual, 8), std::lround(std::fmin(expected[1], 1.0f) * 255), tolerance);
    EXPECT_NEAR(channel(actual, 0), std::lround(std::fmin(expected[2], 1.0f) * 255), tolerance);
}
}  // namespace

TEST_F(FixedFunction, LightingOffPassesTheVertexColourAndGouraudOrFlatShades) {
    draw(quad(-1, 1, 0, 0, 0.5f, 0xFF336699));
    // A triangle with a different colour per vertex: flat shading takes the first one's.
    device->setRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    draw({vertex(0, 0, 0.5f, 0xFFFF0000), vertex(1, 0, 0.5f, 0xFF00FF00),
          vertex(0, -1, 0.5f, 0xFF0000FF)});
    device->setRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    draw({vertex(-1, 0, 0.5f, 0xFFFF0000), vertex(0, 0, 0.5f, 0xFF00FF00),
          vertex(-1, -1, 0.5f, 0xFF0000FF)});
    h.readBack();
    EXPECT_EQ(rgb(16, 16), 0x336699u);
    EXPECT_EQ(rgb(36, 36), 0xFF0000u);
    // Gouraud: near each corner its own colour dominates.
    EXPECT_GT(channel(h.pixel(1, 33), 16), 200);
    EXPECT_GT(channel(h.pixel(30, 33), 8), 200);
    EXPECT_GT(channel(h.pixel(1, 62), 0), 200);
}

TEST_F(FixedFunction, LitQuadFollowsTheLightingEquations) {
    // Eye at the origin, quad at z = 0.5 facing it, light shining straight along +z.
    const float ga = 32 / 255.0f;  // D3DRS_AMBIENT
    device->setRenderState(D3DRS_AMBIENT, 0xFF202020);
    device->setRenderState(D3DRS_LIGHTING, 1);
    device->setRenderState(D3DRS_SPECULARENABLE, 1);
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {0.8f, 0.6f, 0.4f, 1};
    light.Specular = {1.0f, 0.5f, 0.25f, 1};
    light.Ambient = {0.1f, 0.1f, 0.1f, 1};
    light.Direction = {0, 0, 2};  // not unit length: the device normalises it
    device->setLight(0, light);
    device->lightEnable(0, true);
    D3DMATERIAL8 material{};
    material.Diffuse = {0.1f, 0.1f, 0.1f, 1};  // replaced by the vertex colour
    material.Ambient = {0.5f, 0.25f, 1.0f, 1};
    material.Specular = {0.3f, 0.3f, 0.3f, 1};
    material.Emissive = {0.05f, 0.0f, 0.0f, 1};
    material.Power = 8;
    device->setMaterial(material);

    const float a = 0.5f, z = 0.5f;
    const uint32_t colour = 0xFF408020;
    draw(quad(-a, a, a, -a, z, colour));
    h.readBack();

    // Every corner sees the same angles: N = (0, 0, -1), L = (0, 0, -1), the eye direction
    // from (+-a, +-a, z) to the origin.
    const float vd[3] = {0x40 / 255.0f, 0x80 / 255.0f, 0x20 / 255.0f};
    const float toEyeLength = std::sqrt(a * a + a * a + z * z);
    const float hx = -a / toEyeLength, hy = -a / toEyeLength, hz = -z / toEyeLength - 1.0f;
    const float nh = -hz / std::sqrt(hx * hx + hy * hy + hz * hz);
    const float specularFactor = std::pow(nh, material.Power);
    const float ambientLight = ga + 0.1f;
    const float ld[3] = {0.8f, 0.6f, 0.4f}, ls[3] = {1.0f, 0.5f, 0.25f};
    const float ma[3] = {0.5f, 0.25f, 1.0f}, me[3] = {0.05f, 0, 0};
    float expected[3];
    for (int c = 0; c < 3; ++c) {
        const float diffuse = std::fmin(me[c] + ma[c] * ambientLight + vd[c] * ld[c] * 1.0f, 1.0f);
        const float specular = std::fmin(0.3f * ls[c] * specularFactor, 1.0f);
        expected[c] = diffuse + specular;
    }
    expectColour(h.pixel(32, 32), expected);
    expectColour(h.pixel(20, 44), expected);

    // Turned away from the light only emissive and ambient remain.
    device->clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->setRenderState(D3DRS_SPECULARENABLE, 0);
    std::vector<Vertex> away = quad(-a, a, a, -a, z, colour);
    for (Vertex& v : away) v.nz = 1;
    draw(away);
    h.readBack();
    for (int c = 0; c < 3; ++c) expected[c] = me[c] + ma[c] * ambientLight;
    expectColour(h.pixel(32, 32), expected);
}

TEST_F(FixedFunction, NormalsAreScaledUnlessNormalised) {
    device->setRenderState(D3DRS_AMBIENT, 0);
    device->setRenderState(D3DRS_LIGHTING, 1);
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 1};
    light.Direction = {0, 0, 1};
    device->setLight(0, light);
    device->lightEnable(0, true);
    device->setMaterial(D3DMATERIAL8{});
    std::vector<Vertex> v = quad(-1, 1, 1, -1, 0.5f, 0xFFFFFFFF);
    for (Vertex& x : v) x.nz = -0.25f;
    draw(v);
    h.readBack();
    EXPECT_NEAR(channel(h.pixel(32, 32), 8), 64, 2);
    device->setRenderState(D3DRS_NORMALIZENORMALS, 1);
    draw(v);
    h.readBack();
    EXPECT_NEAR(channel(h.pixel(32, 32), 8), 255, 1);
}

TEST_F(FixedFunction, IndexedBlendingMixesThePaletteMatricesTheVertexNames) {
    D3DMATRIX left{}, right{};
    left._11 = left._22 = left._33 = left._44 = 1;
    right = left;
    left._41 = -0.5f;
    right._41 = 0.5f;
    device->setTransform(D3DTS_WORLDMATRIX(3), left);
    device->setTransform(D3DTS_WORLDMATRIX(200), right);
    device->setRenderState(D3DRS_VERTEXBLEND, D3DVBF_3WEIGHTS);
    device->setRenderState(D3DRS_INDEXEDVERTEXBLENDENABLE, 1);
    // A square around x = 0, each vertex 1/4 on matrix 3 and 3/4 on matrix 200 (the fourth
    // weight, 1 - w0 - w1 - w2): it lands shifted by -0.125 + 0.375 = +0.25.
    std::vector<Vertex> v = quad(-0.25f, 0.25f, 0.25f, -0.25f, 0.5f, 0xFF00FF00);
    for (Vertex& x : v) {
        x.weights[0] = 0.25f;
        x.weights[1] = x.weights[2] = 0;
        x.indices[0] = 3;
        x.indices[3] = 200;
    }
    draw(v);
    // With no weights the vertex's first index alone moves it.
    device->setRenderState(D3DRS_VERTEXBLEND, D3DVBF_0WEIGHTS);
    for (Vertex& x : v) x.colour = 0xFFFF0000, x.y -= 0.5f;
    draw(v);
    device->setRenderState(D3DRS_VERTEXBLEND, D3DVBF_DISABLE);
    device->setRenderState(D3DRS_INDEXEDVERTEXBLENDENABLE, 0);
    h.readBack();
    // Green spans clip x 0..0.5 (pixels 32..48), rows 24..40; red spans x -0.75..-0.25
    // (pixels 8..24), rows 40..56.
    EXPECT_EQ(rgb(33, 32), 0x00FF00u);
    EXPECT_EQ(rgb(46, 32), 0x00FF00u);
    EXPECT_EQ(rgb(30, 32), 0u);
    EXPECT_EQ(rgb(49, 32), 0u);
    EXPECT_EQ(rgb(9, 48), 0xFF0000u);
    EXPECT_EQ(rgb(22, 48), 0xFF0000u);
    EXPECT_EQ(rgb(25, 48), 0u);
    EXPECT_EQ(rgb(6, 48), 0u);
}

TEST_F(FixedFunction, CullModesRemoveTrianglesByTheirWindingOnScreen) {
    // Counter-clockwise on screen: bottom left, bottom right, top.
    const std::vector<Vertex> ccw = {vertex(-0.5f, -0.5f, 0.5f), vertex(0.5f, -0.5f, 0.5f),
                                     vertex(0, 0.5f, 0.5f)};
    const std::vector<Vertex> cw = {ccw[0], ccw[2], ccw[1]};
    struct Case {
        D3DCULL mode;
        bool ccwDrawn, cwDrawn;
    };
    for (const Case& c : {Case{D3DCULL_NONE, true, true}, Case{D3DCULL_CW, true, false},
                          Case{D3DCULL_CCW, false, true}}) {
        device->setRenderState(D3DRS_CULLMODE, c.mode);
        for (bool counterClockwise : {true, false}) {
            device->clear(D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
            draw(counterClockwise ? ccw : cw);
            h.readBack();
            const bool drawn = rgb(32, 32) != 0;
            EXPECT_EQ(drawn, counterClockwise ? c.ccwDrawn : c.cwDrawn)
                << "cull mode " << c.mode << (counterClockwise ? " ccw" : " cw");
        }
    }
}

TEST_F(FixedFunction, AlphaTestDiscardsTransparentTexelsAndBlendingMixes) {
    // Left texel transparent red, right texel opaque green, sampled by nearest texel.
    std::unique_ptr<Texture> texture;
    ASSERT_EQ(device->createTexture(2, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3D_OK);
    D3DLOCKED_RECT locked;
    texture->lockRect(0, &locked, nullptr, 0);
    auto* texels = static_cast<uint32_t*>(locked.pBits);
    texels[0] = 0x00FF0000;
    texels[1] = 0xFF00FF00;
    texture->unlockRect(0);
    device->setTexture(0, texture.get());
    device->clear(D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    draw(quad(-1, 1, 1, 0, 0.5f));
    device->setRenderState(D3DRS_ALPHATESTENABLE, 1);
    device->setRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    device->setRenderState(D3DRS_ALPHAREF, 1);
    draw(quad(-1, 0, 1, -1, 0.5f));
    h.readBack();
    EXPECT_EQ(rgb(8, 16), 0xFF0000u);  // no test, no blending: the texel as it is
    EXPECT_EQ(rgb(56, 16), 0x00FF00u);
    EXPECT_EQ(rgb(8, 48), 0x0000FFu);  // discarded: the clear colour stays
    EXPECT_EQ(rgb(56, 48), 0x00FF00u);

    // Half-transparent vertex colour does not reach alpha (the stage takes the texture's),
    // so blending a half-alpha texture is what mixes.
    device->setRenderState(D3DRS_ALPHATESTENABLE, 0);
    texture->lockRect(0, &locked, nullptr, 0);
    static_cast<uint32_t*>(locked.pBits)[0] = 0x80FFFFFF;
    static_cast<uint32_t*>(locked.pBits)[1] = 0x80FFFFFF;
    texture->unlockRect(0);
    device->setRenderState(D3DRS_ALPHABLENDENABLE, 1);
    device->setRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->setRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->clear(D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    draw(quad(-1, 1, 1, -1, 0.5f, 0x10FF0000));
    h.readBack();
    EXPECT_NEAR(channel(h.pixel(32, 32), 16), 128, 2);
    EXPECT_EQ(channel(h.pixel(32, 32), 8), 0);
    device->setTexture(0, nullptr);
}

// Releasing a texture or vertex buffer that is still bound unbinds it: the next draw finds no
// texture (opaque white) and no stream, instead of reading freed memory.
TEST_F(FixedFunction, ReleasingBoundResourcesUnbindsThem) {
    auto red = solidTexture(device, 2, 2, 0xFFFF0000);
    device->setTexture(0, red.get());
    draw(quad(-1, 1, 0, -1, 0.5f));
    red.reset();
    draw(quad(0, 1, 1, -1, 0.5f, 0xFF00FF00));
    h.readBack();
    EXPECT_EQ(rgb(16, 32), 0xFF0000u);
    EXPECT_EQ(rgb(48, 32), 0x00FF00u);  // vertex colour x white

    buffers.clear();  // the stream source goes with its buffer
    EXPECT_EQ(device->drawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
}

TEST_F(FixedFunction, DepthTestLessKeepsTheNearerSurface) {
    device->setRenderState(D3DRS_ZENABLE, 1);
    device->setRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    draw(quad(-1, 1, 1, -1, 0.25f, 0xFF00FF00));
    draw(quad(-1, 1, 0, -1, 0.75f, 0xFFFF0000));  // behind: hidden
    draw(quad(0, 1, 1, -1, 0.25f, 0xFF0000FF));   // equal depth: LESS fails
    draw(quad(-1, 0, 1, -1, 0.1f, 0xFFFFFFFF));   // in front
    h.readBack();
    EXPECT_EQ(rgb(16, 16), 0x00FF00u);
    EXPECT_EQ(rgb(48, 16), 0x00FF00u);
    EXPECT_EQ(rgb(16, 48), 0xFFFFFFu);
}

TEST_F(FixedFunction, TrianglesLandOnDirect3DPixelCentres) {
    // Edges at 16.25 and 47.75 pixels: Direct3D samples pixels at whole coordinates, so 17..47
    // are covered (sampling at pixel centres would take 16 as well).
    const float e = 47.75f / 32 - 1;
    draw(quad(-e, e, e, -e, 0.5f, 0xFFFFFFFF));
    h.readBack();
    EXPECT_EQ(rgb(17, 17), 0xFFFFFFu);
    EXPECT_EQ(rgb(47, 47), 0xFFFFFFu);
    EXPECT_EQ(rgb(16, 17), 0u);
    EXPECT_EQ(rgb(48, 47), 0u);
    EXPECT_EQ(rgb(17, 16), 0u);
    EXPECT_EQ(rgb(47, 48), 0u);
}
