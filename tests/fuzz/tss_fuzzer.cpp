// Fuzz harness: TSS motion text, sampled at several times and played on a small model.
#include <cstdlib>

#include "media/motion.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/motion_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    char* text = contentBlock(data, size);
    Motion motion;
    readTss(&motion, text, size);
    std::free(text);
    checkMotion(motion);
    return 0;
}
