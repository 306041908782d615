// The camera: default view, played paths and their locator, orbit, pan, dolly, limits, glides
// and the dress-up screen's sideways shift.
#include "character/camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "archive/catalogue.h"
#include "gfx/graphics_device.h"
#include "media/model.h"
#include "tests/media/media_fixtures.h"
#include "tests/support/headless_device.h"
#include "tests/support/test_files.h"
#include "tools/writers/tcm_writer.h"

namespace {
constexpr float kPi = 3.14159265358979f;

float length(const D3DXVECTOR3& v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}
D3DXVECTOR3 minus(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
// The near plane the projection was built with.
float nearPlane(const D3DXMATRIX& p) {
    return p._43 / p._33;
}

#define EXPECT_VEC(v, ex, ey, ez, tolerance)   \
    do {                                       \
        EXPECT_NEAR((v).x, (ex), (tolerance)); \
        EXPECT_NEAR((v).y, (ey), (tolerance)); \
        EXPECT_NEAR((v).z, (ez), (tolerance)); \
    } while (0)

// A device wrapper without a window holds the camera state and builds its matrices: enough for
// everything but drawing.
class CameraTest : public ::testing::Test {
protected:
    void SetUp() override {
        setGraphicsDevice(&graphics);
        setCameraPath(camera, nullptr, false);
    }
    void TearDown() override {
        setGraphicsDevice(nullptr);
        if (std::filesystem::exists("add-ons")) {
            std::filesystem::remove_all("add-ons");
            buildCatalogue();
        }
    }
    D3DXVECTOR3& eye() { return graphics.eye(); }
    D3DXVECTOR3& target() { return graphics.target(); }

    // "walk.tcm" with frame i at eye (i, 8, 15) and target (i, 8, 0).
    void installPath(int frames) {
        CameraPathData data;
        for (int i = 0; i < frames; ++i)
            data.frames.push_back({{float(i), 8, 15}, {float(i), 8, 0}, 0});
        const std::string text = writeTcm(data);
        installAddOn({member("walk.tcm", std::vector<uint8_t>(text.begin(), text.end()))});
    }

    GraphicsDevice graphics;
    CameraControl camera;
};
}  // namespace

TEST_F(CameraTest, DefaultViewAndNoShift) {
    graphics.setProjectionShift(-6.5f, 15.0f);
    eye() = {3, 3, 3};
    setCameraPath(camera, "", true);
    EXPECT_FALSE(camera.path);
    EXPECT_VEC(eye(), 0, 8, 15, 0);
    EXPECT_VEC(target(), 0, 8, 0, 0);
    EXPECT_VEC(graphics.up(), 0, 1, 0, 0);
    EXPECT_EQ(graphics.projection()._41, 0.0f);
    // No path: playing does nothing.
    eye() = {1, 2, 3};
    playCameraPath(camera, 1000);
    EXPECT_VEC(eye(), 1, 2, 3, 0);
}

TEST_F(CameraTest, OrbitStopsAt89DegreesWhileTheYawFollows) {
    for (const int dy : {1000, -1000}) {
        SCOPED_TRACE(dy);
        setCameraPath(camera, nullptr, false);
        orbitCamera(0, dy);
        D3DXVECTOR3 v = minus(eye(), target());
        EXPECT_NEAR(length(v), 15.0f, 1e-3);
        EXPECT_NEAR(std::asin(std::fabs(v.y) / length(v)), 1.5533429f, 1e-3);
        EXPECT_NEAR(std::atan2(v.x, v.z), 0.0f, 1e-3);
        // Further drags the same way keep the pitch; 90 pixels sideways turn 30 degrees.
        orbitCamera(90, dy);
        v = minus(eye(), target());
        EXPECT_NEAR(std::asin(std::fabs(v.y) / length(v)), 1.5533429f, 1e-3);
        EXPECT_NEAR(std::atan2(v.x, v.z), -kPi / 6, 1e-3);
        EXPECT_VEC(target(), 0, 8, 0, 0);
        EXPECT_VEC(graphics.up(), 0, 1, 0, 0);
    }
    // Dragging down by 3 pixels lowers the pitch by one degree: the eye rises.
    setCameraPath(camera, nullptr, false);
    orbitCamera(0, 3);
    EXPECT_NEAR(eye().y - 8, 15 * std::sin(kPi / 180), 1e-3);
}

TEST_F(CameraTest, PanMovesEyeAndTargetTogetherWithinTheLimits) {
    panCamera(60, 40);  // one unit sideways, one up
    EXPECT_VEC(eye(), -1, 9, 15, 1e-5);
    EXPECT_VEC(target(), -1, 9, 0, 1e-5);

    // Far beyond the limit: the target is pulled onto the sphere of 80, the eye within 75 of it.
    setCameraPath(camera, nullptr, false);
    panCamera(60 * 200, 0);
    EXPECT_NEAR(length(target()), kCameraTargetLimit, 1e-3);
    EXPECT_NEAR(length(minus(eye(), target())), kCameraEyeLimit, 1e-3);
    EXPECT_LT(target().x, -79.0f);  // still in the direction it was dragged
}

TEST_F(CameraTest, LimitCamera) {
    const struct {
        D3DXVECTOR3 target, eye, wantTarget, wantEye;
    } cases[] = {
        {{0, 8, 0}, {0, 8, 15}, {0, 8, 0}, {0, 8, 15}},       // inside: unchanged
        {{0, 0, 80}, {0, 0, 155}, {0, 0, 80}, {0, 0, 155}},   // both exactly on the limits
        {{0, 0, 160}, {0, 0, 170}, {0, 0, 80}, {0, 0, 155}},  // target halved, eye then limited
        {{0, 0, 0}, {100, 0, 0}, {0, 0, 0}, {75, 0, 0}},
    };
    for (const auto& c : cases) {
        D3DXVECTOR3 target = c.target, eye = c.eye;
        limitCamera(target, eye);
        EXPECT_VEC(target, c.wantTarget.x, c.wantTarget.y, c.wantTarget.z, 1e-4);
        EXPECT_VEC(eye, c.wantEye.x, c.wantEye.y, c.wantEye.z, 1e-4);
    }
}

TEST_F(CameraTest, DollyAndTheNearPlane) {
    dollyCamera(500, 100);  // dx is not used; 100 pixels down is 5 units closer
    EXPECT_VEC(eye(), 0, 8, 10, 1e-5);
    EXPECT_EQ(nearPlane(graphics.projection()), 1.0f);
    const struct {
        int dy;
        float distance, near;
    } cases[] = {{260, 2.0f, 1.0f}, {270, 1.5f, 0.1f}, {-170, 23.5f, 1.0f}};
    for (const auto& c : cases) {
        setCameraPath(camera, nullptr, false);
        dollyCamera(0, c.dy);
        EXPECT_NEAR(length(minus(eye(), target())), c.distance, 1e-5) << c.dy;
        EXPECT_NEAR(nearPlane(graphics.projection()), c.near, 1e-5) << c.dy;
    }
    // Dragging up past the eye limit stops at 75 from the target.
    setCameraPath(camera, nullptr, false);
    dollyCamera(0, -10000);
    EXPECT_NEAR(length(minus(eye(), target())), kCameraEyeLimit, 1e-3);
}

TEST_F(CameraTest, HeldPathStopsOnItsLastFrameAndLeavesLaterMovesAlone) {
    ScopedCurrentPath inFolder(freshTestFolder());
    installPath(3);
    setCameraPath(camera, "walk.tcm", true);
    ASSERT_TRUE(camera.path);
    EXPECT_VEC(eye(), 0, 8, 15, 0);  // nothing moves before the first played frame
    graphics.setProjectionShift(-6.5f, 15.0f);
    playCameraPath(camera, 32);  // time 1
    EXPECT_VEC(eye(), 1, 8, 15, 0);
    EXPECT_EQ(graphics.projection()._41, 0.0f);  // a played frame clears the shift
    playCameraPath(camera, 32);
    EXPECT_VEC(eye(), 2, 8, 15, 0);
    EXPECT_VEC(target(), 2, 8, 0, 0);
    graphics.setProjectionShift(-6.5f, 15.0f);
    playCameraPath(camera, 32);  // time 3: past the end
    EXPECT_VEC(eye(), 2, 8, 15, 0);
    EXPECT_NE(graphics.projection()._41, 0.0f);
    panCamera(0, 40);
    for (int i = 0; i < 10; ++i) playCameraPath(camera, 100);
    EXPECT_VEC(eye(), 2, 9, 15, 1e-6);
}

TEST_F(CameraTest, UnheldPathRepeats) {
    ScopedCurrentPath inFolder(freshTestFolder());
    installPath(3);
    setCameraPath(camera, "walk.tcm", false);
    const struct {
        float ms, x;
    } steps[] = {{0, 0}, {64, 2}, {16, 2}, {16, 0}, {32, 1}, {32 * 30, 1}};
    for (const auto& s : steps) {
        playCameraPath(camera, s.ms);
        EXPECT_EQ(eye().x, s.x) << camera.pathTime;
    }
    // A new path starts from time 0.
    setCameraPath(camera, "walk.tcm", false);
    EXPECT_EQ(camera.pathTime, 0.0f);
}

TEST_F(CameraTest, PathOfNoFramesLeavesTheCamera) {
    ScopedCurrentPath inFolder(freshTestFolder());
    const std::string noFrames = "@TCM100\r\ncam\r\n5 4\r\n<___end___>\r\n";
    const std::string wrongHeader = "@TCM999\r\ncam\r\n0 0\r\n1 2 3 4 5 6 7\r\n<___end___>\r\n";
    installAddOn({member("none.tcm", std::vector<uint8_t>(noFrames.begin(), noFrames.end())),
                  member("bad.tcm", std::vector<uint8_t>(wrongHeader.begin(), wrongHeader.end()))});
    for (const char* name : {"none.tcm", "bad.tcm"}) {
        for (const bool hold : {false, true}) {
            setCameraPath(camera, name, hold);
            eye() = {1, 2, 3};
            playCameraPath(camera, 0);
            playCameraPath(camera, 500);
            SCOPED_TRACE(name);
            EXPECT_VEC(eye(), 1, 2, 3, 0);
        }
    }
}

TEST_F(CameraTest, StageLocatorPlacesThePath) {
    ScopedCurrentPath inFolder(freshTestFolder());
    installPath(2);
    TmbModel stage;
    stage.placements.push_back({"cam_a", {10, 0, 5}, {0.3f, kPi / 2, 0.2f}, {2, 2, 2}});
    const std::vector<uint8_t> bytes = writeTmb(stage);
    auto* model = new Model();
    ASSERT_EQ(readModel(model, fileBlock(bytes), bytes.size(), "stage.tmb"), 0);

    setCameraLocator(camera, "cam_a", nullptr);
    EXPECT_FALSE(camera.hasLocator);
    // Looked up again with the stored name, as when the stage model is replaced.
    setCameraLocator(camera, camera.locatorName, model);
    ASSERT_TRUE(camera.hasLocator);
    // The camera keeps its own copy: the stage model may go.
    releaseModel(model);
    delete model;
    setCameraPath(camera, "walk.tcm", false);
    playCameraPath(camera, 32);  // frame 1: eye (1, 8, 15), target (1, 8, 0)
    // Turned a quarter about y ((x, z) -> (z, -x)), then moved; x and z turns and scale unused.
    EXPECT_VEC(eye(), 15 + 10, 8, -1 + 5, 1e-4);
    EXPECT_VEC(target(), 0 + 10, 8, -1 + 5, 1e-4);

    // A name the stage lacks, or no stage: paths play as they are.
    setCameraLocator(camera, "cam_b", nullptr);
    EXPECT_STREQ(camera.locatorName, "cam_b");
    EXPECT_FALSE(camera.hasLocator);
    playCameraPath(camera, 32);
    EXPECT_VEC(eye(), 0, 8, 15, 0);

    const std::string longName(300, 'x');
    setCameraLocator(camera, longName.c_str(), nullptr);
    EXPECT_EQ(std::string(camera.locatorName), longName.substr(0, 255));
    setCameraLocator(camera, nullptr, nullptr);
    EXPECT_STREQ(camera.locatorName, "");
}

TEST_F(CameraTest, GlideReachesThePresetAndClearsBusy) {
    CameraGlide glide;
    startCameraGlide(camera, glide, 1);
    EXPECT_TRUE(glide.gliding);
    EXPECT_TRUE(camera.busy);
    // From the default view the eye is 9.489 from preset 1 (the target 4.488): the gap shrinks by
    // a fifth each step and is first below 0.05 before step 25 (9.489 x 0.8^24 = 0.045).
    int steps = 0;
    bool finished = false;
    while (!finished && steps < 100) {
        finished = glideCameraStep(camera, glide);
        ++steps;
    }
    EXPECT_EQ(steps, 25);
    EXPECT_FALSE(camera.busy);
    EXPECT_FALSE(glide.gliding);
    EXPECT_LT(length(minus(eye(), kCameraPresets[1].eye)), 0.05f);
    EXPECT_LT(length(minus(target(), kCameraPresets[1].target)), 0.05f);

    // Windows 13 to 15 show the whole figure, as 0 does; other numbers change nothing.
    startCameraGlide(camera, glide, 14);
    EXPECT_VEC(glide.eye, -10.28599f, 9.917835f, 16.70302f, 0);
    CameraGlide untouched;
    CameraControl idle;
    for (const int index : {-1, 16, 1000}) startCameraGlide(idle, untouched, index);
    EXPECT_FALSE(untouched.gliding);
    EXPECT_FALSE(idle.busy);
}

TEST_F(CameraTest, NothingHappensWithoutADevice) {
    setGraphicsDevice(nullptr);
    CameraGlide glide;
    setCameraPath(camera, nullptr, true);
    orbitCamera(10, 10);
    panCamera(10, 10);
    dollyCamera(10, 10);
    startCameraGlide(camera, glide, 3);
    EXPECT_TRUE(glideCameraStep(camera, glide));
    EXPECT_FALSE(camera.busy);
}

// The dress-up screen's shift keeps the target left of centre by 6.5/15 of the half width,
// however far the eye is.
TEST(CameraShift, TargetLeftOfCentreAtAnyZoom) {
    ScopedCurrentPath inFolder(freshTestFolder());
    HeadlessDevice d;
    ASSERT_TRUE(d.ok());
    CameraControl camera;
    setCameraPath(camera, nullptr, false);
    D3DVIEWPORT8 viewport{};
    d.device()->getViewport(&viewport);
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    for (const int dy : {0, 200, 270}) {  // distances 15, 5 and 1.5 (near plane 0.1)
        setCameraPath(camera, nullptr, false);
        dollyCamera(0, dy);
        d.graphics->setProjectionShift(-6.5f, 15.0f);
        D3DXMATRIX view, projection;
        d.device()->getTransform(D3DTS_VIEW, &view);
        d.device()->getTransform(D3DTS_PROJECTION, &projection);
        D3DXVECTOR3 p;
        D3DXVec3Project(&p, &d.graphics->target(), &viewport, &projection, &view, &world);
        EXPECT_NEAR(p.x, 400.0f - 400.0f * 6.5f / 15.0f, 0.01f) << dy;
        EXPECT_NEAR(p.y, 300.0f, 0.01f) << dy;
    }
    std::filesystem::remove_all("add-ons");
    buildCatalogue();
}
