// The TCM camera path writer: per-frame eye, target and value as text.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct CameraFrameData {
    std::array<float, 3> eye{}, target{};
    float value = 0;
};

struct CameraPathData {
    int32_t firstFrame = 0;
    std::vector<CameraFrameData> frames;
};

// The text form with CR LF line ends.
std::string writeTcm(const CameraPathData& path);
