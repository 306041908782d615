// Outfit files: their exact text, save and load, slots never saved, damaged files, models that no
// add-on provides any more, and when a ready-made coordinate is choosable.
#include "character/coordinates.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "app/frame_timer.h"
#include "archive/catalogue.h"
#include "character/scrambled_file.h"
#include "tests/character/wardrobe.h"

namespace {
const std::vector<std::string> kModels = {"body.tmb", "body2.tmb", "hair01.tmb", "hair02.tmb",
                                          "eye.tmb",  "top.tmb",   "skirt.tmb",  "tail.tmb"};

class Coordinates : public WardrobeTest {
protected:
    Coordinates() {
        installWardrobe({{"models", "", kModels}});
        setPart(&figure, 0, "body.tmb");
        setPart(&figure, 12, "hair01.tmb");
    }
    std::vector<std::string> expectedParts(const std::vector<std::pair<int, std::string>>& parts) {
        std::vector<std::string> names(kCharacterParts, "");
        for (const auto& [part, name] : parts) names[part] = name;
        return names;
    }
    // Writes `text` as an outfit file for `slot`, scrambled as the game writes it.
    void writeOutfit(int slot, const std::string& text) {
        ASSERT_TRUE(writeScrambledFile(coordinateFileName(slot).c_str(),
                                       reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    }
    CharacterInstance figure;
    SeenModels seen;
    int32_t variables[256] = {};
    InfoPanelText panel;
};
}  // namespace

TEST_F(Coordinates, TheFileOfBodyAndHairByteForByte) {
    ASSERT_TRUE(saveCoordinate(&figure, 1, &panel));
    EXPECT_EQ(panel.title, sjis("妹セーブ"));
    EXPECT_EQ(panel.text, sjis("セーブ完了しました。"));
    EXPECT_EQ(readBytes("coordinate01.dat").size(), 2048u);

    std::vector<uint8_t> bytes;
    ASSERT_TRUE(readScrambledFile("coordinate01.dat", &bytes));
    const std::string text =
        "body.tmb\n" + std::string(11, '\n') + "hair01.tmb\n" + std::string(19, '\n');
    std::vector<uint8_t> expected(text.begin(), text.end());
    expected.resize(2048, 0);  // the 0 byte, then zeros
    EXPECT_EQ(bytes, expected);
    EXPECT_FALSE(std::filesystem::exists("coordinate00.dat"));
}

TEST_F(Coordinates, SaveThenLoadRestoresTheOutfitAndMarksItSeen) {
    setPart(&figure, 5, "top.tmb");
    setPart(&figure, 31, "tail.tmb");
    ASSERT_TRUE(saveCoordinate(&figure, 7, &panel));
    EXPECT_TRUE(isCoordinateAvailable(7));
    EXPECT_FALSE(isCoordinateAvailable(6));

    // Change everything: another body, a skirt, no top, other hair.
    setPart(&figure, 0, "body2.tmb");
    setPart(&figure, 5, "nil.");
    setPart(&figure, 6, "skirt.tmb");
    setPart(&figure, 12, "hair02.tmb");
    frameTimer().lastDuration = 5.0f;
    ASSERT_TRUE(loadCoordinate(&figure, 7, seen, variables, &panel));
    EXPECT_EQ(frameTimer().lastDuration, 0.0f);  // the loading is not game time
    EXPECT_EQ(
        partNames(figure),
        expectedParts({{0, "body.tmb"}, {5, "top.tmb"}, {12, "hair01.tmb"}, {31, "tail.tmb"}}));
    EXPECT_EQ(panel.title, sjis("妹ロード"));
    EXPECT_EQ(panel.text, sjis("ロード完了しました。"));
    EXPECT_EQ(seen.names, (std::vector<std::string>{"body", "top", "hair01", "tail"}));

    // Loading again adds no name twice; a loaded outfit without a top takes the top off.
    setPart(&figure, 5, "nil.");
    ASSERT_TRUE(saveCoordinate(&figure, 0, &panel));
    setPart(&figure, 5, "top.tmb");
    ASSERT_TRUE(loadCoordinate(&figure, 0, seen, variables, &panel));
    EXPECT_EQ(partNames(figure)[5], "");
    EXPECT_EQ(seen.names.size(), 4u);
}

TEST_F(Coordinates, SlotsNeverSavedOrOutOfRangeChangeNothing) {
    const std::vector<std::string> before = partNames(figure);
    for (int slot : {3, -1, 8}) {
        panel = {};
        EXPECT_FALSE(loadCoordinate(&figure, slot, seen, variables, &panel)) << slot;
        EXPECT_EQ(panel.title, sjis("妹ロード"));
        EXPECT_EQ(panel.text, sjis("この番号にはセーブされていません。"));
        EXPECT_EQ(partNames(figure), before);
        EXPECT_FALSE(isCoordinateAvailable(slot));
    }
    EXPECT_TRUE(seen.names.empty());
    EXPECT_FALSE(saveCoordinate(&figure, 8, &panel));
    EXPECT_EQ(panel.text, sjis("セーブに失敗しました。"));

    // No heroine: nothing fails, nothing is written or changed.
    EXPECT_FALSE(saveCoordinate(nullptr, 2, &panel));
    EXPECT_FALSE(std::filesystem::exists("coordinate02.dat"));
    writeOutfit(2, "body2.tmb\n");
    EXPECT_FALSE(loadCoordinate(nullptr, 2, seen, variables, &panel));
    EXPECT_TRUE(seen.names.empty());
}

TEST_F(Coordinates, SavesThatCannotBeWrittenReportFailure) {
    // A folder in the file's place: nothing to save into, nothing to load from.
    std::filesystem::create_directories("coordinate03.dat/inside");
    EXPECT_FALSE(saveCoordinate(&figure, 3, &panel));
    EXPECT_EQ(panel.title, sjis("妹セーブ"));
    EXPECT_EQ(panel.text, sjis("セーブに失敗しました。"));
    EXPECT_FALSE(isCoordinateAvailable(3));
    EXPECT_FALSE(loadCoordinate(&figure, 3, seen, variables, &panel));
    EXPECT_EQ(panel.text, sjis("この番号にはセーブされていません。"));

    // A folder that cannot be written keeps the old outfit file whole.
    ASSERT_TRUE(saveCoordinate(&figure, 4, &panel));
    const std::vector<uint8_t> old = readBytes("coordinate04.dat");
    std::filesystem::permissions(
        ".", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    setPart(&figure, 5, "top.tmb");
    const bool saved = saveCoordinate(&figure, 4, &panel);
    std::filesystem::permissions(".", std::filesystem::perms::owner_all);
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    EXPECT_FALSE(saved);
    EXPECT_EQ(panel.text, sjis("セーブに失敗しました。"));
    EXPECT_EQ(readBytes("coordinate04.dat"), old);
}

TEST_F(Coordinates, DamagedFilesLoadWhatIsReadable) {
    const std::string longLine(56, 'x');
    const struct {
        std::string text;
        std::vector<std::pair<int, std::string>> parts;
    } cases[] = {
        // Short, with fewer than 32 line ends and no final 0 byte.
        {"body2.tmb\n\ntop.tmb", {{0, "body2.tmb"}, {2, "top.tmb"}}},
        // An empty file: every part comes off, the body stays.
        {"", {{0, "body.tmb"}}},
        // A line longer than the line buffer is skipped; the lines after it still count.
        {longLine + "\n" + longLine + ".tmb\neye.tmb\n", {{0, "body.tmb"}, {2, "eye.tmb"}}},
        // The text ends at its 0 byte; what follows is not read.
        {"\n\ntop.tmb\n" + std::string(1, '\0') + "eye.tmb\n", {{0, "body.tmb"}, {2, "top.tmb"}}},
        // No 0 byte and no line end in 2048 bytes; and bytes past 2048 are not outfit.
        {std::string(3000, 'a'), {{0, "body.tmb"}}},
        {std::string(2047, '\n') + "eye.tmb\n", {{0, "body.tmb"}}},
        // More than 32 lines: the rest is ignored.
        {std::string(32, '\n') + "eye.tmb\n", {{0, "body.tmb"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        setPart(&figure, 0, "body.tmb");
        setPart(&figure, 12, "hair01.tmb");
        writeOutfit(5, c.text);
        EXPECT_TRUE(loadCoordinate(&figure, 5, seen, variables, &panel));
        EXPECT_EQ(partNames(figure), expectedParts(c.parts));
    }
}

TEST_F(Coordinates, ModelsNoAddOnProvidesAreSkippedAndNamed) {
    writeOutfit(6, "gone.tmb\n\n\n\n\ntop.tmb\n\n\n\n\n\n\nlost.tmb\n");
    setPart(&figure, 6, "skirt.tmb");
    ASSERT_TRUE(loadCoordinate(&figure, 6, seen, variables, &panel));
    EXPECT_EQ(partNames(figure), expectedParts({{0, "body.tmb"}, {5, "top.tmb"}}));
    EXPECT_EQ(panel.text, sjis("ロード完了しました。ファイル ｇｏｎｅ．ｔｍｂ、ｌｏｓｔ．ｔｍｂ が"
                               "見つかりません。"));
    EXPECT_EQ(seen.names, std::vector<std::string>{"top"});  // only what was put on
}

TEST_F(Coordinates, ReadyMadeOutfitsAreChoosableWhenEveryModelWasSeen) {
    const KEYVALUE outfit = record(
        "TYPE=COORDINATE\nCOORD_00=no_change\nCOORD_05=top\nCOORD_12=hair01\nCOORD_13=no_change\n");
    EXPECT_FALSE(isCoordinateAvailable(&outfit, seen, variables));
    registerModel(seen, variables, "hair01.tmb");
    EXPECT_FALSE(isCoordinateAvailable(&outfit, seen, variables));

    // Loading an outfit that wears the top makes it choosable.
    setPart(&figure, 5, "top.tmb");
    ASSERT_TRUE(saveCoordinate(&figure, 0, &panel));
    ASSERT_TRUE(loadCoordinate(&figure, 0, seen, variables, &panel));
    EXPECT_TRUE(isCoordinateAvailable(&outfit, seen, variables));

    // Without COORD keys, or while unlocked, every outfit is choosable; a null record is not.
    const KEYVALUE empty = record("TYPE=COORDINATE\n");
    const KEYVALUE unseen = record("COORD_01=eyes99\n");
    SeenModels none;
    EXPECT_TRUE(isCoordinateAvailable(&empty, none, variables));
    EXPECT_FALSE(isCoordinateAvailable(&unseen, none, variables));
    variables[kUnlockVariable] = kUnlockValue;
    EXPECT_TRUE(isCoordinateAvailable(&unseen, none, variables));
    EXPECT_FALSE(isCoordinateAvailable(nullptr, none, variables));
}
