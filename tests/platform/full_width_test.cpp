// Full-width conversion of names.
#include <gtest/gtest.h>

#include "platform/encoding.h"

TEST(FullWidth, ConvertsEachKindOfCharacter) {
    struct Case {
        std::string input;  // CP932
        const char* expected;  // UTF-8
    } cases[] = {
        {"Taro", "Ｔａｒｏ"},
        {"a b1~", "ａ　ｂ１～"},
        {"\xB6\xDE\xCA\xDF\xB1", "ガパア"},           // voiced and semi-voiced marks join
        {"\xAF\xDE", "ッ゛"},                         // a small tsu takes no voiced mark
        {"\xB3\xDE", "ヴ"},
        {utf8ToCp932("若葉"), "若葉"},                // double-byte text stays
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cp932ToUtf8(toFullWidthCp932(c.input)), c.expected) << c.expected;
}
