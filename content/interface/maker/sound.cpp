// Composes the effects, the two music loops and the ambient loop with the synthesiser.
#include "content/interface/maker/sound.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>

#include "content/interface/maker/synth.h"
#include "tools/writers/ogg_writer.h"

namespace {
namespace fs = std::filesystem;
constexpr double kTau = 2 * std::numbers::pi;

struct Chord {
    int root;  // MIDI note of the root, in the bass octave
    bool minor = false;
};

std::vector<int> chordTones(const Chord& c) {
    return {0, c.minor ? 3 : 4, 7};
}

// Fixed-seed generator for melodies.
struct Dice {
    uint32_t state;
    int roll(int n) {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 8) % static_cast<uint32_t>(n));
    }
};

// The nearest note to `near` whose pitch class is one of `classes` (relative to `root`).
int nearestTone(int near, int root, const std::vector<int>& classes) {
    for (int d = 0; d < 12; ++d)
        for (int sign : {1, -1}) {
            const int n = near + sign * d;
            for (int c : classes)
                if (((n - root - c) % 12 + 12) % 12 == 0) return n;
        }
    return near;
}

// A melody over `chords`, one chord per bar of 8 eighths: strong eighths land on chord tones,
// the others walk the major pentatonic of `key`.
void melody(Track& track, const std::vector<Chord>& chords, int key, double eighth, int low,
            int high, uint32_t seed, double gain) {
    static const int kRhythms[3][8] = {
        {2, 0, 1, 1, 2, 0, 2, 0}, {1, 1, 1, 1, 3, 0, 0, 1}, {3, 0, 0, 1, 2, 0, 1, 1}};
    const std::vector<int> pentatonic = {0, 2, 4, 7, 9};
    Dice dice{seed};
    int note = (low + high) / 2;
    for (size_t bar = 0; bar < chords.size(); ++bar) {
        // The last bar of every four rests on a long chord tone.
        const bool cadence = bar % 4 == 3;
        const int* rhythm = kRhythms[cadence ? 2 : dice.roll(3)];
        for (int slot = 0; slot < 8; ++slot) {
            if (rhythm[slot] == 0) continue;
            const int step = dice.roll(5) - 2;
            int target = note + step * 2;
            if (target < low) target += 5;
            if (target > high) target -= 5;
            const bool strong = slot % 2 == 0;
            note = strong ? nearestTone(target, chords[bar].root, chordTones(chords[bar]))
                          : nearestTone(target, key, pentatonic);
            const double held = rhythm[slot] * eighth * 0.9;
            const size_t at = static_cast<size_t>((bar * 8 + slot) * eighth * kSynthRate);
            track.add(bellNote(noteHz(note), held), at, gain, 0.15, true);
        }
    }
}

Track cheerfulTheme() {
    const double beat = 60.0 / 112, eighth = beat / 2;
    const std::vector<Chord> chords = {{48},       {45, true}, {41}, {43}, {48},       {45, true},
                                       {50, true}, {43},       {41}, {43}, {40, true}, {45, true},
                                       {41},       {43},       {48}, {48}};
    Track track(chords.size() * 4 * beat);
    for (size_t bar = 0; bar < chords.size(); ++bar) {
        const Chord& c = chords[bar];
        const double start = bar * 4 * beat;
        const auto frame = [](double t) { return static_cast<size_t>(t * kSynthRate); };
        // Bass on beats one and three, the fifth on the "and" of two.
        track.add(bassNote(noteHz(c.root - 12), beat * 1.4), frame(start), 0.55, 0, true);
        track.add(bassNote(noteHz(c.root - 5), beat * 0.4), frame(start + 1.5 * beat), 0.4, 0,
                  true);
        track.add(bassNote(noteHz(c.root - 12), beat * 1.4), frame(start + 2 * beat), 0.5, 0, true);
        // Pad: the triad an octave up.
        for (int tone : chordTones(c))
            track.add(padNote(noteHz(c.root + 12 + tone), 4 * beat * 0.95), frame(start), 0.07,
                      -0.3, true);
        // Plucked arpeggio in eighths.
        const int pattern[8] = {0, 1, 2, 1, 3, 1, 2, 1};
        for (int e = 0; e < 8; ++e) {
            const int tone = pattern[e] == 3 ? 12 : chordTones(c)[pattern[e]];
            track.add(pluckNote(noteHz(c.root + 12 + tone), eighth * 0.9),
                      frame(start + e * eighth), 0.28, -0.45, true);
        }
        // Light drums.
        for (int b = 0; b < 4; b += 2) track.add(kickDrum(), frame(start + b * beat), 0.6, 0, true);
        for (int e = 1; e < 8; e += 2)
            track.add(shaker(static_cast<uint32_t>(bar * 8 + e)), frame(start + e * eighth), 0.25,
                      0.4, true);
    }
    melody(track, chords, 60, eighth, 72, 86, 112, 0.42);
    addRoom(track, 0.35, true);
    return track;
}

Track calmTheme() {
    const double beat = 60.0 / 80, eighth = beat / 2;
    const std::vector<Chord> chords = {{41}, {50, true}, {46}, {48}, {41}, {45, true}, {46}, {48}};
    Track track(chords.size() * 4 * beat);
    const auto frame = [](double t) { return static_cast<size_t>(t * kSynthRate); };
    for (size_t bar = 0; bar < chords.size(); ++bar) {
        const Chord& c = chords[bar];
        const double start = bar * 4 * beat;
        track.add(bassNote(noteHz(c.root - 12), 4 * beat * 0.9), frame(start), 0.45, 0, true);
        for (int tone : chordTones(c))
            track.add(padNote(noteHz(c.root + 12 + tone), 4 * beat), frame(start), 0.1, 0.2, true);
        // A music box rising through the chord in eighths.
        const int pattern[8] = {0, 1, 2, 3, 4, 3, 2, 1};
        for (int e = 0; e < 8; ++e) {
            const int p = pattern[e];
            const int tone = p < 3 ? chordTones(c)[p] : 12 + chordTones(c)[p - 3];
            track.add(bellNote(noteHz(c.root + 24 + tone), eighth * 0.8), frame(start + e * eighth),
                      0.16, -0.35 + 0.1 * e, true);
        }
    }
    melody(track, chords, 65, beat, 72, 84, 80, 0.3);
    addRoom(track, 0.45, true);
    return track;
}

Track ambientLoop() {
    // Wind: noise through a slowly swept two-pole resonator; birds: little chirps here and there.
    const double seconds = 20;
    Track track(seconds);
    uint32_t seed = 4242;
    double y1 = 0, y2 = 0;
    // One second more than the loop, folded back over the start so that the noise joins up.
    const size_t n = track.frames(), fold = static_cast<size_t>(kSynthRate);
    std::vector<float> wind(n + fold);
    for (size_t i = 0; i < wind.size(); ++i) {
        const double t = static_cast<double>(i) / kSynthRate;
        seed = seed * 1664525u + 1013904223u;
        const double noise = (seed >> 8) / 8388608.0 - 1.0;
        // Whole cycles over the loop, so the sweep joins up.
        const double sweep = 0.5 + 0.5 * std::sin(kTau * t / seconds * 2);
        const double hz = 300 + 500 * sweep;
        const double r = 0.985, w = kTau * hz / kSynthRate;
        const double y = noise * 0.02 + 2 * r * std::cos(w) * y1 - r * r * y2;
        y2 = y1;
        y1 = y;
        wind[i] = static_cast<float>(y * (0.6 + 0.4 * std::sin(kTau * t / seconds * 3 + 1)));
    }
    for (size_t i = 0; i < fold; ++i) {
        const double g = static_cast<double>(i) / fold;
        wind[i] = static_cast<float>(wind[i] * g + wind[n + i] * (1 - g));
    }
    wind.resize(n);
    track.add(wind, 0, 1.0, -0.2, true);
    std::vector<float> windRight(wind.rbegin(), wind.rend());
    track.add(windRight, 0, 0.8, 0.3, true);
    Dice dice{99};
    for (int bird = 0; bird < 14; ++bird) {
        const double at = dice.roll(1900) / 100.0;
        const double base = 2600 + dice.roll(1400);
        const int chirps = 2 + dice.roll(3);
        for (int k = 0; k < chirps; ++k) {
            std::vector<float> chirp(static_cast<size_t>(0.07 * kSynthRate));
            double phase = 0;
            for (size_t i = 0; i < chirp.size(); ++i) {
                const double u = static_cast<double>(i) / chirp.size();
                phase += kTau * base * (1 + 0.35 * u) / kSynthRate;
                chirp[i] = static_cast<float>(std::sin(phase) * std::sin(std::numbers::pi * u));
            }
            track.add(chirp, static_cast<size_t>((at + k * 0.11) * kSynthRate), 0.06,
                      dice.roll(200) / 100.0 - 1, true);
        }
    }
    return track;
}

Track effect(double seconds, const std::vector<std::pair<double, std::vector<float>>>& parts) {
    Track track(seconds);
    for (const auto& [at, mono] : parts)
        track.add(mono, static_cast<size_t>(at * kSynthRate), 1.0, 0, false);
    return track;
}

// A sine glide from `from` to `to` Hz with a quick fade-out.
std::vector<float> blip(double from, double to, double seconds) {
    std::vector<float> out(static_cast<size_t>(seconds * kSynthRate));
    double phase = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double u = static_cast<double>(i) / out.size();
        phase += kTau * (from + (to - from) * u) / kSynthRate;
        out[i] = static_cast<float>(std::sin(phase) * std::min(1.0, u * 40) * (1 - u) * (1 - u));
    }
    return out;
}
}  // namespace

bool writeOggFile(const fs::path& path, const std::vector<int16_t>& pcm, int channels, int rate,
                  float quality) {
    const std::vector<uint8_t> ogg =
        writeOggVorbis(pcm.data(), pcm.size() / channels, channels, rate, quality);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(ogg.data()), static_cast<std::streamsize>(ogg.size()));
    if (ogg.empty() || !out) {
        std::fprintf(stderr, "interface-maker: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool makeInterfaceSounds(const fs::path& dir) {
    // se100: a window opens, two rising bell notes.
    const Track open =
        effect(0.7, {{0.0, bellNote(noteHz(88), 0.08)}, {0.07, bellNote(noteHz(93), 0.15)}});
    // se101: a choice or an item, a bright pop with a sparkle.
    const Track select =
        effect(0.5, {{0.0, blip(500, 1400, 0.09)}, {0.04, bellNote(noteHz(100), 0.05)}});
    // se102: the page turns, a soft bubble.
    const Track page = effect(0.2, {{0.0, blip(900, 520, 0.12)}});
    return writeOggFile(dir / "se100.ogg", toPcm(open, 1, 0.6), 1, kSynthRate, 0.4f) &&
           writeOggFile(dir / "se101.ogg", toPcm(select, 1, 0.6), 1, kSynthRate, 0.4f) &&
           writeOggFile(dir / "se102.ogg", toPcm(page, 1, 0.5), 1, kSynthRate, 0.4f) &&
           writeOggFile(dir / "bgm01.ogg", toPcm(cheerfulTheme(), 2, 0.7), 2, kSynthRate, 0.3f) &&
           writeOggFile(dir / "bgm02.ogg", toPcm(calmTheme(), 2, 0.7), 2, kSynthRate, 0.3f) &&
           writeOggFile(dir / "amb01.ogg", toPcm(ambientLoop(), 2, 0.5), 2, kSynthRate, 0.2f);
}
