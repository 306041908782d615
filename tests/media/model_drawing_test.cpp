// Skinned drawing: the device calls drawModel makes, and pictures drawn through the real device.
#include "media/model_drawing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "media/motion.h"
#include "tests/media/media_fixtures.h"
#include "tests/media/recording_device.h"
#include "tests/support/headless_device.h"

namespace {
constexpr float kHalfPi = 1.5707964f;

std::unique_ptr<Model> modelOf(RenderDevice* device, const TmbModel& source,
                               const char* name = "m.tmb") {
    auto model = std::make_unique<Model>(device);
    const std::vector<uint8_t> bytes = writeTmb(source);
    EXPECT_EQ(readModel(model.get(), fileBlock(bytes), bytes.size(), name), 0);
    return model;
}

D3DXMATRIX matrixOf(const Matrix16& m) {
    D3DMATRIX r;
    std::memcpy(&r, m.data(), 64);
    return r;
}

D3DXMATRIX product(const D3DXMATRIX& a, const D3DXMATRIX& b) {
    D3DXMATRIX r;
    D3DXMatrixMultiply(&r, &a, &b);
    return r;
}

void expectMatrix(const D3DMATRIX& actual, const D3DXMATRIX& expected, const char* what) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(actual.m[i][j], expected.m[i][j], 1e-5) << what << " " << i << j;
}

// A motion of the given frames, each a list of bone matrices.
struct OwnedMotion {
    Motion motion;
    explicit OwnedMotion(const std::vector<std::vector<Matrix16>>& frames) {
        motion.frameCount = static_cast<int32_t>(frames.size());
        motion.boneCount = static_cast<int32_t>(frames[0].size());
        for (const auto& frame : frames)
            for (const Matrix16& m : frame) motion.matrixStorage.push_back(matrixOf(m));
        motion.boneMatrices = motion.matrixStorage.data();
    }
};

// Two meshes (the first one-sided, the second two-sided and moved by its mesh matrix), two
// materials, three bones with distinct offsets.
TmbModel figure() {
    TmbModel m;
    m.materials.resize(2);
    m.materials[1].diffuse = {0.5f, 0.5f, 0.5f, 1};
    TmbMesh a = rectangleMesh("a", -1, 1, 1, -1, 0, 1);
    a.ranges = {{0, 0, 1}, {1, 3, 1}};
    TmbMesh b = rectangleMesh("b", -1, 1, 1, -1, 0, 2);
    b.oneSided = false;
    b.matrix = translation16(0, 0, 5);
    b.ranges = {{1, 0, 2}, {0, -1, 0}, {0, 0, 2}};  // the terminator in the middle ends them
    m.meshes = {a, b};
    m.boneOffsets = {translation16(0, -1, 0), translation16(0, -2, 0), rotationZ16(0.5f)};
    return m;
}
}  // namespace

TEST(DrawModel, SetsTheStatesInOrderThenDrawsEachMeshsRanges) {
    RecordingDevice device;
    auto model = modelOf(&device, figure());
    OwnedMotion walk({{identity16(), identity16(), identity16()}});
    model->motion = &walk.motion;
    device.log.clear();
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    drawModel(model.get(), world, 0, true);
    const std::vector<std::string> expected = {
        "rs 27 1", "rs 19 5", "rs 20 6", "rs 9 2", "rs 143 1", "rs 25 7", "rs 15 1", "rs 24 1",
        "tss 0 16 2", "tss 0 17 2", "rs 151 3", "rs 167 1", "fvf 4444",
        // mesh a: one-sided
        "rs 22 2", "stream 0 52", "world 0", "world 1", "world 2", "material", "texture 0",
        "draw 0 1", "material", "texture 0", "draw 3 1",
        // mesh b: two-sided, its ranges end at the terminator
        "rs 22 1", "stream 0 52", "world 0", "world 1", "world 2", "material", "texture 0",
        "draw 0 2", "rs 151 0", "rs 167 0"};
    EXPECT_EQ(device.log, expected);
    ASSERT_EQ(device.draws.size(), 3u);
    EXPECT_EQ(device.draws[1].material.Diffuse.r, 0.5f);
    EXPECT_EQ(device.draws[2].material.Diffuse.r, 0.5f);
    EXPECT_EQ(device.draws[0].texture, nullptr);

    // Not loaded: nothing at all.
    device.log.clear();
    Model empty(&device);
    drawModel(&empty, world, 0, true);
    EXPECT_TRUE(device.log.empty());
}

TEST(DrawModel, WorldMatricesAreMeshTimesOffsetTimesFrameTimesWorld) {
    RecordingDevice device;
    const TmbModel source = figure();
    auto model = modelOf(&device, source);
    const Matrix16 f1[] = {rotationZ16(0.1f), translation16(1, 2, 3), rotationZ16(-0.7f)};
    const Matrix16 f2[] = {translation16(0, 1, 0), rotationZ16(0.3f), identity16()};
    OwnedMotion walk({{f1[0], f1[1], f1[2]}, {f2[0], f2[1], f2[2]}});
    model->motion = &walk.motion;
    D3DXMATRIX world;
    D3DXMatrixRotationY(&world, 0.4f);
    world._41 = 3;
    drawModel(model.get(), world, 1.7f, true);  // frame 1
    for (int j = 0; j < 3; ++j) {
        const D3DXMATRIX palette =
            product(product(matrixOf(source.boneOffsets[j]), matrixOf(f2[j])), world);
        expectMatrix(bonePalette()[j], palette, "palette");
        // The last mesh drawn is b, with its own mesh matrix in front.
        expectMatrix(device.world[j], product(matrixOf(source.meshes[1].matrix), palette), "world");
    }
    // Past the end the frames wrap to the loop start (0 here): time 2 is frame 0.
    drawModel(model.get(), world, 2.0f, true);
    expectMatrix(bonePalette()[1],
                 product(product(matrixOf(source.boneOffsets[1]), matrixOf(f1[1])), world),
                 "wrapped");
}

TEST(DrawModel, PartsUseTheBodysPaletteAndFrameWithTheirOwnBoneCount) {
    RecordingDevice device;
    const TmbModel bodySource = figure();
    auto body = modelOf(&device, bodySource);
    TmbModel partSource;
    partSource.materials.resize(1);
    partSource.meshes = {rectangleMesh("p", 0, 1, 1, 0, 0, 1)};
    partSource.meshes[0].matrix = translation16(0, 0, 1);
    partSource.boneOffsets = {translation16(50, 0, 0), translation16(60, 0, 0)};  // never used
    auto part = modelOf(&device, partSource, "p.tmb");
    part->motionSource = body.get();
    OwnedMotion walk({{identity16(), rotationZ16(1), identity16()}});
    body->motion = &walk.motion;
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 0, 0, -2);
    drawModel(body.get(), world, 0, true);
    device.world[2]._41 = 1234;  // what the body left beyond the part's bones
    device.log.clear();
    drawModel(part.get(), world, 0, false);
    for (int j = 0; j < 2; ++j)
        expectMatrix(device.world[j],
                     product(matrixOf(partSource.meshes[0].matrix), bonePalette()[j]), "part");
    EXPECT_EQ(device.world[2]._41, 1234.0f);
    EXPECT_EQ(std::count(device.log.begin(), device.log.end(), "world 2"), 0);

    // A part whose body has no motion (or no body) draws in its bind pose.
    body->motion = nullptr;
    drawModel(part.get(), world, 0, false);
    expectMatrix(device.world[1], product(matrixOf(partSource.meshes[0].matrix), world),
                 "bind pose");
}

TEST(DrawModel, UnanimatedModelsDrawInTheirBindPose) {
    RecordingDevice device;
    const TmbModel withBones = figure();
    TmbModel noBones = figure();
    noBones.boneOffsets.clear();
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 7, 0, 0);
    const D3DXMATRIX meshB = product(matrixOf(withBones.meshes[1].matrix), world);

    // No bones, no motion: one matrix, the first index's, at full weight.
    auto still = modelOf(&device, noBones);
    device.log.clear();
    drawModel(still.get(), world, 0, true);
    expectMatrix(device.world[0], meshB, "no bones");
    EXPECT_EQ(device.draws.back().vertexBlend, static_cast<uint32_t>(D3DVBF_0WEIGHTS));
    EXPECT_EQ(std::count(device.log.begin(), device.log.end(), "world 1"), 0);

    // Bones without a motion (or a motion without matrices): every bone's matrix is the
    // mesh's world, so the weights cannot pull vertices to stale matrices.
    Motion failed;
    for (Motion* motion : {static_cast<Motion*>(nullptr), &failed}) {
        auto posed = modelOf(&device, withBones);
        posed->motion = motion;
        drawModel(posed.get(), world, 0, true);
        for (int j = 0; j < 3; ++j) expectMatrix(device.world[j], meshB, "bind pose");
        EXPECT_EQ(device.draws.back().vertexBlend, static_cast<uint32_t>(D3DVBF_3WEIGHTS));
    }

    // A motion without bones on a model without bones: drawn as if unanimated.
    OwnedMotion walk({{rotationZ16(1)}});
    still->motion = &walk.motion;
    drawModel(still.get(), world, 0, true);
    expectMatrix(device.world[0], meshB, "no bones with a motion");
}

TEST(DrawModel, BonesTheMotionLacksStayInPlaceAndBadRangesAreSkipped) {
    RecordingDevice device;
    TmbModel source = figure();
    source.meshes[0].ranges = {{0, 0, 1}, {2, 0, 1}, {-1, 0, 1}, {0, 4, 1}, {0, 3, 0}, {1, 3, 1}};
    auto model = modelOf(&device, source);
    OwnedMotion shortMotion({{rotationZ16(0.2f)}});  // one bone for a three-bone model
    model->motion = &shortMotion.motion;
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 0, 1, 0);
    device.draws.clear();
    drawModel(model.get(), world, 0, true);
    expectMatrix(
        bonePalette()[0],
        product(product(matrixOf(source.boneOffsets[0]), matrixOf(rotationZ16(0.2f))), world),
        "bone 0");
    expectMatrix(bonePalette()[1], world, "bone 1");
    expectMatrix(bonePalette()[2], world, "bone 2");
    // Mesh a: materials 2 and -1 do not exist, 4 + 3 vertices run past its 6, 0 triangles draw
    // nothing; mesh b draws its one range.
    ASSERT_EQ(device.draws.size(), 3u);
    EXPECT_EQ(device.draws[0].startVertex, 0u);
    EXPECT_EQ(device.draws[1].startVertex, 3u);
    EXPECT_EQ(device.draws[1].cullMode, static_cast<uint32_t>(D3DCULL_CW));
    EXPECT_EQ(device.draws[2].cullMode, static_cast<uint32_t>(D3DCULL_NONE));
}

namespace {
// Pictures through the real device: lighting off, so vertex colours show as they are.
class DrawnModel : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(h.ok());
        device = h.device();
        h.graphics->setCamera(D3DXVECTOR3(0, 1, 6), D3DXVECTOR3(0, 1, 0), nullptr);
        device->clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->setRenderState(D3DRS_LIGHTING, 0);
        device->setRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
        D3DXMatrixIdentity(&world);
    }

    // The back-buffer pixel that a world-space point projects to, by the projection rule.
    std::pair<int, int> pixelAt(float x, float y, float z) {
        D3DVIEWPORT8 viewport;
        device->getViewport(&viewport);
        D3DXVECTOR3 screen;
        const D3DXVECTOR3 point(x, y, z);
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        D3DXVec3Project(&screen, &point, &viewport, &h.graphics->projection(), &h.graphics->view(),
                        &identity);
        return {static_cast<int>(std::lround(screen.x)), static_cast<int>(std::lround(screen.y))};
    }

    uint32_t rgbAt(float x, float y, float z) {
        const auto [px, py] = pixelAt(x, y, z);
        const bool inside = px >= 0 && py >= 0 && px < h.image.width && py < h.image.height;
        EXPECT_TRUE(inside) << x << ", " << y << ", " << z << " is off the picture";
        return inside ? h.pixel(px, py) & 0xFFFFFF : 0xDEADBEEF;
    }

    HeadlessDevice h{200, 200};
    RenderDevice* device = nullptr;
    D3DXMATRIX world;
};

// A strip from y = 0 to 2: the lower half red on bone 0, the upper half green on bone 1.
TmbModel strip() {
    TmbModel m;
    m.materials.resize(1);
    m.meshes = {rectangleMesh("lower", -0.25f, 1, 0.25f, 0, 0, 0, 0xFFFF0000),
                rectangleMesh("upper", -0.25f, 2, 0.25f, 1, 0, 1, 0xFF00FF00)};
    m.boneOffsets = {identity16(), identity16()};
    return m;
}

// Bone 1 turned a quarter about z around the joint at (0, 1, 0).
Matrix16 bentAtJoint() {
    D3DXMATRIX down, up;
    D3DXMatrixTranslation(&down, 0, -1, 0);
    D3DXMatrixTranslation(&up, 0, 1, 0);
    const D3DMATRIX r = product(product(down, matrixOf(rotationZ16(kHalfPi))), up);
    Matrix16 m;
    std::memcpy(m.data(), &r, 64);
    return m;
}
}  // namespace

TEST_F(DrawnModel, ATwoBoneStripBendsWhereTheMatricesSay) {
    auto model = modelOf(device, strip());
    drawModel(model.get(), world, 0, true);
    h.readBack();
    EXPECT_EQ(rgbAt(0, 0.5f, 0), 0xFF0000u);
    EXPECT_EQ(rgbAt(0, 1.6f, 0), 0x00FF00u);  // unbent without a motion

    OwnedMotion bend({{identity16(), bentAtJoint()}});
    model->motion = &bend.motion;
    device->clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    drawModel(model.get(), world, 0, true);
    h.readBack();
    // A quarter turn counter-clockwise about z carries (0, 1 + d) to (-d, 1).
    EXPECT_EQ(rgbAt(0, 0.5f, 0), 0xFF0000u);
    EXPECT_EQ(rgbAt(0, 1.6f, 0), 0u);
    EXPECT_EQ(rgbAt(-0.6f, 1.1f, 0), 0x00FF00u);
    EXPECT_EQ(rgbAt(-0.9f, 0.9f, 0), 0x00FF00u);
    EXPECT_EQ(rgbAt(0.6f, 1.0f, 0), 0u);
    // The strip's bent end, at x = -1, within a pixel.
    const auto [endX, endY] = pixelAt(-1, 1, 0);
    EXPECT_EQ(h.pixel(endX + 1, endY) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(h.pixel(endX - 2, endY) & 0xFFFFFF, 0u);
}

TEST_F(DrawnModel, ACostumePartFollowsTheBodysPalette) {
    auto body = modelOf(device, strip());
    TmbModel sleeve;
    sleeve.materials.resize(1);
    // In the bind pose the sleeve sits on the upper half, in front of it; its own offsets
    // would throw it far away if they were used.
    sleeve.meshes = {rectangleMesh("sleeve", -0.3f, 1.9f, 0.3f, 1.5f, 0.1f, 1, 0xFF0000FF)};
    sleeve.boneOffsets = {translation16(40, 0, 0), translation16(40, 0, 0)};
    auto part = modelOf(device, sleeve, "sleeve.tmb");
    part->motionSource = body.get();
    OwnedMotion bend({{identity16(), bentAtJoint()}});
    body->motion = &bend.motion;
    drawModel(body.get(), world, 0, true);
    drawModel(part.get(), world, 0, false);
    h.readBack();
    EXPECT_EQ(rgbAt(-0.7f, 1.0f, 0.1f), 0x0000FFu);  // (0, 1.7) bent to (-0.7, 1)
    EXPECT_EQ(rgbAt(-0.3f, 1.0f, 0.0f), 0x00FF00u);
    EXPECT_EQ(rgbAt(0, 1.7f, 0.1f), 0u);
}

TEST_F(DrawnModel, OneSidedMeshesShowOnlyTheirCounterClockwiseFaces) {
    TmbModel m;
    m.materials.resize(1);
    TmbMesh front = rectangleMesh("front", -2, 1, -0.5f, 0, 0, 0, 0xFFFF0000);
    TmbMesh back = front;  // the same rectangle wound the other way
    back.name = "back";
    for (size_t i = 0; i < back.vertices.size(); i += 3)
        std::swap(back.vertices[i + 1], back.vertices[i + 2]);
    for (TmbVertex& v : back.vertices) v.position[0] += 2.5f;
    TmbMesh twoSided = back;
    twoSided.oneSided = false;
    for (TmbVertex& v : twoSided.vertices) v.position[1] += 1.5f, v.colour = 0xFF00FF00;
    m.meshes = {front, back, twoSided};
    auto model = modelOf(device, m);
    drawModel(model.get(), world, 0, true);
    h.readBack();
    EXPECT_EQ(rgbAt(-1.25f, 0.5f, 0), 0xFF0000u);
    EXPECT_EQ(rgbAt(1.25f, 0.5f, 0), 0u);
    EXPECT_EQ(rgbAt(1.25f, 2.0f, 0), 0x00FF00u);
}

TEST_F(DrawnModel, TransparentTexelsAreDiscardedAndLeaveNoDepth) {
    // A textured square in front whose left half is fully transparent, then a blue square
    // behind it: the blue shows through the left half only.
    TmbModel front;
    front.textures = {{"half", 4, 1, {0x00FF0000, 0x00FF0000, 0xFFFF0000, 0xFFFF0000}}};
    front.materials.resize(1);
    TmbMesh square = rectangleMesh("square", -1, 2, 1, 0, 1);
    for (TmbVertex& v : square.vertices) v.uv = {(v.position[0] + 1) / 2, (2 - v.position[1]) / 2};
    front.meshes = {square};
    TmbModel behind;
    behind.materials.resize(1);
    behind.meshes = {rectangleMesh("behind", -1.5f, 2.5f, 1.5f, -0.5f, 0, 0, 0xFF0000FF)};
    auto a = modelOf(device, front, "front.tmb");
    auto b = modelOf(device, behind, "behind.tmb");
    drawModel(a.get(), world, 0, true);
    drawModel(b.get(), world, 0, true);
    h.readBack();
    EXPECT_EQ(rgbAt(-0.6f, 1, 1), 0x0000FFu);
    EXPECT_EQ(rgbAt(0.6f, 1, 1), 0xFF0000u);
    EXPECT_EQ(rgbAt(1.3f, 1, 0), 0x0000FFu);
}
