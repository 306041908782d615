// The Ogg Vorbis writer (libvorbisenc), for sound content and test fixtures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// An Ogg Vorbis file of `frames` frames of interleaved 16-bit samples (`channels` 1 or 2,
// `rate` samples per second), variable bit rate at `quality` (-0.1 to 1.0). Zero frames give a
// valid file that decodes to no samples. Empty on bad arguments or an encoder refusal.
std::vector<uint8_t> writeOggVorbis(const int16_t* samples, size_t frames, int channels, int rate,
                                    float quality = 0.4f);

// A sine tone of `frequency` Hz at `amplitude` (0 to 32767), the same on every channel.
std::vector<int16_t> sineTone(double seconds, int channels, int rate, double frequency,
                              double amplitude);
