// The TSB motion reader.
//
// Layout (little-endian):
//   0   16  header bytes, not read
//   16  4   int32 bone count
//   20  4   int32 frame count
//   24  4   int32 loop start frame
//   28  4   int32 locator count L
//   32  frames x bones x 64   bone matrices (16 floats), frame-major
//   ..  frames x L x 36       locator values (9 floats), frame-major
//   ..  L NUL-terminated locator names
// The matrices, values and names are used in place; the counts are checked against the block,
// which includes the NUL the loader puts after the file (the last name may end on it).
#include <cstdlib>
#include <cstring>

#include "archive/byte_cursor.h"
#include "media/motion.h"

int readTsb(Motion* motion, char* block, size_t size) {
    ByteCursor c(reinterpret_cast<const uint8_t*>(block), block ? size + 1 : 0);
    int32_t bones = 0, frames = 0, loop = 0, locators = 0;
    bool ok = block && reinterpret_cast<uintptr_t>(block) % alignof(float) == 0 && c.skip(16) &&
              c.get(&bones) && c.get(&frames) && c.get(&loop) && c.get(&locators) && bones >= 0 &&
              frames >= 0 && locators >= 0;
    // Both counts are below 2^31, so their product fits 64 bits; the item size is applied by
    // skipItems without multiplying.
    const size_t matricesAt = c.at();
    ok = ok && c.skipItems(uint64_t(frames) * uint64_t(bones), 64);
    const size_t valuesAt = c.at();
    ok = ok && c.skipItems(uint64_t(frames) * uint64_t(locators), 36);
    std::vector<const char*> names;
    for (int32_t i = 0; ok && i < locators; ++i) {
        const char* name = nullptr;
        ok = c.cString(&name);
        names.push_back(name);
    }
    if (!ok) {
        std::free(block);
        return 1;
    }
    std::free(motion->fileBlock);
    motion->fileBlock = block;
    motion->boneCount = bones;
    motion->frameCount = frames;
    motion->loopStart = loop;
    motion->boneMatrices =
        bones > 0 && frames > 0 ? reinterpret_cast<const D3DMATRIX*>(block + matricesAt) : nullptr;
    motion->locatorCount = locators;
    motion->locatorNames = std::move(names);
    motion->locatorValues =
        locators > 0 && frames > 0 ? reinterpret_cast<const float*>(block + valuesAt) : nullptr;
    return 0;
}
