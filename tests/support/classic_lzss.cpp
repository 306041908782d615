// The classic LZSS expander, kept plain on purpose.
#include "tests/support/classic_lzss.h"

namespace reference {
namespace {
// The ring expander over a byte source (`get` returns -1 at the end) and sink; returns the
// bytes written.
template <class Get, class Put>
size_t expandWithRing(Get get, Put put, size_t outputSize) {
    uint8_t ring[4096] = {};
    unsigned r = 4078;
    unsigned flags = 0;
    size_t out = 0;
    while (out < outputSize) {
        flags >>= 1;
        if ((flags & 256) == 0) {
            const int c = get();
            if (c < 0) break;
            flags = unsigned(c) | 0xFF00;
        }
        if (flags & 1) {
            const int c = get();
            if (c < 0) break;
            put(uint8_t(c));
            ++out;
            ring[r] = uint8_t(c);
            r = (r + 1) & 4095;
        } else {
            const int b1 = get();
            if (b1 < 0) break;
            const int b2 = get();
            if (b2 < 0) break;
            const unsigned p = unsigned(b1) | (unsigned(b2) & 0xF0) << 4;
            const unsigned length = (unsigned(b2) & 0x0F) + 3;
            for (unsigned i = 0; i < length && out < outputSize; ++i) {
                const uint8_t c = ring[(p + i) & 4095];
                put(c);
                ++out;
                ring[r] = c;
                r = (r + 1) & 4095;
            }
        }
    }
    return out;
}
}  // namespace

size_t classicExpand(const uint8_t* stream, size_t streamSize, uint8_t* output, size_t outputSize) {
    size_t in = 0, out = 0;
    return expandWithRing([&] { return in < streamSize ? int(stream[in++]) : -1; },
                          [&](uint8_t c) { output[out++] = c; }, outputSize);
}

size_t classicExpandFile(std::FILE* stream, size_t streamSize, std::FILE* output,
                         size_t outputSize) {
    size_t in = 0;
    return expandWithRing(
        [&] {
            if (in == streamSize) return -1;
            ++in;
            const int c = std::getc(stream);
            return c == EOF ? -1 : c;
        },
        [&](uint8_t c) { std::putc(c, output); }, outputSize);
}

}  // namespace reference
