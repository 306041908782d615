// ASCII case folding and suffix tests: letters fold, every other byte compares exactly.
#include "platform/ascii_text.h"

#include <gtest/gtest.h>

TEST(AsciiText, ComparesIgnoringOnlyAsciiLetterCase) {
    const struct {
        const char* a;
        const char* b;
        bool equal;
    } cases[] = {
        {"Script.TXT", "script.txt", true},
        {"", "", true},
        {"a", "", false},
        {"abc", "abd", false},
        {"[", "{", false},                // 0x5B and 0x7B lie 32 apart but are no letters
        {"\x82\x60", "\x82\x81", false},  // full-width Ａ and ａ are different characters
        {"\xC0", "\xE0", false},
    };
    for (const auto& c : cases) EXPECT_EQ(equalsIgnoringAsciiCase(c.a, c.b), c.equal) << c.a;
    EXPECT_EQ(asciiLowerCopy("NIL.Tmb\x82\x60"), "nil.tmb\x82\x60");
}

TEST(AsciiText, EndsWith) {
    EXPECT_TRUE(endsWith("voice.ogg", ".ogg"));
    EXPECT_TRUE(endsWith(".ogg", ".ogg"));
    EXPECT_TRUE(endsWith("x", ""));
    EXPECT_FALSE(endsWith("ogg", ".ogg"));
    EXPECT_FALSE(endsWith("voice.OGG", ".ogg"));  // exact; fold first for a case-blind test
    EXPECT_TRUE(endsWith(asciiLowerCopy("A.TR2"), ".tr2"));
}
