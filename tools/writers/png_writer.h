// PNG files from 32-bit ARGB pixels (layer exports, rendered pictures, test output).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes `width` x `height` pixels (0xAARRGGBB, top row first) as an 8-bit RGBA PNG.
// Returns false with a message in `error` when the file cannot be written.
bool writePng(const std::string& path, int width, int height, const uint32_t* argb,
              std::string* error = nullptr);

// Reads an RGBA or RGB PNG back as 0xAARRGGBB pixels (tests compare with it).
bool readPng(const std::string& path, int* width, int* height, std::vector<uint32_t>* argb,
             std::string* error = nullptr);
