// The motion cache: every motion asked for by name, loaded once and kept for the whole run.
#include <cstring>

#include "media/model.h"
#include "media/motion.h"

Motion* getMotion(const char* name) {
    MotionCache& cache = motionCache();
    for (Motion* m = cache.first; m; m = m->next)
        if (std::strncmp(m->name, name, sizeof m->name - 1) == 0) return m;
    auto* motion = new Motion;
    std::strncpy(motion->name, name, sizeof motion->name - 1);
    loadMotionFile(motion, name);  // a malformed file still leaves its motion in the cache
    motion->previous = cache.last;
    if (cache.last)
        cache.last->next = motion;
    else
        cache.first = motion;
    cache.last = motion;
    ++cache.count;
    return motion;
}

Motion* setModelMotion(Model* model, const char* name) {
    Motion* previous = model->motion;
    model->motion = getMotion(name);
    return previous;
}
