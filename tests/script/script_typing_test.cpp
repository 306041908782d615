// Typing: speed, one command per frame, line wrapping, single-byte text and name substitutions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/script/script_test_engine.h"
#include "tests/support/test_files.h"

namespace {
std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}
}  // namespace

TEST(ScriptTyping, FirstFrameAfterResetOnlyWaits) {
    TestEngine e;
    char* text = static_cast<char*>(std::malloc(4));
    std::memcpy(text, sjis("あ").c_str(), 3);
    e.start(text);
    e.run(1000.0f);
    EXPECT_EQ(e.message(), "");
    e.run(1000.0f);
    EXPECT_EQ(e.message(), sjis("あ"));
}

TEST(ScriptTyping, OneDoubleByteCharacterPerTypingInterval) {
    TestEngine e;
    e.begin(sjis(repeat("あ", 40)));
    e.run(kTypingMs);
    EXPECT_EQ(e.message(), sjis("あ"));
    e.run(kTypingMs);
    EXPECT_EQ(e.message(), sjis("ああ"));
    e.run(kTypingMs * 0.5f);
    EXPECT_EQ(e.message(), sjis("ああ"));
    e.run(kTypingMs * 0.5f);
    EXPECT_EQ(e.message(), sjis("あああ"));
    // A long frame types what its time pays for: 1000 ms buy 23 characters.
    TestEngine f;
    f.begin(sjis(repeat("い", 40)));
    f.run(1000.0f);
    EXPECT_EQ(f.message(), sjis(repeat("い", 23)));
}

TEST(ScriptTyping, OneCommandPerFrame) {
    TestEngine e;
    e.begin(sjis("あ%rい%r%rう"));
    e.run(1000.0f);
    EXPECT_EQ(e.message(), sjis("あ\n"));
    e.run(1000.0f);
    EXPECT_EQ(e.message(), sjis("あ\nい\n"));
    e.run(1000.0f);
    EXPECT_EQ(e.message(), sjis("あ\nい\n\n"));
    e.run(1000.0f);
    EXPECT_EQ(e.message(), sjis("あ\nい\n\nう"));
}

TEST(ScriptTyping, ScriptEndStaysPut) {
    TestEngine e;
    e.begin(sjis("あい"));
    e.frames(100);
    EXPECT_EQ(e.message(), sjis("あい"));
    EXPECT_EQ(*e.state.position, '\0');
}

struct WrapCase {
    const char* name;
    std::string script;
    std::string expected;
};

TEST(ScriptTyping, WrapsAfterTwentyFiveButNeverBeforePunctuation) {
    const std::string line = repeat("あ", 25);
    const WrapCase cases[] = {
        {"26th character", repeat("あ", 26), line + "\nあ"},
        {"full stop stays", line + "。い", line + "。\nい"},
        {"comma stays", line + "、い", line + "、\nい"},
        {"bracket stays", line + "」い", line + "」\nい"},
        {"two stops stay", line + "。。い", line + "。。\nい"},
        {"stop as 25th", repeat("あ", 24) + "。い", repeat("あ", 24) + "。\nい"},
        {"other punctuation breaks", line + "！", line + "\n！"},
        {"line feed resets", "あ%r" + line + "い", "あ\n" + line + "\nい"},
    };
    for (const WrapCase& c : cases) {
        TestEngine e;
        e.state.skip = true;
        e.begin(sjis(c.script));
        e.frames(5);
        EXPECT_EQ(e.message(), sjis(c.expected)) << c.name;
    }
}

TEST(ScriptTyping, SingleByteTextGoesOutWithTheNextCharacter) {
    const WrapCase cases[] = {
        {"blank and ! skipped at dispatch", sjis(" !\r\n\tあ"), sjis("あ")},
        {"run typed with next", sjis("あab い"), sjis("あab い")},
        {"run keeps ! and blanks", sjis("あx! い"), sjis("あx! い")},
        {"command after single-byte text is text", sjis("あAB%kい"), sjis("あAB%kい")},
        {"colon after single-byte text is text", sjis("あA:B;い"), sjis("あA:B;い")},
        {"trailing run", sjis("あab"), sjis("あab")},
        {"lone lead byte at the end dropped", sjis("あ") + "\x82", sjis("あ")},
    };
    for (const WrapCase& c : cases) {
        TestEngine e;
        e.state.skip = true;
        e.begin(c.script);
        e.frames(5);
        EXPECT_EQ(e.message(), c.expected) << c.name;
        EXPECT_FALSE(e.state.waitingForClick) << c.name;
    }
}

TEST(ScriptTyping, SingleByteRunCostsNothing) {
    TestEngine e;
    e.begin(sjis("abcdefあい"));
    e.run(kTypingMs);
    EXPECT_EQ(e.message(), sjis("abcdefあ"));
    EXPECT_EQ(e.state.column, 1);
}

TEST(ScriptTyping, NameSubstitutions) {
    struct Case {
        const char* script;
        std::string expected;
    };
    const Case cases[] = {
        {"&0さん", "\x01" + sjis("太郎さん")},
        {"&1は", "\x02" + sjis("花子は")},
        {"&2さん", sjis("太郎さん")},
        {"&3", sjis("花子")},
        {"&9あ", sjis("あ")},  // no such selector: nothing is put in
        {"あ&", sjis("あ")},   // "&" at the end of the text
        {"%n&3;あ", "_" + sjis("花子") + "\r\n" + sjis("あ")},
    };
    for (const Case& c : cases) {
        TestEngine e;
        e.setNames(sjis("太郎").c_str(), sjis("花子").c_str());
        e.state.skip = true;
        e.begin(sjis(c.script));
        e.frames(5);
        EXPECT_EQ(e.message(), c.expected) << c.script;
        EXPECT_EQ(e.state.resumePosition, nullptr) << c.script;
    }
}

TEST(ScriptTyping, SubstitutionIsTypedAtTheTypingSpeed) {
    TestEngine e;
    e.setNames(sjis("太郎").c_str(), sjis("花子").c_str());
    e.begin(sjis("&1です"));
    e.run(kTypingMs);
    EXPECT_EQ(e.message(), "\x02" + sjis("花"));
    e.run(kTypingMs);
    EXPECT_EQ(e.message(), "\x02" + sjis("花子"));
    e.run(kTypingMs);
    EXPECT_EQ(e.message(), "\x02" + sjis("花子で"));
}

TEST(ScriptTyping, NamesAreCutToTheSettingsFieldAtACharacterBoundary) {
    struct Case {
        std::string name;
        std::string kept;
    };
    const Case cases[] = {
        {sjis(repeat("あ", 16)), sjis(repeat("あ", 16))},  // 32 bytes: the whole field
        {sjis(repeat("あ", 20)), sjis(repeat("あ", 16))},
        {"a" + sjis(repeat("あ", 16)), "a" + sjis(repeat("あ", 15))},  // no lead byte left alone
        {"abc", "abc"},
    };
    for (const Case& c : cases) {
        TestEngine e;
        e.setNames(c.name.c_str(), c.name.c_str());
        EXPECT_EQ(std::string(e.state.substitutions[2]), c.kept) << c.name;
        EXPECT_EQ(std::string(e.state.substitutions[1]), "\x02" + c.kept + "\r") << c.name;
    }
}

TEST(ScriptTyping, SkipTypesWithoutDelayButStillOneCommandPerFrame) {
    TestEngine e;
    e.state.skip = true;
    e.begin(sjis(repeat("あ", 10) + "%r" + repeat("い", 3)));
    e.run(0.0f);
    EXPECT_EQ(e.message(), sjis(repeat("あ", 10) + "\n"));
    e.run(0.0f);
    EXPECT_EQ(e.message(), sjis(repeat("あ", 10) + "\n" + repeat("い", 3)));
}

TEST(ScriptTyping, SkippedBlocksAndComments) {
    TestEngine e;
    e.state.skip = true;
    e.begin(sjis("あ$いう%Q$え#お%Q\nか#き"));
    e.frames(3);
    EXPECT_EQ(e.message(), sjis("あえか"));
}
