// The scenario conversion: UTF-8 sources become Shift-JIS, and a line the game could not show
// is refused by its number.
#include "content/interface/maker/scenario_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {
struct Case {
    const char* utf8;
    bool ok;
    const char* problemLine;  // the start of the refusal, when refused
};

class ScenarioText : public ::testing::TestWithParam<Case> {};

TEST_P(ScenarioText, ConvertsOrNamesTheLine) {
    const Case& c = GetParam();
    std::string cp932, problem;
    EXPECT_EQ(scenarioToCp932(c.utf8, &cp932, &problem), c.ok);
    if (!c.ok) {
        EXPECT_EQ(problem.rfind(c.problemLine, 0), 0u) << problem;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScenarioText,
    ::testing::Values(Case{"%n&1;\nこんにちは。%K\n", true, ""},
                      Case{"# コメント\n:Start;\n%Mbgm01,0;\n", true, ""},
                      // Half-width katakana would be single bytes the engine cannot show.
                      Case{"あ\nｱｲｳ\n", false, "line 2: "},
                      // No Shift-JIS form at all.
                      Case{"%n;\nいい\nてんき😀\n", false, "line 3: "},
                      Case{"\xE3\x81\n", false, "line 1: "}));

TEST(ScenarioTextBytes, DoubleByteTextAndAsciiCommandsComeOutAsShiftJis) {
    std::string cp932, problem;
    ASSERT_TRUE(scenarioToCp932("%k\nあ」\n", &cp932, &problem));
    EXPECT_EQ(cp932, "%k\n\x82\xA0\x81\x76\n");
}
}  // namespace
