// The heroine's voices, spoken by espeak-ng at build time.
#pragma once

#include <filesystem>

// Reads "NNNN text" lines (UTF-8; "#" starts a comment line) and writes NNNN.ogg for each
// into `dir`; false with a message when a line is malformed or the synthesiser fails.
bool makeVoices(const std::filesystem::path& lines, const std::filesystem::path& dir);
