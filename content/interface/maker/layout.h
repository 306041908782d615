// Where every interface element sits on the 800 x 600 screen, shared by the pictures.
#pragma once

struct Rect {
    int x, y, w, h;
};

namespace layout {
// inter.psd
constexpr Rect kMessageWindow{40, 428, 720, 160};  // text starts 28 right, 16 below its corner
constexpr Rect kPageIcon{726, 554, 24, 24};
constexpr Rect kPlayerGauge{14, 12, 232, 30};
constexpr Rect kHeroineGauge{14, 48, 232, 30};
constexpr Rect kMenuItem{200, 282, 400, 36};  // the game places choices itself
// The fill of a gauge: it grows to the right from the track's left end.
constexpr Rect gaugeTrack(const Rect& frame) {
    return {frame.x + 38, frame.y + 9, frame.w - 50, 12};
}

// title2.psd: above the choices, which move 128 down while the title shows.
constexpr Rect kTitleBand{0, 40, 800, 280};
constexpr Rect kTitleLogo{100, 80, 600, 170};

// setup.psd: the left column (title, stage selector, menu) and the item window on the right.
constexpr Rect kScreenTitle{10, 8, 180, 48};
constexpr Rect kBackgroundWindow{10, 64, 180, 206};
constexpr Rect kBackgroundSample{20, 96, 160, 120};  // stage pictures are made this size
constexpr Rect kBackgroundLeft{20, 226, 50, 32};
constexpr Rect kBackgroundRight{130, 226, 50, 32};
constexpr Rect kMenuButtons[3] = {{10, 548, 140, 40},   // menu1: close
                                  {10, 452, 140, 40},   // menu2: save
                                  {10, 500, 140, 40}};  // menu3: load
constexpr Rect kItemPanel{488, 8, 304, 444};
constexpr Rect kCoordinateButton{700, 60, 76, 36};
constexpr Rect kGridArea{504, 104, 252, 332};
constexpr Rect kScrollUp{760, 110, 26, 64};
constexpr Rect kScrollDown{760, 366, 26, 64};
constexpr Rect kFileWindow{504, 104, 252, 332};
constexpr Rect kInfoPanel{482, 460, 312, 92};
constexpr int kCellSize = 38;  // item icons; cells are 40 apart

// Category buttons 1 to 12: seven on the first row, five on the second beside "コーデ".
constexpr Rect categoryButton(int k) {
    return k <= 7 ? Rect{500 + 40 * (k - 1), 18, 36, 36} : Rect{500 + 40 * (k - 8), 60, 36, 36};
}
constexpr const char* kCategoryLabels[12] = {"髪", "瞳", "体", "下着", "上",   "下",
                                             "頭", "顔", "首", "腕",   "靴下", "靴"};
// Cell k of a page: six columns from (510, 110), 40 apart.
constexpr Rect gridCell(int k) {
    return {510 + 40 * (k % 6), 110 + 40 * (k / 6), kCellSize, kCellSize};
}
// Save and load slot i; the game puts button i 40 below the "filebutton" layer per step.
constexpr Rect fileSlot(int i) {
    return {514, 112 + 40 * i, 232, 34};
}
}  // namespace layout
