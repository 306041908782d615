// The mask overlays: sprites drawn over a figure at its "loc_mask%02d" locators.
#pragma once

class CharacterInstance;
class LayeredImage;

constexpr int kMaskChannels = 32;

// Sets the size of mask channel `channel` (0 to 31; others are ignored): enabled when the size
// is above 0, disabled otherwise.
void setMaskChannel(CharacterInstance* figure, int channel, float size);
// Draws the first layer of `maskImage` at every enabled channel whose locator the body's motion
// has, scaled by the channel's size and the distance from the eye. Call inside the sprite pass.
void drawMasks(const CharacterInstance* figure, const LayeredImage* maskImage);
