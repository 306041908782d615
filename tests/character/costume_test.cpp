// Putting items on: the category table, remove cells, captions, ready-made coordinates, models
// that no add-on provides any more, underwear variant names and half wear.
#include "character/costume.h"

#include <gtest/gtest.h>

#include <utility>

#include "app/frame_timer.h"
#include "archive/catalogue.h"
#include "character/coordinates.h"
#include "game/sound_requests_interface.h"
#include "media/motion.h"
#include "tests/character/wardrobe.h"
#include "tests/media/media_fixtures.h"

namespace {
struct EffectRecorder : SoundRequests {
    std::vector<std::string> effects;
    void playMusic(const char*) override {}
    void playLoopEffect(const char*) override {}
    void playVoice(const char*) override {}
    void playEffect(const char*) override {}
    void playSystemEffect(const char* name) override { effects.push_back(name); }
    void scheduleVoices(int, int, int, float, float) override {}
    void stopVoiceSchedules() override {}
    void soundTick(float, bool) override {}
};

const std::vector<std::string> kModels = {
    "body.tmb",        "body2.tmb",    "old.tmb",        "hair.tmb",       "eye.tmb",
    "bra.tmb",         "pan.tmb",      "suit.tmb",       "top.tmb",        "skirt.tmb",
    "cap.tmb",         "glasses.tmb",  "ring.tmb",       "watch.tmb",      "socks.tmb",
    "shoes.tmb",       "tail.tmb",     "under01Aup.tmb", "under01Alo.tmb", "under01HAup.tmb",
    "under01HAlo.tmb", "suit02A.tmb",  "suit02HA.tmb",   "suit02HB.tmb",   "suit02HC.tmb",
    "suit03A.tmb",     "plain05A.tmb", "plain05Alo.tmb"};

class Costume : public WardrobeTest {
protected:
    Costume() {
        installWardrobe({{"models", "", kModels}});
        setPart(&figure, 0, "body.tmb");
        for (int part = 1; part <= kPartHair; ++part) setPart(&figure, part, "old.tmb");
    }
    // The figure's parts 0..12 with those of `changes` replaced.
    std::vector<std::string> dressedWith(const std::vector<std::pair<int, std::string>>& changes) {
        std::vector<std::string> names(kCharacterParts, "");
        names[0] = "body.tmb";
        for (int part = 1; part <= kPartHair; ++part) names[part] = "old.tmb";
        for (const auto& [part, name] : changes) names[part] = name;
        return names;
    }
    CharacterInstance figure;
    EffectRecorder sound;
    InfoPanelText panel{"stale", "stale"};
};

const char kCostume[] = "TYPE=COSTUME\nNAME=top\nFILE_0=top.tmb\nFILE_1=skirt.tmb\n";
}  // namespace

TEST_F(Costume, CategoryTablePutsFilesIntoTheirParts) {
    struct Case {
        int window;
        const char* item;  // null: the remove cell
        std::vector<std::pair<int, std::string>> changes;
    };
    const Case cases[] = {
        {1, "FILE_0=hair.tmb", {{12, "hair.tmb"}}},
        {2, "FILE_0=eye.tmb", {{1, "eye.tmb"}}},
        {3, "FILE_0=body2.tmb", {{0, "body2.tmb"}}},
        {4, "FILE_0=bra.tmb\nFILE_1=pan.tmb", {{2, "bra.tmb"}, {3, "pan.tmb"}}},
        {4, "UPPERONLY=\nFILE_0=suit.tmb\nFILE_1=pan.tmb", {{2, "suit.tmb"}, {3, ""}}},
        {5, kCostume, {{5, "top.tmb"}}},
        {6, kCostume, {{6, "skirt.tmb"}}},  // the lower file, not FILE_0
        {7, "FILE_0=cap.tmb", {{7, "cap.tmb"}}},
        {8, "FILE_0=glasses.tmb", {{8, "glasses.tmb"}}},
        {9, "FILE_0=ring.tmb", {{9, "ring.tmb"}}},
        {10, "FILE_0=watch.tmb", {{10, "watch.tmb"}}},
        {11, "FILE_0=socks.tmb", {{4, "socks.tmb"}}},
        {12, "FILE_0=shoes.tmb", {{11, "shoes.tmb"}}},
        // Remove cells of windows 5..12.
        {5, nullptr, {{5, ""}}},
        {6, nullptr, {{6, ""}}},
        {7, nullptr, {{7, ""}}},
        {8, nullptr, {{8, ""}}},
        {9, nullptr, {{9, ""}}},
        {10, nullptr, {{10, ""}}},
        {11, nullptr, {{4, ""}}},
        {12, nullptr, {{11, ""}}},
        // No record where the window has no remove cell: the body stays, underwear comes off.
        {3, nullptr, {}},
        {4, nullptr, {{2, ""}, {3, ""}}},
        {13, nullptr, {}},
        // Records without the keys a window reads never fail.
        {1, "NAME=x", {{12, ""}}},
        {3, "NAME=x", {}},
        {4, "NAME=x", {{2, ""}, {3, ""}}},
        {6, "FILE_0=top.tmb", {{6, ""}}},
        {13, "NAME=x", {}},
        // Window numbers outside the table change nothing.
        {0, "FILE_0=hair.tmb", {}},
        {14, "FILE_0=hair.tmb", {}},
        {-1, "FILE_0=hair.tmb", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "window " << c.window << " item " << (c.item ? c.item : "(remove)"));
        for (int part = 1; part <= kPartHair; ++part) setPart(&figure, part, "old.tmb");
        setPart(&figure, 0, "body.tmb");
        const KEYVALUE item = record(c.item ? c.item : "");
        EXPECT_TRUE(putOnItem(&figure, c.window, c.item ? &item : nullptr, sound, &panel));
        EXPECT_EQ(partNames(figure), dressedWith(c.changes));
    }
    EXPECT_EQ(sound.effects, std::vector<std::string>(std::size(cases), "se101"));
}

TEST_F(Costume, InfoPanelShowsTheCaptionsAndNothingForTheRemoveCell) {
    const KEYVALUE costume = record(std::string(kCostume) +
                                    "CAPTION_0=Top\nCAPTION_1=Atop.\nCAPTION_3=Skirt\n"
                                    "CAPTION_4=Askirt.\n");
    frameTimer().lastDuration = 5.0f;
    putOnItem(&figure, 5, &costume, sound, &panel);
    EXPECT_EQ(frameTimer().lastDuration, 0.0f);  // the loading is not game time
    EXPECT_EQ(panel.title, "Top");
    EXPECT_EQ(panel.text, "Atop.");
    putOnItem(&figure, 6, &costume, sound, &panel);
    EXPECT_EQ(panel.title, "Skirt");
    EXPECT_EQ(panel.text, "Askirt.");

    // Without lower captions, window 6 keeps the upper ones; without any, the lines are empty.
    const KEYVALUE upperCaptions = record("FILE_1=skirt.tmb\nCAPTION_0=T\nCAPTION_1=D\n");
    putOnItem(&figure, 6, &upperCaptions, sound, &panel);
    EXPECT_EQ(panel.title, "T");
    EXPECT_EQ(panel.text, "D");
    const KEYVALUE bare = record("FILE_0=socks.tmb");
    putOnItem(&figure, 11, &bare, sound, &panel);
    EXPECT_EQ(panel.title, "");
    EXPECT_EQ(panel.text, "");

    panel = {"stale", "stale"};
    putOnItem(&figure, 11, nullptr, sound, &panel);
    EXPECT_EQ(panel.title, "");
    EXPECT_EQ(panel.text, "");
    EXPECT_EQ(partNames(figure)[kPartSocks], "");

    // No heroine: nothing at all, not even the sound.
    sound.effects.clear();
    panel = {"stale", "stale"};
    frameTimer().lastDuration = 5.0f;
    EXPECT_FALSE(putOnItem(nullptr, 5, &costume, sound, &panel));
    EXPECT_TRUE(sound.effects.empty());
    EXPECT_EQ(frameTimer().lastDuration, 5.0f);
    EXPECT_EQ(panel.title, "stale");
    EXPECT_TRUE(putOnItem(&figure, 5, &costume, sound, nullptr));  // no panel to fill
}

TEST_F(Costume, CoordinateItemsChangeOnlyTheNamedParts) {
    MotionData stand;
    stand.boneCount = 1;
    stand.frameCount = 90;
    stand.matrices.assign(90, identity16());
    std::vector<ArchiveMember> motions = {member("stand.tsb", writeTsb(stand))};
    ASSERT_TRUE(writeArchiveFile("add-ons/motions.tr2", fileListDescription(motions), motions));
    buildCatalogue();
    setMotion(&figure, "stand.tsb");
    Motion* motion = figure.body->motion;
    ASSERT_NE(motion, nullptr);
    figure.time = 1.5f;

    const KEYVALUE outfit = record(
        "TYPE=COORDINATE\nCOORD_00=body2\nCOORD_05=nil\nCOORD_06=no_change\nCOORD_12=hair\n"
        "COORD_20=tail\nCOORD_31=NIL\n");
    putOnItem(&figure, 13, &outfit, sound, &panel);
    std::vector<std::string> expected =
        dressedWith({{0, "body2.tmb"}, {5, ""}, {12, "hair.tmb"}, {20, "tail.tmb"}});
    EXPECT_EQ(partNames(figure), expected);
    // The new body goes on with the running motion.
    EXPECT_EQ(figure.body->motion, motion);
    EXPECT_EQ(figure.time, 1.5f);
    EXPECT_EQ(figure.parts[12]->motionSource, figure.body);

    // "nil" never removes the body; "no_change" is compared as the whole word.
    const KEYVALUE nilBody = record("COORD_00=nil\nCOORD_06=no_changes\nCOORD_07=no_change\n");
    putOnItem(&figure, 13, &nilBody, sound, &panel);
    expected[6] = "old.tmb";  // no_changes.tmb is no model: skipped and reported
    EXPECT_EQ(partNames(figure), expected);
    EXPECT_EQ(panel.text, sjis("ファイル ｎｏ＿ｃｈａｎｇｅｓ．ｔｍｂ が見つかりません。"));
}

TEST_F(Costume, ModelsNoAddOnProvidesAreSkippedAndNamed) {
    const KEYVALUE hair = record("TYPE=HAIR\nFILE_0=gone.tmb\nCAPTION_0=H\nCAPTION_1=D\n");
    EXPECT_TRUE(putOnItem(&figure, 1, &hair, sound, &panel));
    EXPECT_EQ(partNames(figure), dressedWith({}));
    EXPECT_EQ(panel.title, "H");
    EXPECT_EQ(panel.text, sjis("ファイル ｇｏｎｅ．ｔｍｂ が見つかりません。"));

    // A coordinate loads every part that is still there.
    const KEYVALUE outfit = record("COORD_00=nobody\nCOORD_05=top\nCOORD_07=lost\nCOORD_12=hair\n");
    putOnItem(&figure, 13, &outfit, sound, &panel);
    EXPECT_EQ(partNames(figure), dressedWith({{5, "top.tmb"}, {12, "hair.tmb"}}));
    EXPECT_EQ(panel.text,
              sjis("ファイル ｎｏｂｏｄｙ．ｔｍｂ、ｌｏｓｔ．ｔｍｂ が見つかりません。"));

    // Underwear: both old pieces come off, the piece that is there goes on.
    const KEYVALUE under = record("TYPE=UNDER\nFILE_0=bra.tmb\nFILE_1=gone.tmb\n");
    putOnItem(&figure, 4, &under, sound, &panel);
    EXPECT_EQ(partNames(figure)[2], "bra.tmb");
    EXPECT_EQ(partNames(figure)[3], "");
}

TEST(VariantCode, ReadsTheLettersAfterTheLastDigit) {
    const struct {
        const char* name;
        int code;
        const char* base;
    } cases[] = {
        {"under01A.tmb", 0, "under01"},      {"under01HA.tmb", 1, "under01"},
        {"under01HB.tmb", 2, "under01"},     {"under01HC.tmb", 3, "under01"},
        {"under10B.tmb", 0, "under10"},      {"under01HD.tmb", 0, "under01"},
        {"under01H", 0, "under01"},          {"suit2x3HB.tmb", 2, "suit2x3"},
        {"nodigits.tmb", 0, "nodigits.tmb"}, {"7", 0, "7"},
    };
    for (const auto& c : cases) {
        std::string base = "stale";
        EXPECT_EQ(variantCode(c.name, &base), c.code) << c.name;
        EXPECT_EQ(base, c.base) << c.name;
    }
    EXPECT_EQ(variantCode(nullptr, nullptr), -1);
    EXPECT_EQ(variantCode("", nullptr), -1);
}

namespace {
const WardrobeAddOn kTwoPiece = {"under01",
                                 "TYPE=UNDER\nNAME=under01\nHALFWEAR=\nFILE_0=under01Aup.tmb\n"
                                 "FILE_1=under01Alo.tmb\nFILE_2=under01HAup.tmb\n"
                                 "FILE_3=under01HAlo.tmb\n",
                                 {}};
const WardrobeAddOn kOnePiece = {"suit02",
                                 "TYPE=UNDER\nNAME=suit02\nUPPERONLY=\nHALFWEAR=\n"
                                 "FILE_0=suit02A.tmb\nFILE_1=suit02HA.tmb\nFILE_2=suit02HB.tmb\n"
                                 "FILE_3=suit02HC.tmb\n",
                                 {}};
// Without half-worn files, with a "nil" variant and one that no add-on provides.
const WardrobeAddOn kPlain = {"plain05",
                              "TYPE=UNDER\nNAME=plain05\nFILE_0=plain05A.tmb\n"
                              "FILE_1=plain05Alo.tmb\n",
                              {}};
const WardrobeAddOn kGaps = {"suit03",
                             "TYPE=UNDER\nNAME=suit03\nUPPERONLY=\nHALFWEAR=\n"
                             "FILE_0=suit03A.tmb\nFILE_1=nil\nFILE_2=suit03HB.tmb\n",
                             {}};
}  // namespace

TEST_F(Costume, HalfWearOfTwoPieceUnderwear) {
    installWardrobe({{"models", "", kModels}, kTwoPiece, kPlain});
    const struct {
        const char* upper;
        const char* lower;
        int piece, state;
        const char* upperAfter;
        const char* lowerAfter;
    } cases[] = {
        {"under01Aup.tmb", "under01Alo.tmb", 1, 1, "under01Aup.tmb", "under01HAlo.tmb"},
        {"under01Aup.tmb", "under01Alo.tmb", 0, 1, "under01HAup.tmb", "under01Alo.tmb"},
        {"under01Aup.tmb", "under01Alo.tmb", 0, 2, "", "under01Alo.tmb"},
        {"under01Aup.tmb", "under01Alo.tmb", 3, 7, "under01Aup.tmb", ""},  // low bits only
        {"under01HAup.tmb", "under01HAlo.tmb", 1, 0, "under01HAup.tmb", "under01Alo.tmb"},
        {"under01Aup.tmb", "", 1, 1, "under01Aup.tmb", "under01HAlo.tmb"},
        // Without "HALFWEAR" only taking off works.
        {"plain05A.tmb", "plain05Alo.tmb", 1, 1, "plain05A.tmb", "plain05Alo.tmb"},
        {"plain05A.tmb", "plain05Alo.tmb", 1, 2, "plain05A.tmb", ""},
        // No underwear, or one no item describes: unchanged.
        {"", "", 0, 2, "", ""},
        {"bra.tmb", "pan.tmb", 0, 2, "bra.tmb", "pan.tmb"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.upper << " " << c.lower << " piece " << c.piece << " state " << c.state);
        setPart(&figure, 2, *c.upper ? c.upper : "nil.");
        setPart(&figure, 3, *c.lower ? c.lower : "nil.");
        setHalfWear(&figure, c.piece, c.state);
        EXPECT_EQ(partNames(figure)[2], c.upperAfter);
        EXPECT_EQ(partNames(figure)[3], c.lowerAfter);
    }
    setHalfWear(nullptr, 0, 2);  // no figure: nothing
}

TEST_F(Costume, HalfWearOfOnePieceUnderwearKeepsTheOtherHalf) {
    installWardrobe({{"models", "", kModels}, kOnePiece, kGaps});
    setPart(&figure, 2, "suit02HA.tmb");  // upper half worn
    setPart(&figure, 3, "nil.");
    setHalfWear(&figure, 1, 1);
    EXPECT_EQ(partNames(figure)[2], "suit02HC.tmb");
    setHalfWear(&figure, 0, 0);
    EXPECT_EQ(partNames(figure)[2], "suit02HB.tmb");
    setHalfWear(&figure, 1, 0);
    EXPECT_EQ(partNames(figure)[2], "suit02A.tmb");
    setHalfWear(&figure, 0, 3);
    EXPECT_EQ(partNames(figure)[2], "");
    EXPECT_EQ(partNames(figure)[3], "");

    // A "nil" variant and a file that no add-on provides leave the suit as it is.
    setPart(&figure, 2, "suit03A.tmb");
    for (const auto& [piece, state] : {std::pair{0, 1}, std::pair{1, 1}}) {
        setHalfWear(&figure, piece, state);
        EXPECT_EQ(partNames(figure)[2], "suit03A.tmb") << piece << " " << state;
    }
}
