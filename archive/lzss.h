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

// An expansion done in pieces, for streams whose output is too large to hold at once.
struct LzssExpansion {
    size_t in = 0;          // stream bytes the last piece used of those it was given
    unsigned flags = 0;     // flag bits not used yet (with a marker above them)
    uint64_t produced = 0;  // bytes written by every piece so far
};

// Expands the next piece of a stream of `totalSize` bytes. `input` holds the stream's next bytes
// (the bytes the previous piece left unused first); `window` holds, in its first `history`
// bytes, the last min(produced, 4096) bytes written, and the piece is written after them. A
// piece stops before an item that `input` does not hold whole, or when the window has no room
// for the longest reference, or at `totalSize`. Returns the bytes written; `state.in` gets the
// input bytes used.
size_t expandLzssPiece(LzssExpansion& state, const uint8_t* input, size_t inputSize,
                       uint8_t* window, size_t history, size_t windowSize, uint64_t totalSize);

// The most bytes a stream of `streamSize` bytes can expand to: a flag byte and eight references
// of 18 bytes give 144 bytes from 17, about 8.5 times the stream. A member that claims more is
// damaged.
uint64_t lzssMaxExpandedSize(uint64_t streamSize);
