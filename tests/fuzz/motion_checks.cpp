// What the motion harnesses do with a motion that loaded.
#include "tests/fuzz/motion_checks.h"

#include <cstdlib>
#include <limits>

#include "media/model.h"
#include "media/model_drawing.h"
#include "platform/null_render_device.h"
#include "tests/fuzz/fuzz_support.h"

void checkMotion(const Motion& motion) {
    const float times[] = {
        0.0f, 1.5f, 99.0f, 12345.0f, 1e9f, -3.0f, std::numeric_limits<float>::quiet_NaN()};
    for (float t : times) {
        if (const D3DMATRIX* m = frameMatrices(&motion, t))
            touch(m, sizeof(D3DMATRIX) * static_cast<size_t>(motion.boneCount));
        for (int32_t i = 0; i < motion.locatorCount && i < 64; ++i)
            if (const float* v = locatorAt(&motion, t, i)) touch(v, 9 * sizeof(float));
    }
    for (int32_t i = 0; i < motion.locatorCount && i < 64; ++i)
        if (findLocator(&motion, motion.locatorNames[static_cast<size_t>(i)]) < 0) std::abort();

    // Drawing takes every bone the motion has (up to the palette) for each frame.
    static NullRenderDevice device;
    static D3DMATRIX offsets[kBonePaletteSize];
    Model model(&device);
    model.loaded = 1;
    model.motion = const_cast<Motion*>(&motion);
    model.boneOffsets = offsets;
    model.boneCount = kBonePaletteSize;
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    for (float t : times) drawModel(&model, world, t, true);
    model.motion = nullptr;
    model.boneOffsets = nullptr;
    model.boneCount = 0;
    model.loaded = 0;
}
