// Screen fades: a level from opaque black (0) through clear (255/256) to opaque white (511).
#pragma once

#include <cstdint>

#include "platform/d3d8_types.h"

constexpr int kFadeStepMs = 16;  // one fade step per 16 ms of game time
constexpr int kFadeLevelMax = 511;

struct FadeChannel {
    D3DCOLOR colour = 0xFF000000;
    int32_t stepsRemaining = 0;
    float level = 0;
    float step = 0;
    float credit = 0;  // milliseconds not yet spent on steps
};

// Moves towards `level` (clamped to 0..511) in `frames` equal steps; 0 frames sets it at once.
void startFade(FadeChannel& fade, int level, int frames);
// Spends `ms` of game time on steps, then sets the colour from the level.
void stepFade(FadeChannel& fade, float ms);
// The colour a level shows: black with falling alpha below 256, white with rising alpha above.
D3DCOLOR fadeColour(float level);
