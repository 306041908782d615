// The LZSS expander of archive members.
#include "archive/lzss.h"

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

size_t distanceOf(size_t out, size_t b1, size_t b2) {
    const size_t position = b1 | (b2 & 0xF0) << 4;
    const size_t distance = (kLzssRingStart + out - position) & (kLzssRingSize - 1);
    return distance == 0 ? kLzssRingSize : distance;
}

// Copies `length` bytes from `distance` back, where the source may reach into the zeros the
// ring started with (distance > out) or overlap the bytes being written (distance < length).
void copyReference(uint8_t* output, size_t out, size_t distance, size_t length) {
    for (size_t i = 0; i < length; ++i, ++out)
        output[out] = out >= distance ? output[out - distance] : 0;
}
}  // namespace

size_t expandLzss(const uint8_t* input, size_t inputSize, uint8_t* output, size_t outputSize) {
    if (!output) return 0;
    if (!input) inputSize = 0;
    size_t in = 0;
    size_t out = 0;
    // Whole groups while both sides have room for the largest group. A reference from at least
    // 18 bytes back always copies 18 bytes (those past its length are rewritten by what
    // follows); a group of eight literals is one move.
    while (inputSize - in >= kGroupInput && outputSize - out >= kGroupOutput) {
        unsigned flags = input[in++];
        if (flags == 0xFF) {
            std::memcpy(output + out, input + in, 8);
            in += 8;
            out += 8;
            continue;
        }
        for (int item = 0; item < 8; ++item, flags >>= 1) {
            if (flags & 1) {
                output[out++] = input[in++];
                continue;
            }
            const size_t b1 = input[in];
            const size_t b2 = input[in + 1];
            in += 2;
            const size_t length = (b2 & 0x0F) + kLzssMinMatch;
            const size_t distance = distanceOf(out, b1, b2);
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
    // The rest item by item, every bound checked.
    unsigned flags = 0;
    while (out < outputSize) {
        flags >>= 1;
        if (!(flags & 0x100)) {
            if (in >= inputSize) break;
            flags = input[in++] | 0xFF00u;
        }
        if (flags & 1) {
            if (in >= inputSize) break;
            output[out++] = input[in++];
            continue;
        }
        if (inputSize - in < 2) break;
        const size_t b1 = input[in];
        const size_t b2 = input[in + 1];
        in += 2;
        size_t length = (b2 & 0x0F) + kLzssMinMatch;
        if (length > outputSize - out) length = outputSize - out;
        copyReference(output, out, distanceOf(out, b1, b2), length);
        out += length;
    }
    return out;
}

uint64_t lzssMaxExpandedSize(uint64_t streamSize) {
    constexpr uint64_t kGroupBytes = 1 + 8 * 2;
    const uint64_t rest = streamSize % kGroupBytes;
    // A partial group: its flag byte, then references, then one literal for an odd byte left.
    const uint64_t partial = rest == 0 ? 0 : (rest - 1) / 2 * kLzssMaxMatch + (rest - 1) % 2;
    return streamSize / kGroupBytes * 8 * kLzssMaxMatch + partial;
}
