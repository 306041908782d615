// The demo's interface effects, music and ambient loop (Ogg Vorbis).
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

// Writes se100.ogg, se101.ogg, se102.ogg, bgm01.ogg, bgm02.ogg and amb01.ogg into `dir`.
bool makeInterfaceSounds(const std::filesystem::path& dir);

// Writes 16-bit samples as an Ogg Vorbis file; false with a message on failure.
bool writeOggFile(const std::filesystem::path& path, const std::vector<int16_t>& pcm, int channels,
                  int rate, float quality);
