// A growing little- or big-endian byte buffer that every format writer builds files in.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

struct ByteWriter {
    std::vector<uint8_t> bytes;

    size_t size() const { return bytes.size(); }
    void u8(uint8_t v) { bytes.push_back(v); }
    void u16le(uint16_t v) { u8(v & 0xFF), u8(v >> 8); }
    void u32le(uint32_t v) { u16le(v & 0xFFFF), u16le(v >> 16); }
    void i32le(int32_t v) { u32le(static_cast<uint32_t>(v)); }
    void u16be(uint16_t v) { u8(v >> 8), u8(v & 0xFF); }
    void u32be(uint32_t v) { u16be(v >> 16), u16be(v & 0xFFFF); }
    void f32le(float v) {
        uint32_t u;
        std::memcpy(&u, &v, 4);
        u32le(u);
    }
    void raw(const void* data, size_t n) {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + n);
    }
    void text(std::string_view s) { raw(s.data(), s.size()); }
    // `s` NUL-padded (or cut) to exactly `width` bytes.
    void fixedText(std::string_view s, size_t width) {
        for (size_t i = 0; i < width; ++i) u8(i < s.size() ? static_cast<uint8_t>(s[i]) : 0);
    }
    void zeros(size_t n) { bytes.insert(bytes.end(), n, 0); }
    // Overwrites a little-endian 32-bit value written earlier.
    void patchU32le(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
    void patchU32be(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * (3 - i)));
    }
};
