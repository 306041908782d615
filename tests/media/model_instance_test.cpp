// Model and character instances: matrices, placements, the motion clock, bodies and parts.
#include "media/model_instance.h"

#include <gtest/gtest.h>

#include <cmath>

#include "archive/catalogue.h"
#include "media/motion.h"
#include "tests/media/media_fixtures.h"
#include "tests/media/recording_device.h"
#include "tests/support/test_files.h"

namespace {
D3DXVECTOR4 transform(const D3DXMATRIX& m, float x, float y, float z) {
    D3DXVECTOR4 out;
    const D3DXVECTOR3 v(x, y, z);
    D3DXVec3Transform(&out, &v, &m);
    return out;
}

void expectPoint(const D3DXVECTOR4& p, float x, float y, float z) {
    EXPECT_NEAR(p.x, x, 1e-5);
    EXPECT_NEAR(p.y, y, 1e-5);
    EXPECT_NEAR(p.z, z, 1e-5);
}

TmbModel withPlacements() {
    TmbModel m;
    m.materials.resize(1);
    m.meshes = {rectangleMesh("m", 0, 1, 1, 0, 0)};
    m.boneOffsets = {identity16()};
    m.placements = {{"chair", {1, 2, 3}, {0.5f, 0.25f, 0.75f}, {2, 3, 4}}};
    return m;
}

MotionData ninetyFrames() {
    MotionData m;
    m.boneCount = 1;
    m.frameCount = 90;
    m.matrices.assign(90, identity16());
    return m;
}

// Instances loading from a fresh add-on folder.
class Instances : public ::testing::Test {
protected:
    Instances() : folder_(freshTestFolder()), inFolder_(folder_) {
        installAddOn({member("body.tmb", writeTmb(withPlacements())),
                      member("body2.tmb", writeTmb(withPlacements())),
                      member("shirt.tmb", writeTmb(withPlacements())),
                      member("body.dat", writeTmb(withPlacements())),
                      member("stand.tsb", writeTsb(ninetyFrames()))});
    }
    ~Instances() override {
        std::filesystem::remove_all("add-ons");
        buildCatalogue();
    }
    std::filesystem::path folder_;
    ScopedCurrentPath inFolder_;
};
}  // namespace

TEST(InstanceMatrices, RotateAboutYThenTranslateThenScale) {
    ModelInstance a;
    a.position[0] = 1;
    a.scale[0] = a.scale[1] = a.scale[2] = 2;
    expectPoint(transform(worldMatrix(&a), 0, 0, 0), 2, 0, 0);  // the scale scales the position too

    ModelInstance b;
    b.rotation[0] = 1.0f;  // x and z are kept but do not turn the model
    b.rotation[1] = 1.5707964f;
    b.rotation[2] = 2.0f;
    b.position[2] = 5;
    expectPoint(transform(worldMatrix(&b), 1, 0, 0), 0, 0, 4);

    // Attachments: scaled about their own origin, moved by the offset, then the instance's world.
    expectPoint(transform(attachmentMatrix(&b, 0, 0, 1, 3), 1, 0, 0), 1, 0, 2);
    expectPoint(transform(attachmentMatrix(&a, 0.5f, 1, 0, 1), 0, 0, 0), 3, 2, 0);
}

TEST(InstanceMatrices, PlacementsCopyAndResetTheTransform) {
    Model model;
    const std::vector<uint8_t> bytes = writeTmb(withPlacements());
    ASSERT_EQ(readModel(&model, fileBlock(bytes), bytes.size(), "room.tmb"), 0);
    ModelInstance instance;
    applyPlacement(&instance, findPlacement(&model, "chair"));
    EXPECT_STREQ(instance.placementName, "chair");
    EXPECT_EQ(instance.position[2], 3.0f);
    EXPECT_EQ(instance.rotation[1], 0.25f);
    EXPECT_EQ(instance.scale[2], 4.0f);
    applyPlacement(&instance, nullptr);
    EXPECT_STREQ(instance.placementName, "chair");
    EXPECT_EQ(instance.position[2], 0.0f);
    EXPECT_EQ(instance.rotation[0], 0.0f);
    EXPECT_EQ(instance.scale[1], 1.0f);
}

TEST(InstanceMatrices, TheMotionClockRunsAt45FramesASecond) {
    CharacterInstance c;
    EXPECT_EQ(c.lighting, 1);
    EXPECT_EQ(ModelInstance().lighting, 0);
    c.update(0.5f);
    c.update(0.5f);
    EXPECT_EQ(motionFrame(&c), 45.0f);
    // Ninety frames without a loop start repeat every two seconds.
    Motion m;
    m.frameCount = 90;
    EXPECT_EQ(frameForTime(&m, motionFrame(&c)), 45);
    c.update(1.5f);
    EXPECT_EQ(frameForTime(&m, motionFrame(&c)), 22);
}

TEST_F(Instances, PartsFollowTheBodyAndNilNamesClearSlots) {
    const int tracked = instanceList().count;
    auto* c = new CharacterInstance;
    EXPECT_EQ(instanceList().count, tracked + 1);

    EXPECT_EQ(setPart(c, 3, "shirt.tmb"), 3);  // before any body: no motion source
    ASSERT_NE(c->parts[3], nullptr);
    EXPECT_EQ(c->parts[3]->motionSource, nullptr);

    EXPECT_EQ(setPart(c, 0, "body.tmb"), 0);
    ASSERT_NE(c->body, nullptr);
    EXPECT_EQ(c->body->loaded, 1);
    EXPECT_EQ(c->parts[3]->motionSource, c->body);
    setMotion(c, "stand.tsb");
    Motion* stand = c->body->motion;
    ASSERT_NE(stand, nullptr);
    EXPECT_EQ(stand->frameCount, 90);

    EXPECT_EQ(setPart(c, 5, "shirt.tmb"), 5);
    EXPECT_EQ(c->parts[5]->motionSource, c->body);
    EXPECT_STREQ(c->parts[5]->name, "shirt.tmb");

    // A body swap keeps the motion and every part follows the new body at once.
    c->time = 3;
    EXPECT_EQ(setPart(c, 0, "body2.tmb"), 0);
    EXPECT_STREQ(c->body->name, "body2.tmb");
    EXPECT_EQ(c->body->motion, stand);
    EXPECT_EQ(c->parts[3]->motionSource, c->body);
    EXPECT_EQ(c->parts[5]->motionSource, c->body);
    EXPECT_EQ(c->time, 3.0f);

    // "nil." in any case: a slot is emptied, the body is left alone.
    for (const char* nil : {"nil.tmb", "NIL.x", "Nil."}) {
        EXPECT_EQ(setPart(c, 5, nil), 5);
        EXPECT_EQ(c->parts[5], nullptr);
        Model* body = c->body;
        EXPECT_EQ(setPart(c, 0, nil), 0);
        EXPECT_EQ(c->body, body);
    }
    EXPECT_EQ(setPart(c, 6, "nil"), 6);  // only the whole "nil." prefix counts (and then: missing)
    // A name without ".tmb" takes its slot but stays unloaded.
    EXPECT_EQ(setPart(c, 7, "body.dat"), 7);
    ASSERT_NE(c->parts[7], nullptr);
    EXPECT_EQ(c->parts[7]->loaded, 0);
    EXPECT_EQ(setPart(c, 32, "shirt.tmb"), 32);  // no such slot: nothing happens
    EXPECT_EQ(setPart(c, -1, "shirt.tmb"), -1);

    delete c;
    EXPECT_EQ(instanceList().count, tracked);
}

TEST_F(Instances, LoadBodyAndSetMotionOnAModelInstance) {
    ModelInstance stage;
    setMotion(&stage, "stand.tsb");  // no body: nothing happens
    loadBody(&stage, "body.tmb");
    ASSERT_NE(stage.body, nullptr);
    EXPECT_EQ(stage.body->loaded, 1);
    setMotion(&stage, "stand.tsb");
    EXPECT_EQ(stage.body->motion, getMotion("stand.tsb"));
    ModelInstance wrongName;
    loadBody(&wrongName, "body.TMB");
    EXPECT_EQ(wrongName.body->loaded, 0);
}

TEST(InstanceDrawing, BodyFirstWithItsPaletteThenPartsInSlotOrder) {
    RecordingDevice device;
    auto load = [&](const TmbModel& source, const char* name) {
        auto* model = new Model(&device);
        const std::vector<uint8_t> bytes = writeTmb(source);
        EXPECT_EQ(readModel(model, fileBlock(bytes), bytes.size(), name), 0);
        return model;
    };
    TmbModel part = withPlacements();
    part.meshes[0].ranges = {{0, 3, 1}};  // told apart from the body by the first vertex drawn
    CharacterInstance c;
    c.body = load(withPlacements(), "body.tmb");
    c.parts[9] = load(part, "p9.tmb");
    c.parts[2] = load(part, "p2.tmb");
    c.parts[9]->motionSource = c.parts[2]->motionSource = c.body;
    c.position[0] = 4;
    c.draw();
    std::vector<std::string> sequence;
    for (const std::string& line : device.log)
        if (line == "rs 23 2" || line == "rs 137 1" || line.rfind("draw", 0) == 0)
            sequence.push_back(line);
    EXPECT_EQ(sequence, (std::vector<std::string>{"rs 23 2", "rs 137 1", "draw 0 2", "rs 23 2",
                                                  "rs 137 1", "draw 3 1", "draw 3 1"}));
    EXPECT_EQ(device.world[0]._41, 4.0f);
    ASSERT_EQ(device.draws.size(), 3u);

    device.draws.clear();
    c.visible = 0;
    c.draw();
    EXPECT_TRUE(device.draws.empty());

    ModelInstance stage;
    stage.body = load(withPlacements(), "stage.tmb");
    stage.draw();
    EXPECT_EQ(device.states[D3DRS_LIGHTING], 0u);
    EXPECT_EQ(device.draws.size(), 1u);
}
