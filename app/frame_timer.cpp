// The frame timer.
#include "app/frame_timer.h"

#include "platform/system.h"

FrameTimer& frameTimer() {
    static FrameTimer timer = [] {
        FrameTimer t;
        t.setUp();
        return t;
    }();
    return timer;
}

void FrameTimer::setUp() {
    available = queryPerformanceFrequency(&frequency) && frequency > 0;
    lastDuration = 0.0f;
    if (available) queryPerformanceCounter(&current);
}

void FrameTimer::reset() {
    lastDuration = 0.0f;
    if (available) queryPerformanceCounter(&current);
}

void FrameTimer::tick() {
    if (drivenStep >= 0) {
        lastDuration = drivenStep;
        return;
    }
    if (!available) return;
    previous = current;
    queryPerformanceCounter(&current);
    lastDuration = static_cast<float>(static_cast<double>(current - previous) /
                                      static_cast<double>(frequency));
}
