// The dress-up screen. For now it only holds the script on "%Z1;"; its buttons, item windows
// and backgrounds come with the wardrobe.
#include "game/dress_up_screen.h"

#include "game/game.h"

DressUpScreen::DressUpScreen(Game& game) : game_(game) {}
DressUpScreen::~DressUpScreen() = default;
void DressUpScreen::itemScreenFrame(float) {}
void DressUpScreen::drawInfoPanel() {}
void DressUpScreen::releaseOriginPlacements() {}
