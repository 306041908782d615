// A sampled skeletal motion: one matrix per bone per frame, named locators, and the motion cache.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/d3d8_types.h"

struct Model;

constexpr int kMotionFramesPerSecond = 45;

struct Motion {
    char name[64] = {};  // as requested, at most 63 characters
    int32_t frameCount = 0;
    int32_t loopStart = 0;
    int32_t boneCount = 0;
    const D3DMATRIX* boneMatrices = nullptr;  // frameCount x boneCount, frame-major
    int32_t locatorCount = 0;
    std::vector<const char*> locatorNames;
    const float* locatorValues = nullptr;  // frameCount x locatorCount records of 9 floats
    char* fileBlock = nullptr;             // the TSB block that the pointers above refer to
    // What a TSS file was read into.
    std::vector<D3DMATRIX> matrixStorage;
    std::vector<float> valueStorage;
    std::vector<std::string> nameStorage;
    Motion* previous = nullptr;
    Motion* next = nullptr;

    Motion() = default;
    ~Motion();
    Motion(const Motion&) = delete;
    Motion& operator=(const Motion&) = delete;
};

// The process-wide cache, in the order motions were first asked for; never emptied while the
// program runs.
struct MotionCache {
    Motion* first = nullptr;
    Motion* last = nullptr;
    int count = 0;
};
MotionCache& motionCache();

// Reads TSS text (the bytes up to `size` or the first NUL): 0, or 1 for a malformed file, which
// leaves the motion filled as far as it was read.
int readTss(Motion* motion, const char* bytes, size_t size);
// Reads a TSB block (malloc'd, at least 4-byte aligned, `size` bytes and a NUL after them, as
// loadFile returns it), which the motion takes over: 0, or 1 when its counts run past its end
// (the block is freed and the motion stays empty).
int readTsb(Motion* motion, char* block, size_t size);
// ".tss" names (case-sensitive) as text, every other name as TSB: 0, 1 malformed, -1 nothing read.
int loadMotionFile(Motion* motion, const char* fileName);
// The cached motion whose name agrees in its first 63 characters, or a new one loaded now.
Motion* getMotion(const char* name);
// Gives `model` the motion `name` and returns the motion it had before.
Motion* setModelMotion(Model* model, const char* name);

// The frame for a time given in frames: frames 0 .. count - 1 once, then loop start .. count - 1
// for ever. -1 when the motion has no frames.
int32_t frameForTime(const Motion* motion, float time);
// Bone 0's matrix of the frame for `time`, or null when the motion has no bone matrices.
const D3DMATRIX* frameMatrices(const Motion* motion, float time);
// The first locator named exactly `name`, or -1.
int findLocator(const Motion* motion, const char* name);
// The 9 floats of locator `index` at the frame for `time`, or null.
const float* locatorAt(const Motion* motion, float time, int index);
const float* locatorByName(const Motion* motion, float time, const char* name);
