// The demo's synthesiser: FM bell, plucked string, pad, bass, drums and a looping room echo.
#include "content/interface/maker/synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr double kTau = 2 * std::numbers::pi;

size_t frameCount(double seconds) {
    return static_cast<size_t>(seconds * kSynthRate);
}

// Attack-decay-sustain-release envelope value at time t of a note held for `held` seconds.
double envelope(double t, double held, double attack, double decay, double sustain,
                double release) {
    double level;
    if (t < attack) {
        level = t / attack;
    } else if (t < attack + decay) {
        level = 1 - (1 - sustain) * (t - attack) / decay;
    } else {
        level = sustain;
    }
    if (t > held) level *= std::max(0.0, 1 - (t - held) / release);
    return level;
}
}  // namespace

Track::Track(double seconds) : samples(frameCount(seconds) * 2, 0.0f) {}

void Track::add(const std::vector<float>& mono, size_t at, double gain, double pan, bool wrap) {
    const double left = gain * std::sqrt((1 - pan) / 2), right = gain * std::sqrt((1 + pan) / 2);
    const size_t n = frames();
    for (size_t i = 0; i < mono.size(); ++i) {
        size_t f = at + i;
        if (f >= n) {
            if (!wrap) break;
            f %= n;
        }
        samples[2 * f] += static_cast<float>(mono[i] * left);
        samples[2 * f + 1] += static_cast<float>(mono[i] * right);
    }
}

double noteHz(int midi) {
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

std::vector<float> bellNote(double hz, double seconds) {
    const double release = 0.9;
    std::vector<float> out(frameCount(seconds + release));
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kSynthRate;
        const double index = 2.2 * std::exp(-t * 7);
        const double mod = std::sin(kTau * hz * 3.5 * t) * index;
        const double env = envelope(t, seconds, 0.004, 0.5, 0.25, release) * std::exp(-t * 1.2);
        out[i] = static_cast<float>(
            env * (std::sin(kTau * hz * t + mod) + 0.15 * std::sin(kTau * hz * 2 * t)));
    }
    return out;
}

std::vector<float> pluckNote(double hz, double seconds) {
    // Karplus-Strong with a gentle low pass: a soft nylon-like pluck.
    const double release = 0.3;
    std::vector<float> out(frameCount(seconds + release));
    const size_t period = std::max<size_t>(2, static_cast<size_t>(kSynthRate / hz));
    std::vector<double> ring(period);
    uint32_t state = static_cast<uint32_t>(hz * 1000);
    for (double& v : ring) {
        state = state * 1664525u + 1013904223u;
        v = (state >> 8) / 8388608.0 - 1.0;
    }
    size_t at = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kSynthRate;
        const size_t next = (at + 1) % period;
        const double v = ring[at];
        ring[at] = 0.996 * 0.5 * (ring[at] + ring[next]);
        at = next;
        out[i] = static_cast<float>(v * envelope(t, seconds, 0.002, 0.05, 0.9, release));
    }
    return out;
}

std::vector<float> padNote(double hz, double seconds) {
    const double release = 1.2;
    std::vector<float> out(frameCount(seconds + release));
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kSynthRate;
        double v = 0;
        // Two slightly detuned stacks of soft harmonics, with a slow shimmer.
        for (double detune : {0.997, 1.003})
            for (int h = 1; h <= 5; ++h)
                v += std::sin(kTau * hz * detune * h * t + h) / std::pow(h, 1.6);
        const double shimmer = 1 + 0.08 * std::sin(kTau * 0.3 * t);
        out[i] =
            static_cast<float>(0.35 * v * shimmer * envelope(t, seconds, 0.6, 0.5, 0.8, release));
    }
    return out;
}

std::vector<float> bassNote(double hz, double seconds) {
    const double release = 0.12;
    std::vector<float> out(frameCount(seconds + release));
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kSynthRate;
        const double v = std::sin(kTau * hz * t) + 0.25 * std::sin(kTau * hz * 2 * t);
        out[i] = static_cast<float>(v * envelope(t, seconds, 0.01, 0.2, 0.6, release));
    }
    return out;
}

std::vector<float> kickDrum() {
    std::vector<float> out(frameCount(0.25));
    double phase = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kSynthRate;
        phase += kTau * (50 + 90 * std::exp(-t * 30)) / kSynthRate;
        out[i] = static_cast<float>(std::sin(phase) * std::exp(-t * 14));
    }
    return out;
}

std::vector<float> shaker(uint32_t seed) {
    std::vector<float> out(frameCount(0.08));
    double previous = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kSynthRate;
        seed = seed * 1664525u + 1013904223u;
        const double noise = (seed >> 8) / 8388608.0 - 1.0;
        const double high = noise - previous;  // a first difference keeps only the hiss
        previous = noise;
        out[i] = static_cast<float>(0.5 * high * std::exp(-t * 60));
    }
    return out;
}

void addRoom(Track& track, double wet, bool wrap) {
    // Taps at unrelated delays per side, fed back twice: a small, soft room.
    const size_t n = track.frames();
    const std::vector<float> dry = track.samples;
    const double taps[3][2] = {{0.113, 0.131}, {0.197, 0.223}, {0.291, 0.337}};
    const double gains[3] = {0.5, 0.33, 0.2};
    for (int pass = 0; pass < 3; ++pass)
        for (int side = 0; side < 2; ++side) {
            const size_t delay = frameCount(taps[pass][side]);
            for (size_t f = 0; f < n; ++f) {
                size_t from;
                if (f >= delay) {
                    from = f - delay;
                } else if (wrap) {
                    from = f + n - delay;
                } else {
                    continue;
                }
                // Cross the sides for width.
                track.samples[2 * f + side] +=
                    static_cast<float>(wet * gains[pass] * dry[2 * from + (1 - side)]);
            }
        }
}

std::vector<int16_t> toPcm(const Track& track, int channels, double peak) {
    float largest = 1e-9f;
    for (float s : track.samples) largest = std::max(largest, std::fabs(s));
    const double scale = peak * 32767.0 / largest;
    std::vector<int16_t> out;
    out.reserve(track.frames() * channels);
    for (size_t f = 0; f < track.frames(); ++f)
        for (int c = 0; c < channels; ++c)
            out.push_back(static_cast<int16_t>(std::lround(track.samples[2 * f + c] * scale)));
    return out;
}
