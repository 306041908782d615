// CP932 conversion at the edges.
#include <gtest/gtest.h>

#include "platform/encoding.h"

TEST(Encoding, RoundTripsJapaneseText) {
    const std::string utf8 = "ファイル が見つかりません。";
    const std::string cp932 = utf8ToCp932(utf8);
    EXPECT_EQ(cp932.substr(0, 2), "\x83\x74");
    EXPECT_EQ(cp932ToUtf8(cp932), utf8);
}

TEST(Encoding, UsesTheWindowsCodePageNotPlainShiftJis) {
    // The wave dash and full-width minus differ between CP932 and Shift-JIS.
    EXPECT_EQ(utf8ToCp932("～"), "\x81\x60");
    EXPECT_EQ(utf8ToCp932("－"), "\x81\x7C");
}

TEST(Encoding, ReplacesBytesThatDoNotConvert) {
    EXPECT_EQ(cp932ToUtf8("a\x81"), "a?");
    EXPECT_EQ(cp932ToUtf8(""), "");
    // A UTF-8 character without a CP932 form is one "?", and so is a cut one; each stray byte is
    // one "?".
    EXPECT_EQ(utf8ToCp932("a\xF0\x9F\x98\x80" "b\xC3\xA9"), "a?b?");
    EXPECT_EQ(utf8ToCp932("\x80\x80\xE3\x81"), "???");
}

TEST(Encoding, CodePointOfOneDoubleByteCharacter) {
    struct Case {
        uint16_t code;
        char32_t codePoint;
    } cases[] = {
        {0x8142, U'。'}, {0x82A0, U'あ'}, {0x889F, U'亜'}, {0x8160, U'～'}, {0x8740, U'①'},
        {0x817F, 0},      // no character at this trail byte
        {0x85A0, 0},      // an empty row
        {0x4142, 0},      // not a lead byte
        {0x81FD, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(cp932CodePoint(c.code), c.codePoint) << std::hex << c.code;
}
