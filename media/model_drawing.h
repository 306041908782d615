// Skinned drawing of a model through the device's indexed vertex blending.
#pragma once

#include "media/model.h"

constexpr int kBonePaletteSize = 256;

// The process-wide bone palette: entry i is bone i's full transform for the model last drawn
// with palette computation on (identity before any).
D3DXMATRIX* bonePalette();

// Draws `model` at `world`, `time` in motion frames. `computePalette` is true for a body and
// false for a costume part, which is drawn with the palette its body left.
void drawModel(Model* model, const D3DXMATRIX& world, float time, bool computePalette);
