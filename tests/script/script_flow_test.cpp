// Flow: click waits and pages, fast-forward, waits, choices, labels, calls, variables, sounds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/script/script_test_engine.h"
#include "tests/support/test_files.h"

using Strings = std::vector<std::string>;

TEST(ScriptClickWait, HoldsUntilClickedThenBreaksTheLineOrStartsAPage) {
    TestEngine e;
    e.begin(sjis("%nA;あ%kい%Kう"));
    e.run(1000.0f);
    EXPECT_EQ(e.message(), "_A\r\n");
    e.run(1000.0f);
    EXPECT_EQ(e.message(), sjis("_A\r\nあ\r"));
    EXPECT_TRUE(e.state.waitingForClick);
    EXPECT_TRUE(e.state.clickWaitArmed);
    EXPECT_EQ(*e.state.position, '%');  // the command runs again after the click
    e.frames(20, 1000.0f);
    EXPECT_EQ(e.message(), sjis("_A\r\nあ\r"));

    e.clickAdvance();
    EXPECT_EQ(e.sounds.requests, Strings{"playSystemEffect se102"});
    e.run(1000.0f);
    EXPECT_EQ(e.message(), sjis("_A\r\nあ\r\n"));
    EXPECT_FALSE(e.state.clickWaitArmed);
    EXPECT_EQ(e.state.textTimer, 0.0f);
    e.run(1000.0f);
    EXPECT_EQ(e.message(), sjis("_A\r\nあ\r\nい\r"));
    e.clickAdvance();
    e.run(1000.0f);
    EXPECT_EQ(e.message(), "_A\r\n");  // the new page starts with the name line
    e.run(1000.0f);
    EXPECT_EQ(e.message(), sjis("_A\r\nう"));
}

TEST(ScriptClickWait, SkipPassesClickWaitsWithoutAClick) {
    TestEngine e;
    e.state.skip = true;
    e.begin(sjis("あ%kい%Kう"));
    // Each click wait takes two frames: the stop and the finish.
    const std::string expected[] = {sjis("あ\r"), sjis("あ\r\n"), sjis("あ\r\nい\r"), "",
                                    sjis("う")};
    for (const std::string& text : expected) {
        e.run(0.0f);
        EXPECT_EQ(e.message(), text);
    }
    EXPECT_TRUE(e.sounds.requests.empty());
}

TEST(ScriptClickWait, ClickWhileTypingFastForwardsToTheNextClickWait) {
    TestEngine e;
    e.begin(sjis("あいうえお%kかき"));
    e.run(16.0f);
    EXPECT_EQ(e.message(), "");
    e.clickAdvance();
    EXPECT_TRUE(e.state.fastForward);
    EXPECT_TRUE(e.sounds.requests.empty());
    e.run(16.0f);
    EXPECT_EQ(e.message(), sjis("あいうえお\r"));
    e.frames(3);
    EXPECT_EQ(e.message(), sjis("あいうえお\r"));  // fast-forward does not pass a click wait
    e.clickAdvance();
    EXPECT_FALSE(e.state.fastForward);
    // Typing credit spent by the fast-forward is forgotten; the finish waits for new credit.
    e.frames(4);
    EXPECT_EQ(e.message(), sjis("あいうえお\r\n"));
    e.frames(2);
    EXPECT_EQ(e.message(), sjis("あいうえお\r\n"));  // back to the typing speed
    e.run(16.0f);
    EXPECT_EQ(e.message(), sjis("あいうえお\r\nか"));
}

TEST(ScriptPages, NewPageNewSpeakerAndLineBreak) {
    TestEngine e;
    e.state.skip = true;
    e.begin(sjis("%nあき;い%Rう%n;え%rお"));
    // "い" is typed and dropped by %R in the same frame; %n; empties the page and the name.
    const std::string expected[] = {sjis("_あき\r\n"), sjis("_あき\r\n"), "", sjis("え\n"),
                                    sjis("え\nお")};
    for (const std::string& text : expected) {
        e.run(0.0f);
        EXPECT_EQ(e.message(), text);
    }
    EXPECT_EQ(std::string(e.state.nameLine), "");
    EXPECT_EQ(e.state.column, 1);
}

TEST(ScriptWait, WaitsSixtiethsOfASecondAndAtLeastOneFrame) {
    TestEngine e;
    e.state.skip = true;
    e.begin(sjis("%w0;あ%w60;い"));
    e.run(16.0f);  // %w0
    e.run(16.0f);  // the one frame it waits
    EXPECT_EQ(e.message(), "");
    e.run(16.0f);
    EXPECT_EQ(e.message(), sjis("あ"));  // and %w60 ran in this frame
    e.frames(63);                        // 60 / 60 s at 16 ms a frame: below 0 after the 63rd
    EXPECT_EQ(e.message(), sjis("あ"));
    e.run(16.0f);
    EXPECT_EQ(e.message(), sjis("あい"));
}

TEST(ScriptChoice, OffersEntriesAndJumpsToTheChosenLabel) {
    TestEngine e;
    e.state.skip = true;
    e.state.messageWindowShown = true;
    e.begin(sjis("%iはい,Yes;%i*だめ,No;%iいいえ,No;%I:Yes;%S1,=,10;%JEnd;:No;%S1,=,20;:End;"));
    e.frames(4);
    EXPECT_EQ(e.events, Strings{"open"});
    EXPECT_TRUE(e.state.choiceMode);
    EXPECT_FALSE(e.state.skip);
    EXPECT_FALSE(e.state.messageWindowShown);
    EXPECT_EQ(e.state.choiceCount, 3);
    EXPECT_EQ(std::string(e.state.choices[1].caption), sjis("*だめ"));
    EXPECT_EQ(std::string(e.state.choices[2].label), "No");

    e.frames(10);
    EXPECT_TRUE(e.state.choiceMode);  // nothing chosen: it waits
    e.chooseEntry(7);                 // not an entry of this choice
    e.run(16.0f);
    EXPECT_TRUE(e.state.choiceMode);
    EXPECT_EQ(e.state.selectedChoice, -1);

    e.chooseEntry(2);
    EXPECT_EQ(e.sounds.requests, (Strings{"playSystemEffect se101", "playSystemEffect se101"}));
    e.frames(5);
    EXPECT_EQ(e.events, (Strings{"open", "timer", "timer", "close"}));
    EXPECT_FALSE(e.state.choiceMode);
    EXPECT_TRUE(e.state.messageWindowShown);
    EXPECT_EQ(e.state.choiceCount, 0);
    EXPECT_EQ(e.state.variables[1], 20);
}

TEST(ScriptChoice, AbortLeavesTheChoiceAndJumps) {
    TestEngine e;
    e.state.skip = true;
    e.begin(sjis("%ia,A;%I:A;%S0,=,1;:Esc;%S0,=,2;"));
    e.frames(3);
    ASSERT_TRUE(e.state.choiceMode);
    e.abortChoiceAndJump("Esc");
    EXPECT_FALSE(e.state.choiceMode);
    EXPECT_EQ(e.state.choiceCount, 0);
    EXPECT_EQ(e.events, (Strings{"open", "close"}));
    e.frames(3);
    EXPECT_EQ(e.state.variables[0], 2);
}

TEST(ScriptLabels, FirstColonInTheTextWinsEvenInAComment) {
    struct Case {
        const char* script;
        int expected;
    };
    const Case cases[] = {
        {"%JA;:A;%S0,=,1;%JZ;:A;%S0,=,2;:Z;", 1},   {"%JA;#:A;\n%S0,=,3;%JZ;:A;%S0,=,2;:Z;", 3},
        {"%JA;$:A;%S0,=,4;%JZ;$:A;%S0,=,2;:Z;", 4},  // a label inside a skipped block
        {"%JA;:A:B;%S0,=,5;%JZ;:A;%S0,=,6;:Z;", 6},  // ":A:B;" names "A:B", then "B"
        {"%JB;:A:B;%S0,=,5;%JZ;:A;%S0,=,6;:Z;", 5},
    };
    for (const Case& c : cases) {
        TestEngine e;
        e.state.skip = true;
        e.begin(sjis(c.script));
        e.frames(10);
        EXPECT_EQ(e.state.variables[0], c.expected) << c.script;
    }
}

TEST(ScriptLabels, NamesMadeBySubstitutionFollowTheCurrentNames) {
    TestEngine e;
    e.state.skip = true;
    e.setNames("A", "B");
    e.begin(sjis("%JA;:&2;%S0,+,1;%JEnd;:B;%S0,+,10;:End;"));
    e.frames(6);
    EXPECT_EQ(e.state.variables[0], 1);
    e.setNames("B", "A");  // ":&2;" now names "B" and comes first
    e.jumpTo("B");
    e.frames(6);
    EXPECT_EQ(e.state.variables[0], 2);
}

// A jump is a lookup: 50,000 labels and as many jumps run at once (a scan of the text per jump
// took minutes).
TEST(ScriptLabels, ManyLabelsAndJumps) {
    constexpr int kLabels = 50000;
    std::string script = "%JL0;";
    for (int i = 0; i < kLabels; ++i)
        script += ":L" + std::to_string(i) + ";%S0,+,1;%JL" + std::to_string(i + 1) + ";";
    script += ":L" + std::to_string(kLabels) + ";";
    TestEngine e;
    e.state.skip = true;
    e.begin(script);
    e.frames(2 * kLabels + 2);
    EXPECT_EQ(e.state.variables[0], kLabels);
    EXPECT_EQ(*e.state.position, '\0');
}

TEST(ScriptCalls, ReturnToTheByteAfterTheCall) {
    TestEngine e;
    e.state.skip = true;
    e.begin(sjis("%LSub;%S1,+,1;%JEnd;:Sub;%S2,=,5;%LSub2;%S4,=,9;%l:Sub2;%S3,=,7;%l:End;"));
    e.frames(2);
    EXPECT_EQ(e.state.callDepth, 1);
    e.frames(20);
    EXPECT_EQ(e.state.variables[1], 1);
    EXPECT_EQ(e.state.variables[2], 5);
    EXPECT_EQ(e.state.variables[3], 7);
    EXPECT_EQ(e.state.variables[4], 9);
    EXPECT_EQ(e.state.callDepth, 0);
}

TEST(ScriptCalls, SixteenLevelsFit) {
    TestEngine e;
    e.state.skip = true;
    e.begin(sjis("%LA;%JEnd;:A;%S1,+,1;%E1,>=,16,Ret;%LA;:Ret;%l:End;"));
    e.frames(200);
    EXPECT_EQ(e.state.variables[1], 16);
    EXPECT_EQ(e.state.callDepth, 0);
}

TEST(ScriptVariables, SetAddSubtractAndWrap) {
    TestEngine e;
    e.state.skip = true;
    e.begin(sjis("%S0,=,5;%S0,+,3;%S0,-,10;%S1,=,2147483647;%S1,+,1;%S2,*,3;%S255,=,-7;"));
    e.frames(10);
    EXPECT_EQ(e.state.variables[0], -2);
    EXPECT_EQ(e.state.variables[1], INT32_MIN);
    EXPECT_EQ(e.state.variables[2], 0);
    EXPECT_EQ(e.state.variables[255], -7);
}

TEST(ScriptVariables, ConditionsCompareTheVariableOnTheLeft) {
    struct Case {
        int value;
        const char* op;
        int n;
        bool jumps;
    };
    const Case cases[] = {
        {5, "=", 5, true},   {5, "=", 6, false}, {5, "!=", 6, true},  {5, "!=", 5, false},
        {6, ">", 5, true},   {5, ">", 5, false}, {5, ">=", 5, true},  {4, ">=", 5, false},
        {4, "<", 5, true},   {5, "<", 5, false}, {5, "<=", 5, false}, {4, "<=", 5, false},
        {5, "==", 5, false}, {5, "", 5, false},
    };
    for (const Case& c : cases) {
        TestEngine e;
        e.state.skip = true;
        e.state.variables[7] = c.value;
        e.begin("%E7," + std::string(c.op) + "," + std::to_string(c.n) +
                ",Hit;%S1,=,1;%JEnd;:Hit;%S1,=,2;:End;");
        e.frames(5);
        EXPECT_EQ(e.state.variables[1], c.jumps ? 2 : 1) << c.value << c.op << c.n;
    }
}

TEST(ScriptArguments, ReadersTakeTokensUpToCommaOrSemicolon) {
    TestEngine e;
    e.setNames(sjis("太郎").c_str(), sjis("花子").c_str());
    e.begin(" 12xy,-3;;2.5,&3,A&2B;x&1,z;");
    EXPECT_EQ(e.readInt(), 12);  // leading blanks and trailing junk as atoi takes them
    EXPECT_EQ(e.readInt(), -3);
    EXPECT_EQ(e.readInt(), 0);  // an empty token
    EXPECT_FLOAT_EQ(e.readFloat(), 2.5f);
    EXPECT_EQ(std::string(e.readString(".psd")), sjis("花子.psd"));
    EXPECT_EQ(std::string(e.readString()), "A" + sjis("太郎") + "B");
    EXPECT_EQ(std::string(e.readString("")), "x\x02" + sjis("花子") + "\r");
    EXPECT_EQ(std::string(e.readString(".tmb")), "z.tmb");
    EXPECT_EQ(*e.state.position, '\0');
}

TEST(ScriptArguments, AmpersandBeforeATerminatorLeavesTheTerminator) {
    TestEngine e;
    e.setNames(sjis("太郎").c_str(), sjis("花子").c_str());
    e.begin("&;a&,&9b;");
    EXPECT_EQ(std::string(e.readString(".psd")), ".psd");
    EXPECT_EQ(std::string(e.readString()), "a");
    EXPECT_EQ(std::string(e.readString()), "b");  // an unknown selector puts in nothing
    EXPECT_EQ(*e.state.position, '\0');

    e.state.skip = true;
    e.begin("%M&,0;%MSse1,0;");
    e.frames(3);
    EXPECT_EQ(e.sounds.requests, (Strings{"playMusic ", "playEffect se1"}));
}

TEST(ScriptSound, MusicLoopAndEffectCommandsRequestTheirChannels) {
    TestEngine e;
    e.state.skip = true;
    e.begin("%Mbgm01,100;%MAwind,0;%MSdoor,0;%M,0;%MA,0;");
    e.frames(8);
    EXPECT_EQ(e.sounds.requests, (Strings{"playMusic bgm01", "playLoopEffect wind",
                                          "playEffect door", "playMusic ", "playLoopEffect "}));
}

TEST(ScriptCommands, WindowFlagsAndTheGameSideHandBack) {
    TestEngine e;
    e.state.skip = true;
    e.begin("%W1;%xhello;%WG1;%W0;");
    e.frames(2);
    EXPECT_TRUE(e.state.messageWindowShown);
    EXPECT_EQ(e.events, Strings{"x:hello"});
    e.frames(3);
    EXPECT_TRUE(e.state.gaugesEnabled);
    EXPECT_FALSE(e.state.messageWindowShown);
}

TEST(ScriptReset, ClearsTheRunButKeepsVariables) {
    TestEngine e;
    e.state.skip = true;
    e.begin("%S3,=,4;%W1;%LA;:A;%ia,A;");
    e.frames(6);
    ASSERT_EQ(e.state.callDepth, 1);
    e.reset();
    EXPECT_EQ(e.state.scriptText, nullptr);
    EXPECT_EQ(e.state.callDepth, 0);
    EXPECT_EQ(e.state.choiceCount, 0);
    EXPECT_FALSE(e.state.messageWindowShown);
    EXPECT_FALSE(e.state.skip);
    EXPECT_EQ(e.state.waitTimer, 0.0f);
    EXPECT_EQ(e.state.variables[3], 4);
    e.frames(3);  // no script: nothing happens
    EXPECT_EQ(e.message(), "");
}
