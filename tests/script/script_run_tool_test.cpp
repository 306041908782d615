// tr2tool script-run on scenarios packed into add-on archives: the events it lists and its exits.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/test_files.h"
#include "tests/support/tool_run.h"
#include "tools/writers/archive_writer.h"
#include "tools/writers/tmb_writer.h"

namespace {
// Packs the (name, UTF-8 text) scripts as CP932 into add-ons/scripts.tr2 of a fresh folder,
// with an empty model "wakaba.tmb" for the scenario to load.
std::filesystem::path scenarioFolder(
    const std::vector<std::pair<std::string, std::string>>& files) {
    const auto folder = freshTestFolder();
    std::filesystem::create_directories(folder / "add-ons");
    std::vector<ArchiveMember> members;
    for (const auto& [name, text] : files) members.push_back(archiveMember(name, sjis(text)));
    const std::vector<uint8_t> model = writeTmb(TmbModel{});
    members.push_back(archiveMember(
        "wakaba.tmb", std::string_view(reinterpret_cast<const char*>(model.data()), model.size())));
    std::string error;
    EXPECT_TRUE(writeArchiveFile(folder / "add-ons" / "scripts.tr2", fileListDescription(members),
                                 members, &error))
        << error;
    return folder;
}

ToolRun scriptRun(const std::filesystem::path& folder, const std::string& args) {
    return runTool(folder, "script-run " + args);
}

const char* kScenario =
    "%Mbgm01,100;\r\n"
    "%n&3;こんにちは、&2。%kよろしくね。%K\r\n"
    "%iはい,Yes;%i*だめ,No;%iいいえ,No;%I\r\n"
    ":No;%JEnd;\r\n"
    ":Yes;%ml0,wakaba;%f1,255,30;%la2,0.5,1,1;%ovoice01;%oR1,10,20,5,15;%c,0;%mr%X\r\n"
    ":End;";

const char* kPages =
    "PAGE: _若葉\\r\\nこんにちは、おにいちゃん。\\r\n"
    "SOUND: playSystemEffect se102\n"
    "PAGE: _若葉\\r\\nこんにちは、おにいちゃん。\\r\\nよろしくね。\\r\n"
    "SOUND: playSystemEffect se102\n"
    "CHOICE: はい | *だめ | いいえ\n";
}  // namespace

TEST(ScriptRunTool, ListsPagesChoicesSoundsAndGameCommands) {
    const auto folder = scenarioFolder({{"script.txt", kScenario}});
    const ToolRun first = scriptRun(folder, "");
    EXPECT_EQ(first.code, 0);
    EXPECT_EQ(first.out, std::string("SOUND: playMusic bgm01\n") + kPages +
                             "CHOSE: 0\n"
                             "SOUND: playSystemEffect se101\n"
                             "COMMAND: %ml 0,wakaba.tmb\n"
                             "COMMAND: %f 1,255,30\n"
                             "COMMAND: %la 2,0.5,1,1\n"
                             "COMMAND: %o voice01\n"
                             "SOUND: playVoice voice01\n"
                             "COMMAND: %oR 1,10,20,5,15\n"
                             "SOUND: scheduleVoices 1,10,20,5,15\n"
                             "COMMAND: %c .tcm,0\n"
                             "COMMAND: %mr\n"
                             "COMMAND: %X\n"
                             "END\n");

    const ToolRun chosen = scriptRun(folder, "--choose 2 script.txt");
    EXPECT_EQ(chosen.code, 0);
    EXPECT_EQ(chosen.out, std::string("SOUND: playMusic bgm01\n") + kPages +
                              "CHOSE: 2\nSOUND: playSystemEffect se101\nEND\n");

    EXPECT_EQ(scriptRun(folder, "--choose 1").code, 1);  // a dimmed entry cannot be chosen
    EXPECT_EQ(scriptRun(folder, "--choose 3").code, 1);
}

TEST(ScriptRunTool, FollowsOtherFilesRestartsAndQuits) {
    const auto folder = scenarioFolder({
        {"script.txt",
         "%E0,=,1,Again;%S0,=,1;%LSub;%Gsecond;:Sub;%JSystemExit;"
         ":Again;&1です。%k%l"},
        {"second.txt", "二番目%k%E0,=,1,Quit;:Quit;%Q"},
    });
    // The restart keeps variable 0 and the call, and returns into the first copy of the script.
    const ToolRun run = scriptRun(folder, "--names 太郎,花子");
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out,
              "PAGE: \\x02花子です。\\r\n"
              "SOUND: playSystemEffect se102\n"
              "PAGE: 二番目\\r\n"
              "SOUND: playSystemEffect se102\n"
              "QUIT\n");
}

TEST(ScriptRunTool, ANameOfSixteenFullWidthCharactersIsTypedWhole) {
    const auto folder = scenarioFolder({{"script.txt", "&2%k"}});
    const ToolRun run = scriptRun(folder, "--names あいうえおかきくけこさしすせそた,若葉");
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "PAGE: あいうえおかきくけこさしすせそた\\r");
}

TEST(ScriptRunTool, ScriptErrorsAndEndlessLoops) {
    const auto folder = scenarioFolder({
        {"script.txt", "あ%z"},
        {"missing.txt", "%Gnowhere;"},
        {"return.txt", "%l"},
        {"loop.txt", ":L;%w1;%JL;"},
    });
    struct Case {
        const char* args;
        int exitCode;
        std::string out;
    };
    const Case cases[] = {
        {"", 255, "FATAL: [TR2 System] 未知のコマンド %z を見つけました。\n"},
        {"missing.txt", 255, "FATAL: [TR2 System] ファイル nowhere.txt が見つかりません。\n"},
        {"return.txt", 255, "FATAL: [script runtime error] スタックが異常です。\n"},
        {"loop.txt", 1, "STOPPED: no end after 100000 frames\n"},
        {"absent.txt", 1, ""},
        {"--choose", 2, ""},
        {"--choose 1,x", 2, ""},
        {"--names onlyone", 2, ""},
        {"a.txt b.txt", 2, ""},
    };
    for (const Case& c : cases) {
        const ToolRun run = scriptRun(folder, c.args);
        EXPECT_EQ(run.code, c.exitCode) << c.args;
        EXPECT_EQ(run.out, c.out) << c.args;
    }
}

TEST(ScriptRunTool, LintNamesMissingFilesUndefinedLabelsAndHalfWidthText) {
    const auto folder = scenarioFolder({
        {"script.txt",
         "%ml0,wakaba;%ma0,5,NIL;%mm0,idle;%Mbgm09,0;\r\n"
         "%n;abcあ%k%JNowhere;%JSystemExit;%Gsecond;\r\n"
         ":Here;%iはい,Here;%iいいえ,Gone;%I"},
        {"second.txt", "#comment abc\r\n$skipped xyz$%gpicture;%JThere;:There;"},
    });
    const ToolRun run = scriptRun(folder, "--lint");
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out,
              "WARNING: script.txt:1: no add-on provides \"idle.tsb\"\n"
              "WARNING: script.txt:1: no add-on provides \"bgm09.ogg\"\n"
              "WARNING: script.txt:2: half-width text \"abc\" is not shown (use full width)\n"
              "WARNING: script.txt:3: label \"Gone\" is never defined\n"
              "WARNING: script.txt:2: label \"Nowhere\" is never defined\n"
              "WARNING: second.txt:2: no add-on provides \"picture.psd\"\n");
    EXPECT_EQ(scriptRun(folder, "--lint --strict").code, 1);
    EXPECT_EQ(scriptRun(folder, "--lint --strict second.txt").code, 1);

    const auto clean = scenarioFolder({{"script.txt", "%ml0,wakaba;%n;あ%k:A;%JA;"}});
    const ToolRun quiet = scriptRun(clean, "--lint --strict");
    EXPECT_EQ(quiet.code, 0);
    EXPECT_EQ(quiet.out, "");
}
