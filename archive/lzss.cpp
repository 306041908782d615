// The LZSS expander of archive members.
#include "archive/lzss.h"

#include <cstring>

// The output itself serves as the ring: ring position q, read while output byte t is written,
// holds output byte t - d with d = (4078 + t - q) mod 4096 (4096 when that is 0), or a zero of
// the initial ring when t - d is negative. The distance d is the same for every byte of a
// reference, so a reference is a copy from d bytes back, overlapping when d < length.
size_t expandLzss(const uint8_t* input, size_t inputSize, uint8_t* output, size_t outputSize) {
    if (!output) return 0;
    if (!input) inputSize = 0;
    size_t in = 0;
    size_t out = 0;
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
        const size_t position = b1 | (b2 & 0xF0) << 4;
        size_t length = (b2 & 0x0F) + kLzssMinMatch;
        size_t distance = (kLzssRingStart + out - position) & (kLzssRingSize - 1);
        if (distance == 0) distance = kLzssRingSize;
        if (length > outputSize - out) length = outputSize - out;
        if (distance <= out) {
            uint8_t* dst = output + out;
            const uint8_t* src = dst - distance;
            if (distance >= length) {
                std::memcpy(dst, src, length);
            } else {
                for (size_t i = 0; i < length; ++i) dst[i] = src[i];
            }
            out += length;
        } else {
            // Part of the source still lies in the zeros the ring started with.
            for (size_t i = 0; i < length; ++i, ++out)
                output[out] = out >= distance ? output[out - distance] : 0;
        }
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
