// What the motion harnesses do with a motion that loaded: every lookup the game makes, and a
// skinned draw that reads the frame's matrices.
#pragma once

#include "media/motion.h"

void checkMotion(const Motion& motion);
