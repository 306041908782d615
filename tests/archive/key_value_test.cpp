// KEYVALUE records: the line rules, lookups, ownership and the exit on a malformed line.
#include "archive/key_value.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/test_files.h"

namespace {
using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs pairsOf(const KEYVALUE& record) {
    Pairs pairs;
    for (const KeyValuePair* p = record.pairs(); p->key; ++p) pairs.emplace_back(p->key, p->value);
    EXPECT_EQ(pairs.size(), record.size());
    EXPECT_EQ(record.pairs()[record.size()].value, nullptr);
    return pairs;
}

struct LinesCase {
    const char* name;
    std::string text;
    Pairs expected;
};

void PrintTo(const LinesCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<LinesCase> linesCases() {
    return {
        {"BlanksRemoved", "NAME = Blue dress\n", {{"NAME", "Bluedress"}}},
        {"TrailingComment", "FILE_0=a.tmb #the body\n", {{"FILE_0", "a.tmb"}}},
        {"EmptyValue", "KEY=\n", {{"KEY", ""}}},
        {"FurtherEqualsInValue", "A=B=C\n", {{"A", "B=C"}}},
        {"NoSignificantLine", "\n\n  \t \n# just a comment\n", {}},
        {"EmptyText", "", {}},
        {"LastLineWithoutLineFeed", "A=1\nB=2", {{"A", "1"}, {"B", "2"}}},
        {"CarriageReturns", "A=1\r\nB=2\r\n", {{"A", "1"}, {"B", "2"}}},
        {"CommentEndsAtLineFeed", "#A=1\nB=2#=x\nC=3", {{"B", "2"}, {"C", "3"}}},
        {"ControlBytesDropped",
         "K\x01"
         "E\x1fY=V\tA\x0bL",
         {{"KEY", "VAL"}}},
        {"HighBytesKept", "K\x7f=\xff\x80", {{"K\x7f", "\xff\x80"}}},
        {"ShiftJisValue",
         "NAME=" + sjis("青いドレス・ソックス") + "\n",
         {{"NAME", sjis("青いドレス・ソックス")}}},
        {"OrderKeptAndRepeatsAllowed",
         "TYPE=a\nX=1\nTYPE=b\n",
         {{"TYPE", "a"}, {"X", "1"}, {"TYPE", "b"}}},
    };
}

class KeyValueLines : public ::testing::TestWithParam<LinesCase> {};

TEST_P(KeyValueLines, ParseIntoPairs) {
    KEYVALUE record;
    record.parse(GetParam().text.c_str());
    EXPECT_EQ(pairsOf(record), GetParam().expected);
    EXPECT_TRUE(checkKeyValueText(GetParam().text.c_str(), nullptr));
}

INSTANTIATE_TEST_SUITE_P(Texts, KeyValueLines, ::testing::ValuesIn(linesCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(KeyValue, MakeKeyValueSplitsAtTheFirstEquals) {
    KeyValuePair pair{};
    KEYVALUE::makeKeyValue(&pair, "FILE_1=x=y");
    EXPECT_STREQ(pair.key, "FILE_1");
    EXPECT_STREQ(pair.value, "x=y");
    std::free(pair.key);
    std::free(pair.value);
}

TEST(KeyValue, FindReturnsTheFirstExactKey) {
    KEYVALUE record;
    record.parse("TYPE=first\nTYPEX=no\nTYPE=second\ntype=lower\n");
    ASSERT_NE(record.find("TYPE"), nullptr);
    EXPECT_STREQ(record.find("TYPE")->value, "first");
    EXPECT_STREQ(record.find("type")->value, "lower");
    EXPECT_EQ(record.find("TYP"), nullptr);
    EXPECT_EQ(record.find(nullptr), nullptr);

    std::vector<std::string> visited;
    for (const KeyValuePair* p = record.findNext(nullptr, "TYPE"); p;
         p = record.findNext(p, "TYPE"))
        visited.push_back(p->value);
    EXPECT_EQ(visited, (std::vector<std::string>{"first", "no", "second"}));
}

TEST(KeyValue, FindNextMatchesCaseSensitivePrefixes) {
    KEYVALUE record;
    record.parse("FILE_0=a\nNAME=n\nFILE_12=b\nfile_0=c\nFILE_X=d\nFILE=e\n");
    std::vector<std::string> values;
    for (const KeyValuePair* p = record.findNext(nullptr, "FILE_"); p;
         p = record.findNext(p, "FILE_"))
        values.push_back(p->value);
    EXPECT_EQ(values, (std::vector<std::string>{"a", "b", "d"}));
    EXPECT_EQ(record.findNext(nullptr, "ICON_"), nullptr);
    // An empty prefix visits every pair.
    EXPECT_STREQ(record.findNext(record.find("NAME"), "")->value, "b");
}

TEST(KeyValue, FindNextIgnoresPairsOfOtherRecords) {
    KEYVALUE a, b;
    a.parse("FILE_0=a\n");
    b.parse("FILE_0=b\nFILE_1=c\n");
    EXPECT_EQ(b.findNext(a.find("FILE_0"), "FILE_"), nullptr);
    EXPECT_EQ(b.findNext(b.pairs() + b.size(), "FILE_"), nullptr);  // the end pair
}

TEST(KeyValue, RecordsMoveAndReparse) {
    KEYVALUE a;
    a.parse("A=1\nB=2\n");
    KEYVALUE b(std::move(a));
    EXPECT_EQ(a.size(), 0u);
    EXPECT_EQ(a.find("A"), nullptr);
    EXPECT_STREQ(b.find("B")->value, "2");
    KEYVALUE c;
    c.parse("C=3\n");
    c = std::move(b);
    EXPECT_EQ(pairsOf(c), (Pairs{{"A", "1"}, {"B", "2"}}));
    c.parse("D=4\n");
    EXPECT_EQ(pairsOf(c), (Pairs{{"D", "4"}}));
    c.parse("");
    EXPECT_EQ(c.size(), 0u);
    EXPECT_EQ(c.pairs()->key, nullptr);
}

TEST(KeyValue, LongLinesAreCutAndReported) {
    const std::string value(2000, 'v');
    const std::string text = "K=" + value + "\nNEXT=1\n";
    KEYVALUE record;
    record.parse(text.c_str());
    ASSERT_EQ(record.size(), 2u);
    EXPECT_EQ(std::string(record.find("K")->value), value.substr(0, kKeyValueLineLimit - 2));
    EXPECT_STREQ(record.find("NEXT")->value, "1");
    std::string problem;
    EXPECT_FALSE(checkKeyValueText(text.c_str(), &problem));
    EXPECT_EQ(problem, "line 1 has more than 1023 significant bytes");
    // 1023 significant bytes, blanks around them not counted, are fine.
    const std::string fits = " K = " + std::string(kKeyValueLineLimit - 2, 'v') + " \n";
    EXPECT_TRUE(checkKeyValueText(fits.c_str(), nullptr));
}

TEST(KeyValue, CheckNamesTheFirstBadLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"A=1\n\n# c\nnovalue\n", "line 4 has no '='"},
        {"A=1\r\n =x\r\n", "line 2 has an empty key (starts with '=')"},
        {"A=1\nlast", "line 2 has no '='"},
    };
    for (const auto& [text, expected] : cases) {
        std::string problem;
        EXPECT_FALSE(checkKeyValueText(text, &problem)) << text;
        EXPECT_EQ(problem, expected);
    }
}

// The message goes to stdout; the child sends stdout to stderr so that the death test sees it.
void parseWithStdoutOnStderr(const char* text) {
    dup2(2, 1);
    KEYVALUE record;
    record.parse(text);
}

TEST(KeyValueDeathTest, MalformedLineEndsTheProcess) {
    for (const char* text : {"=value\n", "A=1\n = 2\n", "novalue\n", "A=1\nB"}) {
        EXPECT_EXIT(parseWithStdoutOnStderr(text), ::testing::ExitedWithCode(255),
                    "\\*\\*\\* internal error in KEYVALUE::makeKeyValue\\(\\)")
            << text;
    }
}
}  // namespace
