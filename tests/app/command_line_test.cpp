// Command-line keywords and the names' full-width forms.
#include <gtest/gtest.h>

#include <cstring>

#include "app/command_line.h"
#include "app/settings.h"
#include "platform/encoding.h"
#include "platform/system.h"

namespace {
const Settings& parse(const std::string& line) {
    resetSettings();
    parseCommandLine(line.c_str());
    return mutableSettings();
}
std::string utf8(const char* cp932) { return cp932ToUtf8(cp932); }
}  // namespace

TEST(CommandLine, KeywordTable) {
    const DisplayMode desktop = desktopMode();
    struct Case {
        const char* line;
        int width, height;
        bool windowed;
        int music, voice, effects;
        bool noSound, given;
    } cases[] = {
        {"", 800, 600, false, 90, 95, 95, false, false},
        {"-unknown foo", 800, 600, false, 90, 95, 95, false, false},
        {"-1024x768", 1024, 768, true, 90, 95, 95, false, true},
        {"-100x100", 320, 240, true, 90, 95, 95, false, true},
        {"-se150", 800, 600, false, 90, 95, 100, false, true},
        {"-vo-5", 800, 600, false, 90, 0, 95, false, true},
        {"-bgm", 800, 600, false, 0, 95, 95, false, true},
        {"-bgm42 -nosound", 800, 600, false, 42, 95, 95, true, true},
        {"-fullscreen -window", 800, 600, true, 90, 95, 95, false, true},
        {"-window -fullscreen", 800, 600, false, 90, 95, 95, false, true},
        {"-window-nosound", 800, 600, false, 90, 95, 95, false, false},  // one token, no keyword
        {"--window", 800, 600, false, 90, 95, 95, false, false},        // token "-window" is unknown
    };
    for (const Case& c : cases) {
        const Settings& s = parse(c.line);
        int w = c.width, h = c.height;
        if (desktop.width > 0) w = std::min(w, desktop.width), h = std::min(h, desktop.height);
        EXPECT_EQ(s.screenWidth, w) << c.line;
        EXPECT_EQ(s.screenHeight, h) << c.line;
        EXPECT_EQ(s.windowed, c.windowed) << c.line;
        EXPECT_EQ(s.musicVolume, c.music) << c.line;
        EXPECT_EQ(s.voiceVolume, c.voice) << c.line;
        EXPECT_EQ(s.effectsVolume, c.effects) << c.line;
        EXPECT_EQ(s.noSound, c.noSound) << c.line;
        EXPECT_EQ(s.optionsGiven, c.given) << c.line;
    }
}

TEST(CommandLine, ResolutionIsLoweredToTheDesktop) {
    const DisplayMode desktop = desktopMode();
    ASSERT_GT(desktop.width, 0);
    const Settings& s = parse("-100000x100000");
    EXPECT_EQ(s.screenWidth, desktop.width);
    EXPECT_EQ(s.screenHeight, desktop.height);
    // Any character may stand between the numbers.
    const Settings& t = parse("-640y480x");
    EXPECT_EQ(t.screenWidth, std::min(640, desktop.width));
    EXPECT_EQ(t.screenHeight, std::min(480, desktop.height));
}

TEST(CommandLine, NamesBecomeFullWidth) {
    const Settings& s = parse("-aniTaro -imo" + utf8ToCp932("花子"));
    EXPECT_EQ(utf8(s.playerName), "Ｔａｒｏ");
    EXPECT_EQ(utf8(s.heroineName), "花子");
    // A name with an x is read as a resolution.
    const Settings& t = parse("-aniMax");
    EXPECT_EQ(utf8(t.playerName), "おにいちゃん");
    EXPECT_TRUE(t.windowed);
}

TEST(CommandLine, LongNamesAreCutAtAWholeCharacter) {
    // 17 letters become 34 bytes: only 16 full-width letters fit.
    const Settings& s = parse("-aniABCDEFGHIJKLMNOPQ");
    EXPECT_EQ(std::strlen(s.playerName), 32u);
    EXPECT_EQ(utf8(s.playerName), "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰ");
    // 20 double-byte characters: the first 32 bytes are kept before conversion.
    const Settings& t = parse("-imo" + utf8ToCp932("あいうえおかきくけこさしすせそたちつてと"));
    EXPECT_EQ(utf8(t.heroineName), "あいうえおかきくけこさしすせそた");
    // A cut inside a double-byte character drops the whole character.
    const Settings& u = parse("-imoA" + utf8ToCp932("あいうえおかきくけこさしすせそた"));
    EXPECT_EQ(utf8(u.heroineName), "Ａあいうえおかきくけこさしすせそ");
}

TEST(CommandLine, EmptyNamesGetTheDefaults) {
    Settings& s = mutableSettings();
    resetSettings();
    s.playerName[0] = 0;
    s.heroineName[0] = 0;
    fillDefaultNames();
    EXPECT_EQ(utf8(playerName()), "おにいちゃん");
    EXPECT_EQ(utf8(heroineName()), "若葉");
}

TEST(CommandLine, ArgumentsArriveAsUtf8) {
    char program[] = "tr2", a[] = "-1024x768", b[] = "-imo花子";
    char* argv[] = {program, a, b};
    EXPECT_EQ(commandLineText(3, argv), "-1024x768 -imo" + utf8ToCp932("花子"));
}
