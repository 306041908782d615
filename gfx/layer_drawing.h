// Drawing one layer of a layered image at its designed place in the 800 x 600 space.
#pragma once

class LayeredImage;

// Draws layer `index` with the device's sprite, scaled to the back buffer and tinted with the
// layer's opacity; an index outside the layers draws nothing. Call inside the sprite pass.
void drawLayer(const LayeredImage* image, int index);
// The same for the first layer whose name matches; an unknown name draws nothing.
void drawLayerByName(const LayeredImage* image, const char* name);
