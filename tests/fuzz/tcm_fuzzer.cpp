// Fuzz harness: TCM camera path text.
#include <cstdlib>

#include "media/camera_path.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    char* text = contentBlock(data, size);
    CameraPath path;
    readCameraPath(&path, text, size);
    std::free(text);
    const size_t frames = path.frameCount > 0 ? static_cast<size_t>(path.frameCount) : 0;
    if (path.eyes.size() < frames || path.targets.size() < frames || path.values.size() < frames)
        std::abort();  // the camera reads frame count records of each
    return 0;
}
