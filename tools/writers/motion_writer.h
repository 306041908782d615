// The motion writers: TSB (binary) and TSS (text) forms of one sampled skeletal motion.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/writers/tmb_writer.h"

struct MotionData {
    int32_t boneCount = 0;
    int32_t frameCount = 0;
    int32_t loopStart = 0;
    int32_t firstFrame = 0;              // the TSS form's first frame number
    std::vector<Matrix16> matrices;      // frame-major, frameCount x boneCount
    std::vector<std::string> boneNames;  // TSS only; "bone%d" where missing
    std::vector<std::string> locatorNames;
    std::vector<std::array<float, 9>> locatorValues;  // frame-major, frameCount x locators
};

// The binary form; `header` fills the 16 bytes that readers skip.
std::vector<uint8_t> writeTsb(const MotionData& motion, const std::string& header = "TSB100");
// The text form with CR LF line ends.
std::string writeTss(const MotionData& motion);
