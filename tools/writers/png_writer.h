// PNG files from 32-bit ARGB pixels (layer exports, rendered pictures, test output).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// How hard the encoder works: `small` is libpng's default (adaptive filters, zlib level 6);
// `fast` spends a fraction of the time on files somewhat larger (one cheap filter, a quick
// deflate), for exports of large layers.
enum class PngEffort { small, fast };

// Writes `width` x `height` pixels (0xAARRGGBB, top row first) as an 8-bit RGBA PNG.
// Returns false with a message in `error` when the file cannot be written (a partly written
// file is removed).
bool writePng(const std::string& path, int width, int height, const uint32_t* argb,
              std::string* error = nullptr, PngEffort effort = PngEffort::small);

// Row `y` of a picture (0xAARRGGBB, width pixels), asked for in order from the top; the
// pointer need only stay valid until the next call.
using PngRows = std::function<const uint32_t*(int y)>;

// As writePng with PngEffort::fast, for pixels made as they are written, so that the whole
// picture is never held.
bool writePngRows(const std::string& path, int width, int height, const PngRows& rows,
                  std::string* error = nullptr);

// Reads an RGBA or RGB PNG back as 0xAARRGGBB pixels (tests compare with it).
bool readPng(const std::string& path, int* width, int* height, std::vector<uint32_t>* argb,
             std::string* error = nullptr);
