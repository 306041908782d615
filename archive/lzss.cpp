// The LZSS expander of archive members.
#include "archive/lzss.h"

#include <algorithm>
#include <cstring>

// The output itself serves as the ring: ring position q, read while output byte t is written,
// holds output byte t - d with d = (4078 + t - q) mod 4096 (4096 when that is 0), or a zero of
// the initial ring when t - d is negative. The distance d is the same for every byte of a
// reference, so a reference is a copy from d bytes back, overlapping when d < length.
namespace {
// A flag byte and its eight items take at most this much input and give at most this much
// output: a group with that much room on both sides needs no checks inside.
constexpr size_t kGroupInput = 1 + 8 * 2;
constexpr size_t kGroupOutput = 8 * kLzssMaxMatch;
// Flag bits are kept with a marker above them: while bit 8 is set, bit 0 is the next item's.
constexpr unsigned kFlagMarker = 0xFF00;

// `at` is the stream position of the byte being written.
size_t distanceOf(uint64_t at, size_t b1, size_t b2) {
    const size_t position = b1 | (b2 & 0xF0) << 4;
    const size_t distance = size_t(kLzssRingStart + at - position) & (kLzssRingSize - 1);
    return distance == 0 ? kLzssRingSize : distance;
}

// Copies `length` bytes from `distance` back, where the source may reach into the zeros the
// ring started with (distance > out) or overlap the bytes being written (distance < length).
void copyReference(uint8_t* output, size_t out, size_t distance, size_t length) {
    for (size_t i = 0; i < length; ++i, ++out)
        output[out] = out >= distance ? output[out - distance] : 0;
}

// Expands items from input[state.in] into output[*out] until the input does not hold the next
// item whole, or `outputSize` is reached, or fewer than `minRoom` bytes of room are left.
// output[0] is stream position `base`; the output before *out holds every earlier byte back to
// 4096 before it, or back to the stream's start. A reference cut by outputSize is cut short.
void expandItems(const uint8_t* input, size_t inputSize, LzssExpansion& state, uint8_t* output,
                 size_t* outPosition, size_t outputSize, uint64_t base, size_t minRoom) {
    size_t in = state.in;
    size_t out = *outPosition;
    unsigned flags = state.flags;
    for (;;) {
        // Whole groups while both sides have room for the largest group. A reference from at
        // least 18 bytes back always copies 18 bytes (those past its length are rewritten by
        // what follows); a group of eight literals is one move.
        while (!(flags & 0x100) && inputSize - in >= kGroupInput &&
               outputSize - out >= kGroupOutput) {
            const unsigned group = input[in++];
            if (group == 0xFF) {
                std::memcpy(output + out, input + in, 8);
                in += 8;
                out += 8;
                continue;
            }
            for (unsigned item = 0, bits = group; item < 8; ++item, bits >>= 1) {
                if (bits & 1) {
                    output[out++] = input[in++];
                    continue;
                }
                const size_t b1 = input[in];
                const size_t b2 = input[in + 1];
                in += 2;
                const size_t length = (b2 & 0x0F) + kLzssMinMatch;
                const size_t distance = distanceOf(base + out, b1, b2);
                uint8_t* dst = output + out;
                if (distance >= kLzssMaxMatch && distance <= out) {
                    std::memcpy(dst, dst - distance, 16);
                    std::memcpy(dst + 16, dst - distance + 16, 2);
                } else if (distance == 1 && out >= 1) {
                    std::memset(dst, dst[-1], kLzssMaxMatch);
                } else {
                    copyReference(output, out, distance, length);
                }
                out += length;
            }
        }
        // One item with every bound checked.
        if (out >= outputSize || outputSize - out < minRoom) break;
        if (!(flags & 0x100)) {
            if (in >= inputSize) break;
            flags = input[in++] | kFlagMarker;
        }
        if (flags & 1) {
            if (in >= inputSize) break;
            output[out++] = input[in++];
        } else {
            if (inputSize - in < 2) break;
            const size_t b1 = input[in];
            const size_t b2 = input[in + 1];
            in += 2;
            const size_t length = std::min((b2 & 0x0F) + kLzssMinMatch, outputSize - out);
            copyReference(output, out, distanceOf(base + out, b1, b2), length);
            out += length;
        }
        flags >>= 1;
    }
    state.in = in;
    state.flags = flags;
    *outPosition = out;
}
}  // namespace

size_t expandLzss(const uint8_t* input, size_t inputSize, uint8_t* output, size_t outputSize) {
    if (!output) return 0;
    if (!input) inputSize = 0;
    LzssExpansion state;
    size_t out = 0;
    expandItems(input, inputSize, state, output, &out, outputSize, 0, 1);
    return out;
}

size_t expandLzssPiece(LzssExpansion& state, const uint8_t* input, size_t inputSize,
                       uint8_t* window, size_t history, size_t windowSize, uint64_t totalSize) {
    if (!window || history >= windowSize || state.produced >= totalSize) return 0;
    if (!input) inputSize = 0;
    state.in = 0;
    // The last piece ends exactly at the total, cutting a reference there; earlier pieces end
    // between items, so that no reference is left half written.
    const uint64_t left = totalSize - state.produced;
    const bool last = left <= windowSize - history;
    const size_t outputSize = last ? history + size_t(left) : windowSize;
    size_t out = history;
    expandItems(input, inputSize, state, window, &out, outputSize, state.produced - history,
                last ? 1 : kLzssMaxMatch);
    state.produced += out - history;
    return out - history;
}

uint64_t lzssMaxExpandedSize(uint64_t streamSize) {
    constexpr uint64_t kGroupBytes = 1 + 8 * 2;
    const uint64_t rest = streamSize % kGroupBytes;
    // A partial group: its flag byte, then references, then one literal for an odd byte left.
    const uint64_t partial = rest == 0 ? 0 : (rest - 1) / 2 * kLzssMaxMatch + (rest - 1) % 2;
    return streamSize / kGroupBytes * 8 * kLzssMaxMatch + partial;
}
