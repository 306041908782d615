// Screenshots: the back buffer as a 24-bit bottom-up BMP under screenshot/.
#pragma once

#include <cstdint>
#include <ctime>
#include <vector>

#include "platform/render_device.h"

// The next "screenshot/%8X_%04d.bmp" name: the stamp is the time of the run's first
// screenshot, the counter starts at 0 and rises with every name formed.
const char* nextScreenshotName();
// Starts a new run of names (tests): the next name takes a new stamp from `now`.
void resetScreenshotNames(std::time_t now);

// The BMP file of a 32-bit back buffer; empty for other formats (16-bit buffers are not saved).
std::vector<uint8_t> encodeScreenshot(const BackBufferImage& image);
