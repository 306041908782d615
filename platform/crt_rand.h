// The C runtime's srand/rand sequence, which save files and voice schedules depend on.
#pragma once

#include <cstdint>

constexpr int CRT_RAND_MAX = 0x7FFF;

void crtSrand(uint32_t seed);
// state = state * 214013 + 2531011; result (state >> 16) & 0x7FFF.
int crtRand();
