// The application icon "AppIcon": a 32 x 32 picture drawn from a character map.
#include <array>
#include <cstring>

#include "resources/icon.h"

namespace {
// '.' transparent, 'o' outline, 'h' hair, 's' skin, 'e' eyes, 'r' ribbon.
constexpr const char* kPicture[32] = {
    "................................",
    "...........oooooooooo...........",
    ".........oohhhhhhhhhhoo.........",
    "........ohhhhhhhhhhhhhho........",
    ".......ohhhhhhhhhhhhhhhho.rr....",
    "......ohhhhhhhhhhhhhhhhhhorrr...",
    ".....ohhhhhhhhhhhhhhhhhhhhorr...",
    ".....ohhhhhhhhhhhhhhhhhhhhho....",
    "....ohhhhhsssssssssssshhhhho....",
    "....ohhhhssssssssssssssshhhho...",
    "....ohhhsssssssssssssssssshho...",
    "...ohhhssssssssssssssssssshhho..",
    "...ohhhsssseessssssseesssshhho..",
    "...ohhhssseeeesssssseeeessshho..",
    "...ohhhssseeeesssssseeeessshho..",
    "...ohhhsssseessssssseesssshhho..",
    "...ohhhssssssssssssssssssshhho..",
    "...ohhhsssssssssoossssssshhhho..",
    "...ohhhhssssssssssssssssshhhho..",
    "...ohhhhhsssssoooosssssshhhhho..",
    "...ohhhhhhsssssssssssshhhhhhho..",
    "...ohhhhhhhhsssssssshhhhhhhhho..",
    "...ohhhhhhhhhhhsshhhhhhhhhhhho..",
    "...ohhhhhhhhhhhsshhhhhhhhhhhho..",
    "...ohhhhhhhrrrrrrrrrrhhhhhhhho..",
    "...ohhhhhhrrrrrrrrrrrrhhhhhhho..",
    "....ohhhhhrrrrrrrrrrrrhhhhhho...",
    "....ohhhhhhrrrrrrrrrrhhhhhhho...",
    ".....oohhhhhhhhhhhhhhhhhhhoo....",
    ".......oooohhhhhhhhhhhoooo......",
    "...........oooooooooo...........",
    "................................",
};

uint32_t colourOf(char c) {
    switch (c) {
        case 'o': return 0xFF3A2418;
        case 'h': return 0xFF8A5A3C;
        case 's': return 0xFFFBE0CC;
        case 'e': return 0xFF4060C0;
        case 'r': return 0xFFE85080;
        default: return 0x00000000;
    }
}

const std::array<uint32_t, 32 * 32>& appIconPixels() {
    static const std::array<uint32_t, 32 * 32> pixels = [] {
        std::array<uint32_t, 32 * 32> p{};
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) p[y * 32 + x] = colourOf(kPicture[y][x]);
        return p;
    }();
    return pixels;
}
}  // namespace

IconImage loadIconResource(const char* name) {
    if (!name || std::strcmp(name, "AppIcon") != 0) return {};
    return {32, 32, appIconPixels().data()};
}
