// The high-resolution counter: a monotonic nanosecond clock.
#include <chrono>

#include "platform/system.h"

bool queryPerformanceFrequency(int64_t* frequency) {
    *frequency = 1000000000;
    return true;
}

bool queryPerformanceCounter(int64_t* counter) {
    *counter = std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
                   .count();
    return true;
}
