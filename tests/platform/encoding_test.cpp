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
}
