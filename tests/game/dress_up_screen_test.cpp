// The dress-up screen on the real device, driven by mouse presses and releases: the widget
// table, category windows with their cells, paging, frames, the background selector, closing.
#include "game/dress_up_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "character/item_window.h"
#include "game/sound_requests_interface.h"
#include "game/widget.h"
#include "gfx/layered_image.h"
#include "media/model_instance.h"
#include "tests/game/game_fixture.h"
#include "tests/support/game_addons.h"
#include "tests/support/test_files.h"
#include "tools/writers/archive_writer.h"
#include "tools/writers/psd_writer.h"

namespace fs = std::filesystem;

namespace {
struct SoundLog : SoundRequests {
    std::vector<std::string> calls;
    void playMusic(const char*) override {}
    void playLoopEffect(const char*) override {}
    void playVoice(const char* name) override { calls.push_back(std::string("voice ") + name); }
    void playEffect(const char*) override {}
    void playSystemEffect(const char* name) override {
        calls.push_back(std::string("effect ") + name);
    }
    void scheduleVoices(int, int, int, float, float) override {}
    void stopVoiceSchedules() override {}
    void soundTick(float, bool) override {}
};

// An add-on item in its own archive: the description `keys` and, when `icon` is given, a
// 36 x 36 icon of two layers (0 dimmed, 1 choosable).
void writeItem(const fs::path& folder, const std::string& archive, const std::string& keys,
               const std::string& icon = "") {
    std::vector<ArchiveMember> members;
    if (!icon.empty()) {
        PsdDocument document;
        const std::vector<uint32_t> pixels(36 * 36, 0xFF30C0C0);
        document.layers = {psdLayer("dim", 0, 0, 36, 36, pixels),
                           psdLayer("lit", 0, 0, 36, 36, pixels)};
        const std::vector<uint8_t> bytes = writePsd(document);
        members.push_back(archiveMember(icon, std::string(bytes.begin(), bytes.end())));
    }
    fs::create_directories(folder / "add-ons");
    ASSERT_TRUE(writeArchiveFile(folder / "add-ons" / (archive + ".tr2"), keys, members));
}

void writeSocks(const fs::path& folder, int count) {
    for (int i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "sock%02d", i);
        writeItem(folder, std::string("z_") + name,
                  std::string("TYPE=SOCKS\nNAME=") + name + "\nICON_0=" + name +
                      ".psd\nFILE_0=figure.tmb\n",
                  std::string(name) + ".psd");
    }
}

void click(int x, int y) {
    mouseDownAllWidgets(x, y);
    mouseUpAllWidgets(x, y);
}

void clickCategory(int window) {
    int x = 0, y = 0;
    if (window == 13) {
        x = 20;
        y = 140;
    } else if (window == 14 || window == 15) {
        x = 665 + 65 * (window - 14);
        y = 20;
    } else {
        testCategoryButton(window, &x, &y);
    }
    click(x + 10, y + 10);
}

// The centre of visible grid cell k.
void clickCell(int k) {
    int x = 0, y = 0;
    itemCellPosition(k, &x, &y);
    click(x + 18, y + 18);
}
}  // namespace

class DressUpScreenTest : public GameTest {
protected:
    // Starts a script that dresses figure 0 and opens the screen, and runs until it is open.
    void open() {
        setCurrentBackgroundIndex(0);
        start("%ml0,figure;%Z1;%S1,=,5;");
        game_->setSoundRequests(&sounds_);
        frames(8);
        screen_ = game_->dressUpScreen.get();
        ASSERT_NE(screen_, nullptr);
    }
    int layer(const char* name) const { return screen_->setupImage()->findLayer(name); }

    SoundLog sounds_;
    DressUpScreen* screen_ = nullptr;
};

TEST_F(DressUpScreenTest, BuildsTheTableFadesInAndClosingLetsTheScriptGoOn) {
    open();
    EXPECT_EQ(currentDressUpScreen(), screen_);
    struct Entry {
        int entry;
        const char *normal, *pressed, *hover;
    };
    const Entry entries[] = {
        {0, "title", "title", "title"},
        {3, "BGwin", "BGwin", "BGwin"},
        {4, "menu1_a", "menu1_a", "menu1_b"},
        {7, "BGbutton_L", nullptr, "BGbutton_L"},
        {11, nullptr, "itembutton1", nullptr},
        {22, nullptr, "itembutton12", nullptr},
        {23, "itembutton13b", "itembutton13a", "itembutton13b"},
    };
    for (const Entry& e : entries) {
        const Widget* w = screen_->widget(e.entry);
        ASSERT_NE(w, nullptr) << e.entry;
        EXPECT_EQ(w->normalLayer, e.normal ? layer(e.normal) : -1) << e.entry;
        EXPECT_EQ(w->pressedLayer, e.pressed ? layer(e.pressed) : -1) << e.entry;
        EXPECT_EQ(w->hoverLayer, e.hover ? layer(e.hover) : -1) << e.entry;
    }
    EXPECT_EQ(screen_->widget(24), nullptr);
    for (int i = 1; i <= 12; ++i) EXPECT_EQ(screen_->widget(10 + i)->userValue, i);
    // Window 13 opens with the screen; the fade-in is under way over 120 steps.
    EXPECT_EQ(currentItemWindow(), 13);
    EXPECT_GT(game_->fades[1].stepsRemaining, 100);

    EXPECT_EQ(game_->state.variables[1], 0);
    click(620, 30);
    EXPECT_TRUE(game_->screenClosed);
    EXPECT_FALSE(game_->camera.busy);
    frames(3);
    EXPECT_EQ(game_->dressUpScreen, nullptr);
    EXPECT_EQ(currentDressUpScreen(), nullptr);
    EXPECT_EQ(game_->state.variables[1], 5);
}

TEST_F(DressUpScreenTest, CategoryWindowGlidesShowsItsCellsAndPutsOnOnlyChoosableItems) {
    moreAddOns = [](const fs::path& folder) {
        writeItem(folder, "hair1", "TYPE=HAIR\nNAME=hair1\nICON_0=hair1.psd\nFILE_0=figure.tmb\n",
                  "hair1.psd");
        writeItem(folder, "hair2", "TYPE=HAIR\nNAME=hair2\nICON_0=hair2.psd\nFILE_0=figure.tmb\n",
                  "hair2.psd");
        writeItem(folder, "hair3", "TYPE=HAIR\nICON_0=hair3.psd\nFILE_0=figure.tmb\n",
                  "hair3.psd");                                                    // no NAME
        writeItem(folder, "hair4", "TYPE=HAIR\nNAME=hair4\nFILE_0=figure.tmb\n");  // no icon
    };
    open();
    game_->registerModel("hair1.tmb");
    sounds_.calls.clear();
    clickCategory(1);
    EXPECT_EQ(currentItemWindow(), 1);
    EXPECT_EQ(sounds_.calls, (std::vector<std::string>{"effect se100", "voice 0021"}));
    EXPECT_EQ(screen_->infoPanel().title, itemWindowInfo(1)->title);
    EXPECT_EQ(screen_->infoPanel().text, itemWindowInfo(1)->description);
    EXPECT_TRUE(screen_->glide().gliding);
    EXPECT_TRUE(game_->camera.busy);

    // Hair has no remove cell; only the seen item with a name and an icon is choosable.
    ASSERT_EQ(screen_->grid().count(), 4);
    const int expectedLayer[] = {1, 0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        const Widget* cell = screen_->grid().cell(i);
        EXPECT_EQ(cell->normalLayer, expectedLayer[i]) << i;
        EXPECT_EQ(cell->alpha, expectedLayer[i] ? 255 : 128) << i;
        EXPECT_EQ(static_cast<bool>(cell->callback), expectedLayer[i] == 1) << i;
    }

    // One frame of 0.1 s: three glide steps and one and a half characters.
    frames(1, 0.1f);
    EXPECT_FLOAT_EQ(screen_->infoPanel().reveal, 1.5f);
    frames(120, 0.05f);
    EXPECT_FALSE(screen_->glide().gliding);
    EXPECT_FALSE(game_->camera.busy);

    CharacterInstance* figure = game_->figure(0);
    ASSERT_NE(figure, nullptr);
    const Model* before = figure->parts[12];
    clickCell(1);  // unseen: nothing happens
    EXPECT_EQ(figure->parts[12], before);
    clickCell(0);
    EXPECT_NE(figure->parts[12], nullptr);
    EXPECT_NE(figure->parts[12], before);

    // Once its model has been seen, reopening the window makes the dimmed item choosable.
    game_->registerModel("hair2.tmb");
    EXPECT_EQ(screen_->grid().cell(1)->alpha, 128);
    clickCategory(1);
    EXPECT_EQ(screen_->grid().cell(1)->alpha, 255);
    EXPECT_EQ(screen_->grid().cell(1)->normalLayer, 1);
}

TEST_F(DressUpScreenTest, OutfitsAreChoosableWhenEveryModelTheyNameWasSeen) {
    struct Item {
        const char* keys;
        bool choosable;
    };
    static const Item items[] = {
        {"", true},                                       // names no model
        {"COORD_00=no_change\nCOORD_12=figure\n", true},  // figure was seen
        {"COORD_05=nil\nCOORD_12=figure\n", true},        // nil takes a part off
        {"COORD_05=no_change\nCOORD_12=hair9\n", false},  // hair9 was never seen
        {"COORD_12=no_changes\n", false},                 // only the exact word
    };
    moreAddOns = [](const fs::path& folder) {
        for (size_t i = 0; i < std::size(items); ++i) {
            const std::string name = "coord" + std::to_string(i);
            writeItem(
                folder, name,
                "TYPE=COORDINATE\nNAME=" + name + "\nICON_0=" + name + ".psd\n" + items[i].keys,
                name + ".psd");
        }
    };
    open();  // window 13 opens with the screen, after the script has loaded the figure
    clickCategory(13);
    ASSERT_EQ(screen_->grid().count(), static_cast<int>(std::size(items)));
    for (size_t i = 0; i < std::size(items); ++i)
        EXPECT_EQ(screen_->grid().cell(static_cast<int>(i))->alpha, items[i].choosable ? 255 : 128)
            << i;
}

TEST_F(DressUpScreenTest, SocksPageByArrowsAndWheel) {
    struct Case {
        int items;
        bool downShown;
    };
    for (const Case c : {Case{47, false}, Case{48, true}}) {
        SCOPED_TRACE(c.items);
        moreAddOns = [c](const fs::path& folder) { writeSocks(folder, c.items); };
        open();
        for (int i = 0; i < c.items; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "sock%02d.tmb", i);
            game_->registerModel(name);
        }
        clickCategory(11);
        const ItemGrid& grid = screen_->grid();
        Widget* up = screen_->widget(kUpArrowEntry);
        Widget* down = screen_->widget(kDownArrowEntry);
        ASSERT_EQ(grid.count(), c.items + 1);  // the remove cell first
        EXPECT_FALSE(up->visible);
        EXPECT_EQ(down->visible, c.downShown);
        EXPECT_TRUE(grid.cell(47)->visible);

        // The wheel turned up on the first page does nothing.
        game_->wheelAccumulator = 120;
        frames(1);
        EXPECT_EQ(grid.offset(), 0);
        if (c.downShown) {
            EXPECT_FALSE(grid.cell(48)->visible);
            click(775, 410);
            EXPECT_EQ(grid.offset(), 6);
            EXPECT_TRUE(up->visible);
            EXPECT_FALSE(down->visible);
            EXPECT_FALSE(grid.cell(5)->visible);
            EXPECT_TRUE(grid.cell(6)->visible);
            EXPECT_EQ(grid.cell(6)->x, kItemGridLeft);
            EXPECT_EQ(grid.cell(6)->y, kItemGridTop);
            EXPECT_TRUE(grid.cell(48)->visible);
            // The wheel turned up goes back to the first page.
            game_->wheelAccumulator = 120;
            frames(1);
            EXPECT_EQ(grid.offset(), 0);
            EXPECT_FALSE(up->visible);
            EXPECT_TRUE(down->visible);
        }
        TearDown();
    }
}

TEST_F(DressUpScreenTest, EachWindowShowsItsFrame) {
    open();
    frames(125);  // faded in
    struct Case {
        int window;
        const char* frame;  // null: none
    };
    for (const Case c : {Case{1, "itemwin1"}, Case{12, "itemwin12"}, Case{13, nullptr},
                         Case{14, "filewin"}, Case{15, "filewin"}}) {
        SCOPED_TRACE(c.window);
        clickCategory(c.window);
        frames(1);
        EXPECT_EQ(currentItemWindow(), c.window);
        const Widget* frame = screen_->widget(kFrameWidgetEntry);
        const int expected = c.frame ? layer(c.frame) : -1;
        EXPECT_EQ(frame->normalLayer, expected);
        EXPECT_EQ(frame->pressedLayer, expected);
        EXPECT_EQ(frame->hoverLayer, expected);
        // Window 13 has no frame of its own: the permanent "itemwin13" shows.
        const int shown = c.window == 15 ? 14 : c.window;
        EXPECT_TRUE(near(pixel(505, 105), testFrameColour(shown) & 0xFFFFFF));
    }
}

TEST_F(DressUpScreenTest, SaveAndLoadWindowsShowEightLabelledButtons) {
    open();
    for (const int window : {14, 15}) {
        SCOPED_TRACE(window);
        clickCategory(window);
        const ItemGrid& grid = screen_->grid();
        ASSERT_EQ(grid.count(), 8);
        EXPECT_FALSE(screen_->widget(kUpArrowEntry)->visible);
        EXPECT_FALSE(screen_->widget(kDownArrowEntry)->visible);
        for (int i = 0; i < 8; ++i) {
            const Widget* button = grid.cell(i);
            EXPECT_EQ(button->x, 510);
            EXPECT_EQ(button->y, 110 + 40 * i);
            EXPECT_EQ(button->hoverLayer, layer("filebutton"));
            EXPECT_EQ(button->labelPitch, 20);
            EXPECT_EQ(std::string(button->label), coordinateButtonLabel(window == 14, i));
        }
    }
    EXPECT_EQ(coordinateButtonLabel(true, 0), sjis("　　　セーブ　０１"));
    EXPECT_EQ(coordinateButtonLabel(false, 7), sjis("　　　ロード　０８"));

    clickCategory(14);
    sounds_.calls.clear();
    click(520, 110 + 40 + 10);  // save 02
    EXPECT_EQ(sounds_.calls.front(), "effect se101");
    EXPECT_FALSE(screen_->infoPanel().title.empty());
    EXPECT_EQ(screen_->infoPanel().reveal, 0.0f);
}

TEST_F(DressUpScreenTest, BackgroundsWrapAroundAndReplaceTheStage) {
    moreAddOns = [](const fs::path& folder) {
        writeItem(folder, "bg_a", "TYPE=BG\nICON_0=bg_a.psd\nFILE_0=stage.tmb\n", "bg_a.psd");
        writeItem(folder, "bg_b", "TYPE=BG\nICON_0=bg_b.psd\n", "bg_b.psd");
        writeItem(folder, "bg_c", "TYPE=BG\nFILE_0=stage.tmb\nFILE_1=idle.tsb\n");
    };
    open();
    EXPECT_EQ(currentBackgroundIndex(), 0);
    ASSERT_NE(game_->modelSlots[0], nullptr);
    EXPECT_NE(screen_->backgroundSample(), nullptr);

    sounds_.calls.clear();
    click(30, 570);  // left from 0
    EXPECT_EQ(currentBackgroundIndex(), 2);
    EXPECT_EQ(sounds_.calls, (std::vector<std::string>{"effect se101", "voice 0035"}));
    // No sample picture, but the stage is replaced.
    EXPECT_EQ(screen_->backgroundSample(), nullptr);
    ASSERT_NE(game_->modelSlots[0], nullptr);
    const auto& drawn = game_->drawList.objects;
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), game_->modelSlots[0].get()), drawn.end());

    click(200, 570);  // right from 2
    EXPECT_EQ(currentBackgroundIndex(), 0);
    click(200, 570);
    EXPECT_EQ(currentBackgroundIndex(), 1);
    EXPECT_EQ(game_->modelSlots[0], nullptr);  // no model: the stage is emptied
    EXPECT_NE(screen_->backgroundSample(), nullptr);

    // The choice outlives the screen.
    click(620, 30);
    frames(3);
    ASSERT_EQ(game_->dressUpScreen, nullptr);
    game_->dressUpScreen = std::make_unique<DressUpScreen>(*game_);
    EXPECT_EQ(currentBackgroundIndex(), 1);
}

TEST_F(DressUpScreenTest, WithoutBackgroundsTheSelectorLeavesEverythingAlone) {
    open();
    setCurrentBackgroundIndex(4);
    click(30, 570);
    click(200, 570);
    EXPECT_EQ(currentBackgroundIndex(), 4);
    EXPECT_EQ(screen_->backgroundSample(), nullptr);
}

TEST(ItemGrid, KeepsAtMost4096CellsAndHidesThoseBeyondTheFirstPage) {
    ItemGrid grid;
    for (int i = 0; i < kItemCellLimit; ++i)
        ASSERT_TRUE(
            grid.add(nullptr, std::make_unique<Widget>(0, 0, nullptr, 0, nullptr, true, i)));
    EXPECT_FALSE(grid.add(nullptr, std::make_unique<Widget>(0, 0, nullptr, 0, nullptr, true, 0)));
    EXPECT_EQ(grid.count(), kItemCellLimit);
    EXPECT_TRUE(grid.cell(47)->visible);
    EXPECT_FALSE(grid.cell(48)->visible);
    EXPECT_EQ(grid.cell(kItemCellLimit), nullptr);
    Widget up(0, 0, nullptr, 0, nullptr, false, -1), down(0, 0, nullptr, 0, nullptr, true, 1);
    grid.firstPage(&up, &down);
    EXPECT_TRUE(down.visible);
    // Paging past the last row shows what is left and never reaches outside the table.
    for (int i = 0; i < kItemCellLimit / kItemGridColumns + 2; ++i)
        grid.scroll(Widget(0, 0, nullptr, 0, nullptr, true, 1), 1, &up, &down);
    EXPECT_FALSE(down.visible);
    grid.release();
    EXPECT_EQ(grid.count(), 0);
}
