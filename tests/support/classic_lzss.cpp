// The classic LZSS expander, kept plain on purpose.
#include "tests/support/classic_lzss.h"

namespace reference {

size_t classicExpand(const uint8_t* stream, size_t streamSize, uint8_t* output, size_t outputSize) {
    uint8_t ring[4096] = {};
    unsigned r = 4078;
    unsigned flags = 0;
    size_t in = 0;
    size_t out = 0;
    while (out < outputSize) {
        flags >>= 1;
        if ((flags & 256) == 0) {
            if (in == streamSize) break;
            flags = stream[in++] | 0xFF00;
        }
        if (flags & 1) {
            if (in == streamSize) break;
            const uint8_t c = stream[in++];
            output[out++] = c;
            ring[r] = c;
            r = (r + 1) & 4095;
        } else {
            if (streamSize - in < 2) break;
            const unsigned b1 = stream[in++];
            const unsigned b2 = stream[in++];
            const unsigned p = b1 | (b2 & 0xF0) << 4;
            const unsigned length = (b2 & 0x0F) + 3;
            for (unsigned i = 0; i < length && out < outputSize; ++i) {
                const uint8_t c = ring[(p + i) & 4095];
                output[out++] = c;
                ring[r] = c;
                r = (r + 1) & 4095;
            }
        }
    }
    return out;
}

}  // namespace reference
