// The classic LZSS expander: a 4096-byte ring, byte by byte. The reference the fast one is
// checked and measured against.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace reference {

// Expands with a zero-filled ring whose write position starts at 4078, flag bits least
// significant first; stops when the stream runs out or `outputSize` bytes are written, and
// returns the bytes written.
size_t classicExpand(const uint8_t* stream, size_t streamSize, uint8_t* output, size_t outputSize);

// The same from a file to a file with getc and putc, as a classic decoder program does.
size_t classicExpandFile(std::FILE* stream, size_t streamSize, std::FILE* output,
                         size_t outputSize);

}  // namespace reference
