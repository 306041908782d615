// The device wrapper's camera: view, projection, near plane and horizontal shift.
#include <gtest/gtest.h>

#include "tests/support/headless_device.h"

namespace {
float nearPlaneOf(const D3DXMATRIX& p) { return p._43 / p._33; }
}  // namespace

TEST(GraphicsDevice, NearPlaneDependsOnTheEyeToTargetDistance) {
    HeadlessDevice d;
    ASSERT_TRUE(d.ok());
    struct Case {
        float distance, nearPlane;
    } cases[] = {{1.5f, 0.1f}, {1.999f, 0.1f}, {2.0f, 1.0f}, {15.0f, 1.0f}};
    for (const Case& c : cases) {
        d.graphics->setCamera(D3DXVECTOR3(0, 8, c.distance), D3DXVECTOR3(0, 8, 0), nullptr);
        EXPECT_NEAR(nearPlaneOf(d.graphics->projection()), c.nearPlane, 1e-4) << c.distance;
    }
}

TEST(GraphicsDevice, ProjectionShiftIsScaledByDistanceOnlyWithADivisor) {
    HeadlessDevice d;
    ASSERT_TRUE(d.ok());
    d.graphics->setCamera(D3DXVECTOR3(0, 0, 8), D3DXVECTOR3(0, 0, 0), nullptr);
    d.graphics->setProjectionShift(0.25f, 0.0f);
    EXPECT_FLOAT_EQ(d.graphics->projection()._41, 0.25f);
    d.graphics->setProjectionShift(1.0f, 4.0f);
    EXPECT_FLOAT_EQ(d.graphics->projection()._41, 2.0f);
    // The device gets the same matrices.
    D3DMATRIX onDevice;
    d.device()->getTransform(D3DTS_PROJECTION, &onDevice);
    EXPECT_FLOAT_EQ(onDevice._41, 2.0f);
}

TEST(GraphicsDevice, CameraDefaultsAndNullUp) {
    HeadlessDevice d(640, 480);
    ASSERT_TRUE(d.ok());
    d.graphics->up() = D3DXVECTOR3(1, 0, 0);
    d.graphics->setCamera(D3DXVECTOR3(0, 8, 15), D3DXVECTOR3(0, 8, 0), nullptr);
    EXPECT_EQ(d.graphics->up().y, 1.0f);
    EXPECT_EQ(d.graphics->up().x, 0.0f);
    // Aspect from the client area: 640 / 480.
    const D3DXMATRIX& p = d.graphics->projection();
    EXPECT_NEAR(p._22 / p._11, 640.0f / 480.0f, 1e-5);
    // The target lies 15 in front of the eye.
    D3DXVECTOR4 t;
    D3DXVECTOR3 target(0, 8, 0);
    D3DXVec3Transform(&t, &target, &d.graphics->view());
    EXPECT_NEAR(t.z, -15, 1e-5);
}

TEST(GraphicsDevice, BeginFrameClearsTargetAndDepth) {
    HeadlessDevice d(64, 48);
    ASSERT_TRUE(d.ok());
    d.graphics->beginFrame(0xFF204060);
    d.readBack();
    EXPECT_EQ(d.pixel(10, 10) & 0xFFFFFF, 0x204060u);
    d.graphics->endFrame();
    EXPECT_TRUE(d.graphics->presented());
}
