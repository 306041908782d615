// Fuzz harness: PSD documents, every layer decoded and turned into textures on the null device.
#include <cstdlib>

#include "gfx/layered_image.h"
#include "media/psd_decoder.h"
#include "platform/null_render_device.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int count = countPsdLayers(data, size);
    for (int i = 0; i < count; ++i) {
        PsdLayer* layer = readPsdLayer(data, size, i);
        if (layer && layer->pixels)
            touch(layer->pixels, static_cast<size_t>(layer->width) * layer->height * 4);
        freePsdLayer(layer);
    }
    static NullRenderDevice device;
    LayeredImage image(&device, data, size);
    return 0;
}
