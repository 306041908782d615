// Full-width conversion of CP932 text (what LCMapString with LCMAP_FULLWIDTH gives).
#include <cstdint>
#include <string>

#include "platform/encoding.h"

namespace {
// Full-width forms of the half-width katakana U+FF61 to U+FF9F.
constexpr char16_t kKatakana[] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9,
    0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB,
    0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1,
    0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5,
    0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9,
    0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C,
};

bool takesVoicedMark(char16_t kana) {
    return (kana >= 0x30AB && kana <= 0x30C1 && kana % 2 == 1) || kana == 0x30C4 ||
           kana == 0x30C6 || kana == 0x30C8 ||
           (kana >= 0x30CF && kana <= 0x30DB && (kana - 0x30CF) % 3 == 0) || kana == 0x30A6;
}

bool takesSemiVoicedMark(char16_t kana) {
    return kana >= 0x30CF && kana <= 0x30DB && (kana - 0x30CF) % 3 == 0;
}

std::string utf8Of(char16_t c) {
    std::string s;
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return s;
}
}  // namespace

std::string toFullWidthCp932(std::string_view text) {
    std::string utf8;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (isCp932LeadByte(b) && i + 1 < text.size()) {
            utf8 += cp932ToUtf8(text.substr(i, 2));
            ++i;
        } else if (b == 0x20) {
            utf8 += utf8Of(0x3000);
        } else if (b > 0x20 && b < 0x7F) {
            utf8 += utf8Of(static_cast<char16_t>(0xFF01 + (b - 0x21)));
        } else if (b >= 0xA1 && b <= 0xDF) {
            char16_t kana = kKatakana[b - 0xA1];
            const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
            if (next == 0xDE && takesVoicedMark(kana)) {
                kana = kana == 0x30A6 ? 0x30F4 : static_cast<char16_t>(kana + 1);
                ++i;
            } else if (next == 0xDF && takesSemiVoicedMark(kana)) {
                kana = static_cast<char16_t>(kana + 2);
                ++i;
            }
            utf8 += utf8Of(kana);
        } else {
            utf8 += static_cast<char>(b);
        }
    }
    return utf8ToCp932(utf8);
}
