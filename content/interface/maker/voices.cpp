// Speaks the voice lines in Japanese with libespeak-ng and encodes them as Ogg Vorbis.
#include "content/interface/maker/voices.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "content/interface/maker/sound.h"

namespace {
std::vector<int16_t>* gCollected = nullptr;

int collect(short* samples, int count, espeak_EVENT*) {
    if (samples && count > 0 && gCollected)
        gCollected->insert(gCollected->end(), samples, samples + count);
    return 0;
}

// A light, young voice: a female variant, raised pitch, a lively range, unhurried.
bool startSynthesiser(int* rate) {
    *rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (*rate <= 0) return false;
    espeak_SetSynthCallback(collect);
    if (espeak_SetVoiceByName("ja+f4") != EE_OK) return false;
    espeak_SetParameter(espeakRATE, 145, 0);
    espeak_SetParameter(espeakPITCH, 78, 0);
    espeak_SetParameter(espeakRANGE, 70, 0);
    return true;
}

// A short fade at both ends and a little silence after, so a clip never clicks.
void shape(std::vector<int16_t>& pcm, int rate) {
    const size_t fade = std::min(pcm.size() / 2, static_cast<size_t>(rate / 100));
    for (size_t i = 0; i < fade; ++i) {
        const double g = static_cast<double>(i) / fade;
        pcm[i] = static_cast<int16_t>(pcm[i] * g);
        pcm[pcm.size() - 1 - i] = static_cast<int16_t>(pcm[pcm.size() - 1 - i] * g);
    }
    pcm.insert(pcm.end(), static_cast<size_t>(rate / 10), 0);
}
}  // namespace

bool makeVoices(const std::filesystem::path& lines, const std::filesystem::path& dir) {
    std::ifstream in(lines);
    if (!in) {
        std::fprintf(stderr, "interface-maker: cannot read %s\n", lines.c_str());
        return false;
    }
    int rate = 0;
    if (!startSynthesiser(&rate)) {
        std::fprintf(stderr, "interface-maker: espeak-ng has no Japanese voice\n");
        return false;
    }
    std::string line;
    int number = 0;
    bool ok = true;
    while (ok && std::getline(in, line)) {
        ++number;
        if (line.empty() || line[0] == '#') continue;
        const size_t space = line.find(' ');
        const std::string name = line.substr(0, space);
        if (space == std::string::npos || name.size() != 4 ||
            !std::all_of(name.begin(), name.end(),
                         [](unsigned char c) { return std::isdigit(c); })) {
            std::fprintf(stderr, "interface-maker: %s:%d: expected \"NNNN text\"\n", lines.c_str(),
                         number);
            return false;
        }
        const std::string text = line.substr(space + 1);
        std::vector<int16_t> pcm;
        gCollected = &pcm;
        const espeak_ERROR result = espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0,
                                                 espeakCHARS_UTF8, nullptr, nullptr);
        espeak_Synchronize();
        gCollected = nullptr;
        if (result != EE_OK || pcm.empty()) {
            std::fprintf(stderr, "interface-maker: %s:%d: espeak-ng said nothing\n", lines.c_str(),
                         number);
            return false;
        }
        shape(pcm, rate);
        ok = writeOggFile(dir / (name + ".ogg"), pcm, 1, rate, 0.3f);
    }
    espeak_Terminate();
    return ok;
}
