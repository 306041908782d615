// The camera: default view, paths and their stage locator, orbit, pan, dolly and limits.
#include "character/camera.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "gfx/graphics_device.h"
#include "media/model.h"

namespace {
constexpr float kPi = 3.14159265358979f;
constexpr float kDegreesPerPixel = (kPi / 180.0f) * (1.0f / 3.0f);

float length(const D3DXVECTOR3& v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

D3DXVECTOR3 difference(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

// Every move ends with the up vector upright and the transforms rebuilt.
void finishMove(GraphicsDevice* device) {
    device->up() = {0, 1, 0};
    device->rebuildView();
}

// A path position carried into the world by the camera locator: turned about y, then moved.
D3DXVECTOR3 place(const CameraControl& camera, const std::array<float, 3>& p) {
    const D3DXVECTOR3 v{p[0], p[1], p[2]};
    if (!camera.hasLocator) return v;
    D3DXMATRIX rotation;
    D3DXMatrixRotationY(&rotation, camera.locatorRotationY);
    D3DXVECTOR4 turned;
    D3DXVec3Transform(&turned, &v, &rotation);
    return {turned.x + camera.locatorPosition[0], turned.y + camera.locatorPosition[1],
            turned.z + camera.locatorPosition[2]};
}

// The frames a path can actually show: a malformed file may have filled fewer records.
int64_t playableFrames(const CameraPath& path) {
    int64_t n = path.frameCount;
    if (n > static_cast<int64_t>(path.eyes.size())) n = static_cast<int64_t>(path.eyes.size());
    if (n > static_cast<int64_t>(path.targets.size()))
        n = static_cast<int64_t>(path.targets.size());
    return n;
}
}  // namespace

void setCameraPath(CameraControl& camera, const char* name, bool holdAtEnd) {
    camera.pathTime = 0;
    camera.holdAtEnd = holdAtEnd;
    camera.path.reset();
    GraphicsDevice* device = graphicsDevice();
    if (name && *name) {
        camera.path = std::make_unique<CameraPath>();
        loadCameraPath(camera.path.get(), name);
    } else if (device) {
        device->eye() = {0, 8, 15};
        device->target() = {0, 8, 0};
        device->up() = {0, 1, 0};
        device->rebuildView();
    }
    if (device) device->setProjectionShift(0, 0);
}

void setCameraLocator(CameraControl& camera, const char* name, const Model* stageModel) {
    if (!name) name = "";
    const size_t n = strnlen(name, kCameraLocatorNameSize - 1);
    // The stored name itself comes back here when the stage model is replaced.
    std::memmove(camera.locatorName, name, n);
    camera.locatorName[n] = '\0';
    camera.hasLocator = false;
    const Placement* placement = findPlacement(stageModel, camera.locatorName);
    if (!placement) return;
    camera.hasLocator = true;
    std::memcpy(camera.locatorPosition, placement->position, sizeof camera.locatorPosition);
    camera.locatorRotationY = placement->rotation[1];
}

void playCameraPath(CameraControl& camera, float elapsedMs) {
    if (!camera.path) return;
    camera.pathTime += elapsedMs * 0.03125f;
    const int64_t n = playableFrames(*camera.path);
    if (n <= 0) return;
    // Times outside what 64 bits hold (or NaN) count as past the end.
    const float t = camera.pathTime;
    const bool representable = t >= 0.0f && t < 9.0e18f;
    const int64_t whole = representable ? static_cast<int64_t>(t) : INT64_MAX;
    if (camera.holdAtEnd && whole >= n) return;
    const size_t f = static_cast<size_t>(whole % n);
    GraphicsDevice* device = graphicsDevice();
    if (!device) return;
    const D3DXVECTOR3 eye = place(camera, camera.path->eyes[f]);
    const D3DXVECTOR3 target = place(camera, camera.path->targets[f]);
    device->setProjectionShift(0, 0);
    device->eye() = eye;
    device->target() = target;
    finishMove(device);
}

void orbitCamera(int dx, int dy) {
    GraphicsDevice* device = graphicsDevice();
    if (!device) return;
    const D3DXVECTOR3& target = device->target();
    const D3DXVECTOR3 v = difference(device->eye(), target);
    float yaw = std::atan2(v.x, v.z);
    const float r = length(v);
    // The elevation is read back from v turned into the y-z plane.
    D3DXMATRIX unturn;
    D3DXMatrixRotationY(&unturn, -yaw);
    D3DXVECTOR4 flat;
    D3DXVec3Transform(&flat, &v, &unturn);
    float pitch = std::atan2(-v.y, flat.z);

    pitch -= static_cast<float>(dy) * kDegreesPerPixel;
    if (pitch > kCameraMaxPitch) pitch = kCameraMaxPitch;
    if (pitch < -kCameraMaxPitch) pitch = -kCameraMaxPitch;
    yaw -= static_cast<float>(dx) * kDegreesPerPixel;

    D3DXMATRIX aboutX, aboutY, turn;
    D3DXMatrixRotationX(&aboutX, pitch);
    D3DXMatrixRotationY(&aboutY, yaw);
    D3DXMatrixMultiply(&turn, &aboutX, &aboutY);
    const D3DXVECTOR4 ahead{0, 0, r, 1};
    D3DXVECTOR4 offset;
    D3DXVec4Transform(&offset, &ahead, &turn);
    device->eye() = {target.x + offset.x, target.y + offset.y, target.z + offset.z};
    finishMove(device);
}

void panCamera(int dx, int dy) {
    GraphicsDevice* device = graphicsDevice();
    if (!device) return;
    D3DXVECTOR3& eye = device->eye();
    D3DXVECTOR3& target = device->target();
    const float yaw = std::atan2(eye.x - target.x, eye.z - target.z);
    D3DXMATRIX turn;
    D3DXMatrixRotationY(&turn, yaw - kPi / 2);
    const D3DXVECTOR4 across{0, 0, static_cast<float>(dx) / 60.0f, 1};
    D3DXVECTOR4 side;
    D3DXVec4Transform(&side, &across, &turn);
    const float rise = static_cast<float>(dy) * 0.025f;
    eye.y += rise;
    target.y += rise;
    eye.x += side.x;
    target.x += side.x;
    eye.z += side.z;
    target.z += side.z;
    limitCamera(target, eye);
    finishMove(device);
}

void dollyCamera(int dx, int dy) {
    (void)dx;
    GraphicsDevice* device = graphicsDevice();
    if (!device) return;
    D3DXVECTOR3& eye = device->eye();
    D3DXVECTOR3& target = device->target();
    const D3DXVECTOR3 toward = difference(target, eye);
    D3DXVECTOR3 dir;
    D3DXVec3Normalize(&dir, &toward);
    const float step = static_cast<float>(dy) * 0.05f;
    eye = {eye.x + dir.x * step, eye.y + dir.y * step, eye.z + dir.z * step};
    limitCamera(target, eye);
    finishMove(device);
}

void limitCamera(D3DXVECTOR3& target, D3DXVECTOR3& eye) {
    const float reach = length(target);
    if (reach > kCameraTargetLimit) {
        const float k = kCameraTargetLimit / reach;
        target = {target.x * k, target.y * k, target.z * k};
    }
    const D3DXVECTOR3 v = difference(eye, target);
    const float distance = length(v);
    if (distance > kCameraEyeLimit) {
        const float k = kCameraEyeLimit / distance;
        eye = {target.x + v.x * k, target.y + v.y * k, target.z + v.z * k};
    }
}
