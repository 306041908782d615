// Fuzz harness: TMB models, loaded on the null device and drawn once.
#include <cstring>

#include "media/model.h"
#include "media/model_drawing.h"
#include "platform/null_render_device.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static NullRenderDevice device;
    Model model(&device);
    if (readModel(&model, contentBlock(data, size), size, "fuzz.tmb") != 0) return 0;
    for (int32_t i = 0; i < model.placementCount; ++i)
        if (findPlacement(&model, model.placements[i].name) == nullptr) std::abort();
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    drawModel(&model, world, 0.0f, true);
    releaseModel(&model);
    return 0;
}
