// PNG files from 32-bit ARGB pixels (layer exports, rendered pictures, test output).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
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

// A fast PNG made in bands of rows that are filtered and deflated apart (side by side, on
// several threads) and then written as one file: each band's deflate output ends on a byte
// boundary, so the bands' outputs simply follow one another in the file.
struct PngBand {
    // Raw deflate data: `size` bytes of a buffer of `capacity`, allocated at the most deflate
    // can give and left untouched beyond what it gave, so it costs only the memory it fills.
    std::unique_ptr<uint8_t[]> deflated;
    size_t size = 0, capacity = 0;
    uint32_t adler = 1;   // Adler-32 of the band's filtered bytes
    uint64_t length = 0;  // how many filtered bytes
};

// Filters and deflates `rows` rows of `width` pixels that `source` gives (y from 0 within the
// band); `last` for the picture's last band. False when zlib cannot start (out of memory).
bool deflatePngBand(int width, int rows, const PngRows& source, bool last, PngBand* band);

// Writes the bands, top band first, as a `width` x `height` PNG; their rows must add up to
// `height`. As writePng on failure.
bool writePngBands(const std::string& path, int width, int height,
                   const std::vector<PngBand>& bands, std::string* error = nullptr);

// Reads an RGBA or RGB PNG back as 0xAARRGGBB pixels (tests compare with it).
bool readPng(const std::string& path, int* width, int* height, std::vector<uint32_t>* argb,
             std::string* error = nullptr);
