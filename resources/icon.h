// Icons built into the program.
#pragma once

#include <cstdint>

struct IconImage {
    int width = 0;
    int height = 0;
    const uint32_t* argb = nullptr;  // 0xAARRGGBB, top row first
};

// The icon resource of that name ("AppIcon"); an empty image when there is none.
IconImage loadIconResource(const char* name);
