// The frame timer: the duration of the last frame, from the high-resolution counter.
#pragma once

#include <cstdint>

struct FrameTimer {
    int64_t frequency = 0;
    int64_t previous = 0;
    int64_t current = 0;
    float lastDuration = 0.0f;
    bool available = false;
    // Tests and tools drive the game with a fixed step: when >= 0, tick() takes it as the
    // last duration instead of reading the counter.
    float drivenStep = -1.0f;

    // Reads the counter frequency; the first tick measures from here.
    void setUp();
    // After long loading work: the next tick measures from now.
    void reset();
    // First thing in every frame: last duration = time since the previous tick or reset.
    void tick();
    // What the game advances by: the last duration, or 16 ms without a counter.
    float step() const { return available || drivenStep >= 0 ? lastDuration : 0.016f; }
};

FrameTimer& frameTimer();
