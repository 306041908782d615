// Screen fades: stepping in fixed game-time steps and the colour of a level.
#include "game/fade.h"

#include <algorithm>

void startFade(FadeChannel& fade, int level, int frames) {
    level = std::clamp(level, 0, kFadeLevelMax);
    if (frames <= 0) {
        // A negative count would never finish; take it as "at once" too.
        fade.level = static_cast<float>(level);
        fade.stepsRemaining = 0;
        return;
    }
    fade.step = (static_cast<float>(level) - fade.level) / static_cast<float>(frames);
    fade.stepsRemaining = frames;
    fade.credit = 0;
}

void stepFade(FadeChannel& fade, float ms) {
    if (fade.stepsRemaining > 0) {
        fade.credit += ms;
        while (fade.credit >= kFadeStepMs) {
            fade.level += fade.step;
            fade.credit -= kFadeStepMs;
            if (--fade.stepsRemaining == 0) break;
        }
    }
    fade.colour = fadeColour(fade.level);
}

D3DCOLOR fadeColour(float level) {
    const int l = static_cast<int>(level);
    if (l < 0) return 0xFF000000;
    if (l >= 512) return 0xFFFFFFFF;
    if (l < 256) return static_cast<D3DCOLOR>(255 - l) << 24;
    return (static_cast<D3DCOLOR>(l - 256) << 24) | 0x00FFFFFF;
}
