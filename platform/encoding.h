// CP932 (Shift-JIS) text conversion at the edges: terminals, dialogs and command lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Bytes that do not convert are replaced by '?'; the conversion never fails.
std::string cp932ToUtf8(std::string_view cp932);
std::string utf8ToCp932(std::string_view utf8);

// The Unicode code point of the double-byte CP932 character `code` (lead byte x 256 + trail
// byte), or 0 when CP932 has no character there.
char32_t cp932CodePoint(uint16_t code);

// Whether `byte` starts a double-byte CP932 character.
constexpr bool isCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The full-width form of CP932 text: ASCII letters, digits, signs and the blank become their
// double-byte forms, half-width katakana become full-width (a following voiced or semi-voiced
// mark joins its kana), double-byte characters stay as they are.
std::string toFullWidthCp932(std::string_view cp932);
