// A small add-on set with everything the game needs to start, for game tests and end-to-end runs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

// Colours of the interface layers, so that tests can find them in a read-back picture.
constexpr uint32_t kTestWindowColour = 0xFF2040C0;      // "window": (50, 400), 700 x 180
constexpr uint32_t kTestMenuItemColour = 0xFF808080;    // "menuitem": 300 x 40
constexpr uint32_t kTestMenuActiveColour = 0xFF20C040;  // "menuitem_i": 300 x 40
constexpr uint32_t kTestPictureColour = 0xFFE0E020;     // picture.psd: (100, 100), 200 x 150
constexpr uint32_t kTestTitleColour = 0xFF600060;       // title2.psd layer 0: the whole screen
constexpr uint32_t kTestFigureColour = 0xFFFF0000;      // figure.tmb: a 4 x 8 rectangle

// The dress-up screen ("setup.psd"): the menu buttons close, save and load at (600, 20),
// (665, 20) and (730, 20), 60 x 30; the background arrows at (20, 560) and (190, 560), 30 x 30;
// the paging arrows at (765, 110) and (765, 400), 30 x 30; the category buttons (50 x 30) at
// testCategoryButton, window 13 at (20, 140); the item frames "itemwin1" to "itemwin13" and
// "filewin" cover (500, 100) 260 x 330 in testFrameColour; the info panel "window" is at
// (20, 300); "filebutton" at (510, 110), 200 x 36. Icons are 36 x 36.
constexpr uint32_t kTestNilIconColour = 0xFF808000;     // item_nil.psd, both layers
constexpr uint32_t kTestRemoveIconColour = 0xFFE00000;  // item_sys.psd
uint32_t testFrameColour(int window);                   // 14 stands for "filewin"
void testCategoryButton(int window, int* x, int* y);

// Writes `folder`/add-ons/game_test.tr2 with "fade.psd", "inter.psd", "mask.psd",
// "title2.psd", "picture.psd", the dress-up
// screen's "setup.psd", "item_nil.psd" and "item_sys.psd", the figure "figure.tmb" (one bone,
// facing +z, from y 4 to 12) with the motion "idle.tsb" (locator "loc_mask00" at y 10), the stage
// "stage.tmb" with the placements "loc_pos00" and "loc_cam00", the camera path "route.tcm" (three
// frames), the sound "tone.ogg" and the interface effects "se100" to "se102" (the same tone), and
// the given scripts (name, UTF-8 text; written as CP932).
void writeGameAddOns(const std::filesystem::path& folder,
                     const std::vector<std::pair<std::string, std::string>>& scripts);
