// Sound fixtures for the audio tests: synthesised Ogg Vorbis files, their reference decoding by
// oggdec, memory streams over them, and a driver for a mixer the test runs itself.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "audio/memory_stream.h"
#include "platform/audio_mixer.h"

// An Ogg Vorbis sine tone at amplitude 12000.
std::vector<uint8_t> toneOgg(double seconds, int channels, int rate, double frequency = 440);

// What `oggdec -R -b 16 -e 0 -s 1` makes of the file: the samples ov_read delivers.
std::vector<int16_t> oggdecSamples(const std::vector<uint8_t>& ogg);

// A memory stream over a malloc copy of the bytes (the stream frees it).
MemoryStream* memoryStreamOf(const std::vector<uint8_t>& bytes);

// The bytes of 16-bit samples.
std::vector<uint8_t> sampleBytes(const std::vector<int16_t>& samples);

// Mixes `frames` frames in blocks of 1024, letting the stream threads answer every position
// notification before the mixer goes on, as they do in real time. Returns the stereo samples.
std::vector<int16_t> mixFrames(MixingAudioDevice& device, size_t frames);

// Waits up to `seconds` for `done` to hold.
template <typename Condition>
bool eventually(Condition done, double seconds = 10);

// The threads of this process, as the kernel lists them.
int processThreadCount();
// The same, once a thread has come and gone: a sanitizer's runtime starts a helper thread of its
// own with the first thread, which must not count against the code under test.
int settledThreadCount();

#include <chrono>
#include <thread>
template <typename Condition>
bool eventually(Condition done, double seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
