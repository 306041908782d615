// A read position in a file block that refuses to move past the block's end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

struct ByteCursor {
    const uint8_t* data;
    size_t size;
    size_t at = 0;

    size_t remaining() const { return size - at; }
    // Moves past `n` bytes; false (and no move) when fewer remain.
    bool skip(uint64_t n) {
        if (n > remaining()) return false;
        at += static_cast<size_t>(n);
        return true;
    }
    bool i32(int32_t* v) {
        if (remaining() < 4) return false;
        uint32_t u = static_cast<uint32_t>(data[at]) | static_cast<uint32_t>(data[at + 1]) << 8 |
                     static_cast<uint32_t>(data[at + 2]) << 16 |
                     static_cast<uint32_t>(data[at + 3]) << 24;
        std::memcpy(v, &u, 4);
        at += 4;
        return true;
    }
    bool i16(int16_t* v) {
        if (remaining() < 2) return false;
        const auto u = static_cast<uint16_t>(data[at] | data[at + 1] << 8);
        std::memcpy(v, &u, 2);
        at += 2;
        return true;
    }
    // Moves past a NUL-terminated string that ends inside the block.
    bool cString(const char** text) {
        const void* end = std::memchr(data + at, 0, remaining());
        if (!end) return false;
        *text = reinterpret_cast<const char*>(data + at);
        at = static_cast<size_t>(static_cast<const uint8_t*>(end) - data) + 1;
        return true;
    }
    const uint8_t* here() const { return data + at; }
};
