// The settings dialog's logic: resolution list, current-size search, what 開始 stores.
#include "app/settings_dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/settings.h"
#include "platform/encoding.h"
#include "platform/settings_dialog_view.h"

namespace {
using Items = std::vector<std::string>;
std::string utf8(const char* cp932) {
    return cp932ToUtf8(cp932);
}
}  // namespace

TEST(SettingsDialog, ResolutionListFilter) {
    struct Case {
        const char* what;
        std::vector<DisplayMode> modes;
        Items items;
    } cases[] = {
        {"empty", {}, {}},
        {"smallest sizes and depth kept, one below each left out",
         {{320, 240, 16}, {319, 480, 32}, {640, 239, 32}, {640, 480, 15}, {640, 480, 8}},
         {"320x240"}},
        {"refresh rates and depths of one size listed once",
         {{1920, 1080, 32}, {1920, 1080, 32}, {1920, 1080, 16}, {1280, 720, 32}},
         {"1920x1080", "1280x720"}},
        {"only back-to-back repeats are suppressed",
         {{800, 600, 32}, {640, 480, 32}, {800, 600, 16}},
         {"800x600", "640x480", "800x600"}},
        {"a skipped mode does not end a run of one size",
         {{640, 480, 32}, {640, 480, 8}, {640, 480, 16}, {200, 100, 32}, {640, 480, 32}},
         {"640x480"}},
        {"the display's order is kept",
         {{1024, 768, 32}, {2560, 1440, 32}, {800, 600, 24}},
         {"1024x768", "2560x1440", "800x600"}},
    };
    for (const Case& c : cases) EXPECT_EQ(resolutionItems(c.modes), c.items) << c.what;
}

TEST(SettingsDialog, PrefixSearchStartsAfterTheStartItem) {
    const Items items = {"800x600", "1024x768", "800x600", "1280x1024", "1280x960"};
    struct Case {
        Items list;
        int start;
        const char* text;
        int found;
    } cases[] = {
        {items, 0, "800x600", 2},        // the first item is reached last
        {items, 2, "800x600", 0},        // wraps round to the top
        {items, -1, "800x600", 0},       // no start: the whole list from the top
        {items, 99, "800x600", 0},       // a start past the end, the same
        {items, 0, "1280x", 3},          // a prefix matches
        {items, 0, "1280X960", 4},       // ASCII case does not matter
        {items, 0, "1280x1024x", -1},    // text longer than every item
        {items, 0, "640x480", -1},       // absent: nothing selected
        {{"800x600"}, 0, "800x600", 0},  // the start item alone is searched last
        {{}, 0, "800x600", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(findItemWithPrefix(c.list, c.start, c.text), c.found)
            << c.text << " from " << c.start << " in " << c.list.size() << " items";
}

TEST(SettingsDialog, ChosenItemGivesTheSize) {
    int w = 1, h = 1;
    EXPECT_TRUE(parseResolutionItem("1024x768", &w, &h));
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    w = h = 7;
    EXPECT_FALSE(parseResolutionItem("1024*768", &w, &h));
    EXPECT_EQ(w, 7);
    EXPECT_EQ(h, 7);
}

TEST(SettingsDialog, OpensWithTheCurrentSettings) {
    resetSettings();
    Settings& s = mutableSettings();
    s.screenWidth = 1024;
    s.screenHeight = 768;
    s.windowed = true;
    s.voiceVolume = 10;
    s.effectsVolume = 20;
    s.musicVolume = 30;
    s.noSound = true;
    const SettingsDialogValues v =
        settingsDialogValues({{1024, 768, 32}, {800, 600, 32}, {1024, 768, 16}, {1024, 768, 32}});
    EXPECT_EQ(v.resolutions, (Items{"1024x768", "800x600", "1024x768"}));
    EXPECT_EQ(v.selected, 2);
    EXPECT_TRUE(v.windowed);
    EXPECT_EQ(v.voiceVolume, 10);
    EXPECT_EQ(v.effectsVolume, 20);
    EXPECT_EQ(v.musicVolume, 30);
    EXPECT_TRUE(v.noSound);
    EXPECT_EQ(v.playerName, "おにいちゃん");
    EXPECT_EQ(v.heroineName, "若葉");
    EXPECT_EQ(v.icon.width, 32);

    resetSettings();
    EXPECT_EQ(settingsDialogValues({{640, 480, 32}}).selected, -1);
}

TEST(SettingsDialog, StartStoresTheChoice) {
    resetSettings();
    SettingsDialogValues v = settingsDialogValues({{1280, 1024, 32}, {800, 600, 32}});
    v.selected = 0;
    v.windowed = true;
    v.voiceVolume = 0;
    v.effectsVolume = 100;
    v.musicVolume = 42;
    v.noSound = true;
    v.playerName = "Taro";
    v.heroineName = "ﾊﾅｺ";
    applySettingsDialogValues(v);
    EXPECT_EQ(screenWidth(), 1280);
    EXPECT_EQ(screenHeight(), 1024);
    EXPECT_TRUE(isWindowed());
    EXPECT_EQ(voiceVolume(), 0);
    EXPECT_EQ(effectsVolume(), 100);
    EXPECT_EQ(musicVolume(), 42);
    EXPECT_TRUE(isSoundDisabled());
    EXPECT_EQ(utf8(playerName()), "Ｔａｒｏ");
    EXPECT_EQ(utf8(heroineName()), "ハナコ");

    // No item selected: the size stays.
    resetSettings();
    v.selected = -1;
    applySettingsDialogValues(v);
    EXPECT_EQ(screenWidth(), 800);
    EXPECT_EQ(screenHeight(), 600);
}

TEST(SettingsDialog, NamesThatDoNotFit) {
    struct Case {
        const char* typed;
        const char* stored;
    } cases[] = {
        // 26 letters fit the 31 bytes typed, but only 16 full-width letters fit the field.
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰ"},
        // 16 double-byte characters are 32 bytes: the one that crosses byte 31 goes whole.
        {"あいうえおかきくけこさしすせそた", "あいうえおかきくけこさしすせそ"},
        // 1 + 15 x 2 = 31 bytes typed, 32 bytes once the letter is full width.
        {"aあいうえおかきくけこさしすせそた", "ａあいうえおかきくけこさしすせそ"},
        // A voiced half-width kana pair joins into one character.
        {"ｶﾞｷﾞ", "ガギ"},
        // Characters without a CP932 form arrive as question marks.
        {"\xF0\x9F\x98\x80!", "？！"},
        {"", ""},
    };
    for (const Case& c : cases) {
        resetSettings();
        SettingsDialogValues v = settingsDialogValues({});
        v.playerName = c.typed;
        v.heroineName = c.typed;
        applySettingsDialogValues(v);
        EXPECT_LE(std::strlen(playerName()), 32u) << c.typed;
        EXPECT_EQ(utf8(playerName()), c.stored) << c.typed;
        EXPECT_EQ(utf8(heroineName()), c.stored) << c.typed;
    }
}

TEST(SettingsDialog, WithoutADisplayTheSettingsStay) {
    // Test programs run with TR2_NO_DIALOGS: the dialog cannot be shown.
    resetSettings();
    EXPECT_EQ(showSettingsDialog(), 0);
    EXPECT_EQ(screenWidth(), 800);
    EXPECT_FALSE(isWindowed());
    EXPECT_EQ(utf8(playerName()), "おにいちゃん");
}
