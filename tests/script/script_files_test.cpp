// Scripts loaded by name from the archives: %G and the "SystemExit" restart.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "archive/catalogue.h"
#include "tests/script/script_test_engine.h"
#include "tests/support/test_files.h"
#include "tools/writers/archive_writer.h"

using Strings = std::vector<std::string>;

namespace {
// A fresh current folder whose add-ons/ holds the given (name, UTF-8 text) scripts as CP932.
class ScriptFiles : public ::testing::Test {
protected:
    void pack(const std::vector<std::pair<std::string, std::string>>& files) {
        const auto folder = freshTestFolder();
        std::filesystem::create_directories(folder / "add-ons");
        std::vector<ArchiveMember> members;
        for (const auto& [name, text] : files) members.push_back(archiveMember(name, sjis(text)));
        std::string error;
        ASSERT_TRUE(writeArchiveFile(folder / "add-ons" / "scripts.tr2",
                                     fileListDescription(members), members, &error))
            << error;
        cwd_ = std::make_unique<ScopedCurrentPath>(folder);
        buildCatalogue();
    }

    void TearDown() override {
        cwd_.reset();
        buildCatalogue();
    }

private:
    std::unique_ptr<ScopedCurrentPath> cwd_;
};
}  // namespace

TEST_F(ScriptFiles, GoStartsAnotherFileKeepingVariablesAndCalls) {
    pack({{"script.txt", "%S1,=,1;%LSub;%S3,=,3;%JEnd;:Sub;あ%Gnext;:End;"},
          {"next.txt", "%S2,=,2;%l"}});
    TestEngine e;
    e.state.skip = true;
    e.startFile("script.txt");
    EXPECT_EQ(e.events, Strings{"timer"});
    e.frames(4);                 // the start-up wait, %S, %L and "あ" with %G
    EXPECT_EQ(e.message(), "");  // a new script starts on an empty page
    EXPECT_EQ(e.events, (Strings{"timer", "timer"}));
    EXPECT_EQ(e.state.callDepth, 1);
    e.frames(10);
    EXPECT_EQ(e.state.variables[1], 1);
    EXPECT_EQ(e.state.variables[2], 2);
    EXPECT_EQ(e.state.variables[3], 3);  // the return went back into script.txt
    EXPECT_EQ(e.state.callDepth, 0);
    EXPECT_EQ(*e.state.position, '\0');
}

TEST_F(ScriptFiles, SystemExitWithoutLabelRestartsKeepingVariablesAndCalls) {
    pack({{"script.txt",
           "%S5,+,1;%E0,=,1,Again;%S0,=,1;%LSub;%S7,=,3;%JEnd;"
           ":Sub;%JSystemExit;:Again;%l:End;"}});
    TestEngine e;
    e.state.skip = true;
    e.startFile("script.txt");
    const char* firstCopy = e.state.scriptStart;
    e.frames(6);  // the start-up wait, %S, %E, %S, %L, %J: the restart
    EXPECT_NE(e.state.scriptStart, firstCopy);
    EXPECT_EQ(e.state.callDepth, 1);
    e.frames(10);
    EXPECT_EQ(e.state.variables[5], 2);  // the top ran twice
    EXPECT_EQ(e.state.variables[7], 3);  // and the old call returned where it was made
    EXPECT_EQ(e.state.callDepth, 0);
}

TEST_F(ScriptFiles, SystemExitLabelInTheScriptIsAnOrdinaryJump) {
    pack({{"script.txt", "%S0,+,1;%JSystemExit;%S1,=,9;:SystemExit;%S2,=,1;"}});
    TestEngine e;
    e.state.skip = true;
    e.startFile("script.txt");
    e.frames(10);
    EXPECT_EQ(e.state.variables[0], 1);
    EXPECT_EQ(e.state.variables[1], 0);
    EXPECT_EQ(e.state.variables[2], 1);
}

TEST_F(ScriptFiles, EscapeDuringAChoiceRestartsTheScenario) {
    pack({{"script.txt", "%S0,+,1;%ia,A;%I:A;"}});
    TestEngine e;
    e.state.skip = true;
    e.startFile("script.txt");
    e.frames(4);
    ASSERT_TRUE(e.state.choiceMode);
    e.abortChoiceAndJump("SystemExit");
    EXPECT_FALSE(e.state.choiceMode);
    EXPECT_EQ(e.state.choiceCount, 0);
    e.state.skip = true;
    e.frames(2);
    EXPECT_EQ(e.state.variables[0], 2);
}

TEST_F(ScriptFiles, MissingFileEndsTheProgram) {
    pack({{"script.txt", "%Gnowhere;"}});
    EXPECT_EXIT(
        {
            TestEngine e;
            e.state.skip = true;
            e.startFile("script.txt");
            e.frames(3);
        },
        ::testing::ExitedWithCode(255),
        ::testing::HasSubstr("[TR2 System] ファイル nowhere.txt が見つかりません。"));
}
