// Fuzz harness: TSB motions, sampled at several times and played on a small model.
#include "media/motion.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/motion_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Motion motion;
    if (readTsb(&motion, contentBlock(data, size), size) != 0) return 0;
    checkMotion(motion);
    return 0;
}
