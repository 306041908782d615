// A sampled camera path: per-frame eye and target positions (and a value nothing reads).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

struct CameraPath {
    int32_t frameCount = 0;
    std::vector<std::array<float, 3>> eyes;
    std::vector<std::array<float, 3>> targets;
    std::vector<float> values;
};

// Reads TCM text (the bytes up to `size` or the first NUL): 0, or 1 for a malformed file
// (nothing allocated when the first line is wrong; the arrays filled as far as read otherwise).
int readCameraPath(CameraPath* path, const char* bytes, size_t size);
// Loads `fileName` from the add-ons: 0, 1 malformed, -1 when no file block was obtained.
int loadCameraPath(CameraPath* path, const char* fileName);
