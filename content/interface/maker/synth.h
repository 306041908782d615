// A small synthesiser for the demo's music and effects: a few voices, a sequencer by beats,
// a room echo, and 16-bit output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int kSynthRate = 44100;

// Stereo float samples, left and right interleaved.
struct Track {
    std::vector<float> samples;
    explicit Track(double seconds);
    size_t frames() const { return samples.size() / 2; }
    // Adds a mono signal at frame `at`, panned (-1 left … 1 right); past the end wraps to the
    // start when `wrap` is set, so that the tails of a loop's last notes sound at its start.
    void add(const std::vector<float>& mono, size_t at, double gain, double pan, bool wrap);
};

// Voices: each returns a mono note of `seconds` (plus its release) at `hz`.
std::vector<float> bellNote(double hz, double seconds);   // music box / celesta (FM)
std::vector<float> pluckNote(double hz, double seconds);  // soft plucked string
std::vector<float> padNote(double hz, double seconds);    // slow, warm chord pad
std::vector<float> bassNote(double hz, double seconds);   // round bass
std::vector<float> kickDrum();
std::vector<float> shaker(uint32_t seed);

// MIDI note number to frequency.
double noteHz(int midi);

// A short multi-tap echo with feedback, mixed in at `wet`; wraps around for loops.
void addRoom(Track& track, double wet, bool wrap);

// Scales to `peak` of full scale and converts; `channels` 1 takes the left channel.
std::vector<int16_t> toPcm(const Track& track, int channels, double peak);
