// The LZSS expander of archive members (4096-byte ring, references of 3 to 18 bytes).
#pragma once

#include <cstddef>
#include <cstdint>

// Ring geometry shared by the expander and the compressor.
constexpr size_t kLzssRingSize = 4096;
constexpr size_t kLzssMaxMatch = 18;
constexpr size_t kLzssMinMatch = 3;
constexpr size_t kLzssRingStart = kLzssRingSize - kLzssMaxMatch;  // 4078

// Expands one stream into `output`. The ring starts zero-filled with its write position at
// 4078; flag bits are read least significant first (1 = literal byte, 0 = two-byte reference:
// position = b1 | (b2 & 0xF0) << 4, length = (b2 & 0x0F) + 3). Stops when the input runs out
// or the output is full; returns the bytes written, never more than `outputSize`.
size_t expandLzss(const uint8_t* input, size_t inputSize, uint8_t* output, size_t outputSize);

// The most bytes a stream of `streamSize` bytes can expand to: a flag byte and eight references
// of 18 bytes give 144 bytes from 17, about 8.5 times the stream. A member that claims more is
// damaged.
uint64_t lzssMaxExpandedSize(uint64_t streamSize);
