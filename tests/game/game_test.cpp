// The game object on the real device: start-up, fades, the message window, choices, gauges,
// pictures, the title, models, the camera path, the dress-up hold and quitting.
#include <gtest/gtest.h>

#include <cstring>

#include "app/frame_timer.h"
#include "game/message_window.h"
#include "game/widget.h"
#include "gfx/graphics_device.h"
#include "media/model_instance.h"
#include "tests/game/game_fixture.h"
#include "tests/support/game_addons.h"

namespace {
constexpr uint32_t rgb(uint32_t argb) {
    return argb & 0xFFFFFF;
}

}  // namespace

TEST_F(GameTest, StartsOpaqueBlackAndShowsTheMessageWindowOnceFadedIn) {
    start(std::string(kFadedIn) + "%n;あ%k");
    frames(1);
    EXPECT_EQ(game_->fades[0].colour, 0xFF000000u);
    EXPECT_EQ(game_->fades[1].colour, 0xFF000000u);
    EXPECT_EQ(pixel(400, 450), 0u);

    frames(12);
    EXPECT_TRUE(near(pixel(400, 450), rgb(kTestWindowColour)));  // window at (50, 400) 700 x 180
    EXPECT_EQ(pixel(40, 450), 0u);
    EXPECT_EQ(pixel(400, 390), 0u);
}

TEST_F(GameTest, WindowScalesWithTheBackBuffer) {
    start(kFadedIn, 1024, 768);
    frames(8);
    // (50, 400) in the 800 x 600 space is (64, 512) at 1024 x 768.
    EXPECT_TRUE(near(pixel(64, 512), rgb(kTestWindowColour)));
    EXPECT_EQ(pixel(62, 512), 0u);
    EXPECT_EQ(pixel(64, 510), 0u);
}

TEST_F(GameTest, FadeChannelOneCoversEverything) {
    start(std::string(kFadedIn) + "%f1,511,0;");
    frames(8);
    EXPECT_EQ(pixel(400, 450), 0xFFFFFFu);
    EXPECT_EQ(pixel(10, 10), 0xFFFFFFu);
}

TEST_F(GameTest, FadeChannelZeroDrawsUnderTheInterface) {
    start(std::string(kFadedIn) + "%f0,511,0;");
    frames(8);
    EXPECT_EQ(pixel(10, 10), 0xFFFFFFu);
    EXPECT_TRUE(near(pixel(400, 450), rgb(kTestWindowColour)));
}

TEST_F(GameTest, ChoiceMenuLayoutDimmedEntriesAndClicks) {
    start(std::string(kFadedIn) +
          "%iはい,Yes;%i*だめ,No;%iいいえ,No;%I:Yes;%S1,=,1;%w1000;:No;%S1,=,2;%w1000;");
    frames(12);
    ASSERT_TRUE(game_->state.choiceMode);
    const std::vector<Widget*>& items = game_->widgetLists[kChoiceItems];
    ASSERT_EQ(items.size(), 3u);
    const int expectedY[3] = {216, 272, 328};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(items[i]->x, 250) << i;
        EXPECT_EQ(items[i]->y, expectedY[i]) << i;
        EXPECT_EQ(items[i]->userValue, i);
    }
    EXPECT_EQ(items[1]->alpha, 128);
    EXPECT_STREQ(items[1]->label, sjis("だめ").c_str());
    EXPECT_FALSE(items[1]->callback);
    EXPECT_STREQ(items[0]->label, sjis("はい").c_str());

    // The message window is hidden while choosing.
    EXPECT_EQ(pixel(100, 500), 0u);
    EXPECT_TRUE(near(pixel(260, 220), rgb(kTestMenuActiveColour)));

    // A click on the dimmed entry does nothing; one on the first chooses it.
    mouseDownAllWidgets(400, 290);
    mouseUpAllWidgets(400, 290);
    frames(2);
    EXPECT_TRUE(game_->state.choiceMode);
    mouseDownAllWidgets(400, 230);
    mouseUpAllWidgets(400, 230);
    frames(3);
    EXPECT_FALSE(game_->state.choiceMode);
    EXPECT_EQ(game_->state.variables[1], 1);
    EXPECT_TRUE(game_->widgetLists[kChoiceItems].empty());
}

TEST_F(GameTest, ChoicesMoveDownUnderTheTitle) {
    start("%T1;%iはい,A;%iいいえ,B;%I:A;:B;");
    frames(8);
    const std::vector<Widget*>& items = game_->widgetLists[kChoiceItems];
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0]->y, (600 - 56 * 2) / 2 + 128);
}

TEST_F(GameTest, GaugesClampTheirVariables) {
    start("%WG1;%S129,=,150;%S128,=,-5;");
    frames(8);
    ASSERT_NE(game_->playerGauge, nullptr);
    EXPECT_FLOAT_EQ(game_->playerGauge->horizontalScale, 1.0f);
    EXPECT_FLOAT_EQ(game_->heroineGauge->horizontalScale, 0.0f);
}

TEST_F(GameTest, WheelSkipsOneFrameOnlyWhileInputIsEnabled) {
    start("%w1000;");
    frames(1);
    game_->wheelAccumulator = -240;
    frames(1);
    EXPECT_TRUE(game_->state.skip);
    EXPECT_EQ(game_->wheelAccumulator, 0);
    frames(1);
    EXPECT_FALSE(game_->state.skip);

    game_->state.inputEnabled = false;
    game_->wheelAccumulator = 120;
    frames(1);
    EXPECT_FALSE(game_->state.skip);
}

TEST_F(GameTest, PicturesAndTitle) {
    start(std::string(kFadedIn) + "%gpicture;%w10;%T1;%w10;%T0;%g;");
    frames(8);
    EXPECT_TRUE(near(pixel(150, 150), rgb(kTestPictureColour)));
    frames(13);
    ASSERT_TRUE(game_->titleShown);
    EXPECT_TRUE(near(pixel(10, 10), rgb(kTestTitleColour)));
    EXPECT_TRUE(
        near(pixel(150, 150), rgb(kTestPictureColour)));        // the picture stays over the title
    EXPECT_TRUE(near(pixel(100, 500), rgb(kTestTitleColour)));  // no message window under the title
    frames(16);
    EXPECT_FALSE(game_->titleShown);
    EXPECT_EQ(game_->titleOverlay, nullptr);
    EXPECT_EQ(game_->scenePicture, nullptr);
}

TEST_F(GameTest, FigureIsDrawnLitAndFollowsItsCommands) {
    start(std::string(kFadedIn) +
          "%W0;%ml0,figure;%mm0,idle;%ld0,1,1,1;%lv0,0,0,-1;%le0,1;%w30;%mv0,0;%w30;%ml0,;");
    frames(14);
    CharacterInstance* figure = game_->figure(0);
    ASSERT_NE(figure, nullptr);
    ASSERT_NE(figure->body, nullptr);
    EXPECT_TRUE(near(pixel(400, 300), 0xFF0000));
    EXPECT_TRUE(game_->isModelSeen("figure"));
    frames(40);
    EXPECT_EQ(pixel(400, 300), 0u);  // %mv0,0 hides it
    frames(40);
    EXPECT_EQ(game_->figure(0), nullptr);
    EXPECT_TRUE(game_->drawList.objects.empty());
}

TEST_F(GameTest, CameraPathPlaysPlacedByTheStageLocatorAndHoldsAtItsEnd) {
    start("%mb0,stage;%cploc_cam00;%croute,0;");
    frames(7);
    GraphicsDevice* g = graphicsDevice();
    // The path's eye, moved by the locator's position (0, 0, 5).
    EXPECT_FLOAT_EQ(g->eye().z, 20.0f);
    frames(100);
    EXPECT_FLOAT_EQ(g->eye().x, 8.0f);  // held on the last of three frames
    g->eye().x = 3.0f;                  // as a mouse drag would
    frames(10);
    EXPECT_FLOAT_EQ(g->eye().x, 3.0f);
}

TEST_F(GameTest, DressUpCommandHoldsTheScriptUntilTheScreenCloses) {
    start("%Z1;%S1,=,5;");
    frames(10);
    ASSERT_NE(game_->dressUpScreen, nullptr);
    EXPECT_EQ(game_->state.variables[1], 0);
    game_->screenClosed = true;
    frames(3);
    EXPECT_EQ(game_->dressUpScreen, nullptr);
    EXPECT_EQ(game_->state.variables[1], 5);
}

TEST_F(GameTest, QuitIsReportedByTheFrameThatRunsIt) {
    start("%Q");
    frameTimer().drivenStep = 0.016f;
    int quit = 0;
    for (int i = 0; i < 10 && !quit; ++i) quit = game_->frame();
    EXPECT_EQ(quit, 1);
}

// Indices from the script are checked against their tables: nothing beside them changes.
TEST_F(GameTest, IndicesOutsideTheirTablesChangeNothing) {
    const struct {
        const char* script;
        bool figure;  // figure 0 is made by the script itself
    } cases[] = {
        {"%ld9,1,1,1;%la-1,1,1,1;%le8,1;", false},
        {"%mb8,stage;%mb-1,stage;%mn9,idle;%mV12,0;", false},
        {"%ml8,figure;%ml-3,figure;%ma9,1,figure;%md9,0;%mh9,0,1;%mv9,0;%mp9,loc_pos00;", false},
        {"%ml0,figure;%ma0,32,figure;%ma0,-1,figure;%md0,40;%mc0,32,1;%mc0,-1,1;%mm7,idle;", true},
        {"%f2,100,0;%f-1,100,0;%cu2,1,2,3;%cv-1,4;", false},
    };
    for (const auto& c : cases) {
        start(c.script);
        frames(20);
        for (const SceneLight& light : game_->lights) EXPECT_FALSE(light.enabled) << c.script;
        for (int slot = 0; slot < kModelSlotCount; ++slot) {
            const bool expected = c.figure && slot == kStageSlotCount;
            EXPECT_EQ(game_->modelSlot(slot) != nullptr, expected) << c.script << " slot " << slot;
        }
        if (c.figure) {
            CharacterInstance* f = game_->figure(0);
            for (Model* part : f->parts) EXPECT_EQ(part, nullptr) << c.script;
            EXPECT_EQ(f->locatorMask, 0u) << c.script;
        }
        EXPECT_EQ(game_->fades[0].level, 0.0f) << c.script;
        TearDown();
    }
}
