// Script errors end the program with their message; limits are kept at their exact edge.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>

#include "tests/script/script_test_engine.h"
#include "tests/support/test_files.h"

namespace {
std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

// Runs `cp932` with skip held for enough frames to reach any error.
void runScript(const std::string& cp932) {
    TestEngine e;
    e.state.skip = true;
    e.begin(cp932);
    e.frames(100);
}

struct FatalCase {
    const char* name;
    std::string script;  // CP932
    std::string output;  // UTF-8, as it reaches stderr
};
}  // namespace

using ::testing::ExitedWithCode;
using ::testing::HasSubstr;

TEST(ScriptErrorsDeathTest, EachErrorEndsTheProgramWithItsMessage) {
    const FatalCase cases[] = {
        {"unknown command", "%z", "[TR2 System] 未知のコマンド %z を見つけました。"},
        {"letter only the game knows", "%m0;", "[TR2 System] 未知のコマンド %m を見つけました。"},
        {"missing label", "%JNowhere;",
         "[script runtime error] 指定されたジャンプ先 'Nowhere' が見つかりません。"},
        {"return without call", "%l", "[script runtime error] スタックが異常です。"},
        {"call stack overflow", ":A;%LA;",
         "[script runtime error] スタックがあふれました。(1 行目)"},
        {"message text", sjis(repeat("あ", 380)),
         "[script runtime error] メッセージが長すぎます。(1 行目)"},
        {"name line", "%n" + sjis(repeat("あ", 63)) + ";", "名前が長すぎます。"},
        {"ninth choice", repeat("%ia,L;", 9), "選択肢が多すぎます。"},
        {"caption of 64 bytes", "%i" + repeat("c", 64) + ",L;", "選択肢の文字列が長すぎます。"},
        {"label of 32 bytes", "%ic," + repeat("L", 32) + ";", "選択肢の文字列が長すぎます。"},
        {"variable 256", "%S256,=,1;", "変数番号 256 は範囲外です。"},
        {"variable -1 in a condition", "%E-1,=,0,L;", "変数番号 -1 は範囲外です。"},
        {"number of 32 bytes", "%w" + repeat("1", 32) + ";", "引数が長すぎます。"},
        {"string of 256 bytes", "%J" + repeat("a", 256) + ";", "引数が長すぎます。"},
        {"substitution past 255", "%J" + repeat("a", 252) + "&2;", "引数が長すぎます。"},
        {"token at the end", "%JAbc", "引数の途中でスクリプトが終わっています。"},
        {"substitution at the end", "%JA&", "引数の途中でスクリプトが終わっています。"},
        {"percent at the end", sjis("あ%"), "コマンドの途中でスクリプトが終わっています。"},
        {"label at the end", ":Label", "引数の途中でスクリプトが終わっています。"},
        {"open block", sjis("あ\n$いう"), "$ ブロックが閉じられていません。(2 行目)"},
        {"line of the error", "%S0,=,1;\n\n%S0,=,2;\r\n%W1;%S900,=,1;",
         "変数番号 900 は範囲外です。(4 行目)"},
    };
    for (const FatalCase& c : cases) {
        EXPECT_EXIT(
            {
                TestEngine e;
                e.setNames(sjis("太郎").c_str(), "");
                e.state.skip = true;
                e.begin(c.script);
                e.frames(100);
            },
            ExitedWithCode(255), HasSubstr(c.output))
            << c.name;
    }
}

TEST(ScriptLimits, AcceptedAtTheirExactEdge) {
    // Each script fills one buffer exactly and ends normally.
    const std::string script =
        sjis(repeat("あ", 357)) +              // 714 bytes and 14 line feeds
        "%r" + repeat("a", 36) + sjis("い") +  // 729 and 38 more: 767 of 768
        "%w1;%R%n" + repeat("n", 124) + ";" +  // "_" + 124 + CR LF = 127 of 128
        "%i" + repeat("c", 63) + "," + repeat("L", 31) + ";" + repeat("%ia,L;", 7) + "%w" +
        repeat("0", 30) + "1;" + "%S255,=,1;%S0,=,2;" + "%J" + repeat("z", 255) + ";" + ":" +
        repeat("z", 255) + ";";
    TestEngine e;
    e.state.skip = true;
    e.begin(script);
    e.frames(2);
    EXPECT_EQ(std::string(e.state.messageText).size(), 767u);
    e.frames(100);
    EXPECT_EQ(std::string(e.state.nameLine).size(), 127u);
    EXPECT_EQ(e.state.choiceCount, 8);
    EXPECT_EQ(std::string(e.state.choices[0].label), repeat("L", 31));
    EXPECT_EQ(e.state.variables[255], 1);
    EXPECT_EQ(e.state.variables[0], 2);
    EXPECT_EQ(*e.state.position, '\0');
}

TEST(ScriptErrors, CommentRunningToTheEndEndsTheScriptQuietly) {
    TestEngine e;
    e.state.skip = true;
    e.begin(sjis("あ#no line feed after this %z"));
    e.frames(3);
    EXPECT_EQ(e.message(), sjis("あ"));
    EXPECT_EQ(*e.state.position, '\0');
}

TEST(ScriptErrorsDeathTest, TokensAndBlocksNeverReadPastTheText) {
    const auto endsOrFails = [](int status) {
        return WIFEXITED(status) && (WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == 255);
    };
    // Scripts cut at every byte: each either ends, or stops with a message, but never reads
    // beyond its own buffer (AddressSanitizer watches the heap copy).
    const std::string full = sjis("%nあ;い%k%Sあ,=,1;$う$%ia,B;%JB;:B;&1%Mm,0;#c\n%W1;");
    for (size_t cut = 0; cut <= full.size(); ++cut) {
        const std::string part = full.substr(0, cut);
        EXPECT_EXIT(
            {
                runScript(part);
                std::exit(0);
            },
            endsOrFails, "")
            << cut;
    }
}
