// The close-up presets that an item window glides the camera to, and the glide itself.
#include <cmath>

#include "character/camera.h"
#include "gfx/graphics_device.h"

namespace {
const CameraPreset kWholeFigure = {{-10.28599f, 9.917835f, 16.70302f},
                                   {-0.085112f, 7.624999f, -0.052498f}};
}  // namespace

const CameraPreset kCameraPresets[kCameraPresetCount] = {
    kWholeFigure,
    {{-2.889054f, 11.62171f, 6.71892f}, {0.311191f, 12.47499f, 0.157459f}},
    {{-1.368259f, 12.87444f, 3.641853f}, {0.206728f, 13.38039f, 0.106477f}},
    {{-8.521463f, 8.499903f, 3.703235f}, {0.014004f, 10.10894f, -0.079659f}},
    {{-5.400762f, 10.75188f, 7.075735f}, {0.043452f, 9.65891f, 0.025773f}},
    {{-7.184764f, 11.39077f, 3.621137f}, {-0.02548f, 9.529026f, -0.087512f}},
    {{-7.223032f, 9.187191f, 3.593653f}, {-0.056468f, 7.324424f, -0.146529f}},
    {{-2.766954f, 12.63999f, 6.017506f}, {0.159086f, 13.92591f, 0.091431f}},
    {{-2.361643f, 12.10288f, 4.708564f}, {0.244252f, 13.36516f, 0.070459f}},
    {{-2.281308f, 12.36602f, 4.91466f}, {0.1716f, 12.24016f, 0.02964f}},
    {{-4.422014f, 8.599456f, 7.072581f}, {-0.084851f, 7.625039f, -0.05248f}},
    {{-7.971857f, 5.10655f, 12.72669f}, {-0.156199f, 3.349367f, -0.096094f}},
    {{-5.977936f, 3.236367f, 7.517144f}, {-0.204456f, 1.762908f, -0.233753f}},
    kWholeFigure,
    kWholeFigure,
    kWholeFigure,
};

void startCameraGlide(CameraControl& camera, CameraGlide& glide, int index) {
    if (index < 0 || index >= kCameraPresetCount) return;
    glide.eye = kCameraPresets[index].eye;
    glide.target = kCameraPresets[index].target;
    glide.gliding = true;
    camera.busy = true;
}

bool glideCameraStep(CameraControl& camera, CameraGlide& glide) {
    GraphicsDevice* device = graphicsDevice();
    bool finished = true;
    if (device) {
        D3DXVECTOR3& eye = device->eye();
        D3DXVECTOR3& target = device->target();
        const D3DXVECTOR3 de{eye.x - glide.eye.x, eye.y - glide.eye.y, eye.z - glide.eye.z};
        const D3DXVECTOR3 dt{target.x - glide.target.x, target.y - glide.target.y,
                             target.z - glide.target.z};
        eye = {eye.x - de.x * 0.2f, eye.y - de.y * 0.2f, eye.z - de.z * 0.2f};
        target = {target.x - dt.x * 0.2f, target.y - dt.y * 0.2f, target.z - dt.z * 0.2f};
        device->up() = {0, 1, 0};
        device->rebuildView();
        const float eyeGap = std::sqrt(de.x * de.x + de.y * de.y + de.z * de.z);
        const float targetGap = std::sqrt(dt.x * dt.x + dt.y * dt.y + dt.z * dt.z);
        finished = eyeGap < 0.05f && targetGap < 0.05f;
    }
    // Without a device there is no camera to wait for: the glide ends at once.
    if (!finished) return false;
    camera.busy = false;
    glide.gliding = false;
    return true;
}
