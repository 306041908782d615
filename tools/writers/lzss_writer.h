// The LZSS compressor for archive members (greedy, longest match within the 4096-byte window).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A stream that expandLzss turns back into `data` (the zero-filled ring with write position
// 4078 included: leading zeros are references into it). Empty for empty data.
std::vector<uint8_t> compressLzss(const uint8_t* data, size_t size);
