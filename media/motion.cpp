// Motions: frame lookup by time, locators, and the motion cache.
#include "media/motion.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "media/model.h"

Motion::~Motion() {
    std::free(fileBlock);
}

MotionCache& motionCache() {
    static MotionCache cache;
    return cache;
}

int32_t frameForTime(const Motion* motion, float time) {
    if (!motion || motion->frameCount <= 0) return -1;
    const int64_t count = motion->frameCount;
    // Times before the start (and NaN) are frame 0; huge times stay in 64 bits.
    const double t =
        std::isnan(time) || time < 0 ? 0.0 : std::fmin(static_cast<double>(time), 9.0e18);
    int64_t f = static_cast<int64_t>(t);
    if (f >= count) {
        // A loop start outside the frames holds the last frame (or loops from 0 when negative)
        // rather than dividing by zero.
        int64_t loop = motion->loopStart;
        if (loop < 0) loop = 0;
        if (loop >= count) loop = count - 1;
        f = loop + (f - count) % (count - loop);
    }
    return static_cast<int32_t>(f);
}

const D3DMATRIX* frameMatrices(const Motion* motion, float time) {
    if (!motion || !motion->boneMatrices || motion->boneCount <= 0) return nullptr;
    const int32_t f = frameForTime(motion, time);
    if (f < 0) return nullptr;
    return motion->boneMatrices + static_cast<size_t>(f) * static_cast<size_t>(motion->boneCount);
}

int findLocator(const Motion* motion, const char* name) {
    if (!motion || !name) return -1;
    for (int32_t i = 0;
         i < motion->locatorCount && static_cast<size_t>(i) < motion->locatorNames.size(); ++i)
        if (std::strcmp(motion->locatorNames[i], name) == 0) return i;
    return -1;
}

const float* locatorAt(const Motion* motion, float time, int index) {
    if (!motion || index < 0 || index >= motion->locatorCount || !motion->locatorValues)
        return nullptr;
    const int32_t f = frameForTime(motion, time);
    if (f < 0) return nullptr;
    const size_t record = static_cast<size_t>(index) +
                          static_cast<size_t>(f) * static_cast<size_t>(motion->locatorCount);
    return motion->locatorValues + record * 9;
}

const float* locatorByName(const Motion* motion, float time, const char* name) {
    return locatorAt(motion, time, findLocator(motion, name));
}
