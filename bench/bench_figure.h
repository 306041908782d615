// The benchmarks' heroine-like figure: a skinned cylinder body and twelve costume parts.
#pragma once

#include "tools/writers/motion_writer.h"
#include "tools/writers/tmb_writer.h"

constexpr int kBones = 60;

// A textured, skinned cylinder of `rings` x `segments` quads from y0 to y1.
TmbModel figureModel(const char* name, float radius, float y0, float y1, int rings, int segments);
// 20,400 vertices: 100 rings of 34 segments.
TmbModel bodyModel();
// Costume part `i` (1 to 12) over part of the height, about 6,000 vertices.
TmbModel partModel(int i);
// 90 frames of a gentle sway over all 60 bones.
MotionData swayMotion();
