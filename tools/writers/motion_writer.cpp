// The TSB and TSS motion writers.
#include "tools/writers/motion_writer.h"

#include <cstdio>

#include "tools/writers/byte_writer.h"

namespace {
// Enough digits for a float to read back exactly.
std::string number(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(v));
    return text;
}

std::string numbers(const float* values, size_t count) {
    std::string line;
    for (size_t i = 0; i < count; ++i) {
        if (i) line += ' ';
        line += number(values[i]);
    }
    return line;
}

size_t count(int32_t a, int32_t b) {
    return a > 0 && b > 0 ? static_cast<size_t>(a) * static_cast<size_t>(b) : 0;
}
}  // namespace

std::vector<uint8_t> writeTsb(const MotionData& motion, const std::string& header) {
    ByteWriter w;
    w.fixedText(header, 16);
    const auto locators = static_cast<int32_t>(motion.locatorNames.size());
    w.i32le(motion.boneCount);
    w.i32le(motion.frameCount);
    w.i32le(motion.loopStart);
    w.i32le(locators);
    const size_t matrices = count(motion.frameCount, motion.boneCount);
    for (size_t i = 0; i < matrices; ++i)
        for (float f : i < motion.matrices.size() ? motion.matrices[i] : identity16()) w.f32le(f);
    const size_t values = count(motion.frameCount, locators);
    for (size_t i = 0; i < values; ++i)
        for (float f :
             i < motion.locatorValues.size() ? motion.locatorValues[i] : std::array<float, 9>{})
            w.f32le(f);
    for (const std::string& name : motion.locatorNames) {
        w.text(name);
        w.u8(0);
    }
    return std::move(w.bytes);
}

std::string writeTss(const MotionData& motion) {
    std::string s;
    auto line = [&](const std::string& text) { s += text + "\r\n"; };
    line("@TSS100");
    line("[BONES]");
    line(std::to_string(motion.boneCount));
    for (int32_t i = 0; i < motion.boneCount; ++i)
        line(static_cast<size_t>(i) < motion.boneNames.size() ? motion.boneNames[i]
                                                              : "bone" + std::to_string(i));
    line("[FRAMES]");
    line(std::to_string(motion.firstFrame) + " " +
         std::to_string(motion.firstFrame + motion.frameCount - 1));
    const size_t matrices = count(motion.frameCount, motion.boneCount);
    for (size_t i = 0; i < matrices; ++i)
        line(numbers((i < motion.matrices.size() ? motion.matrices[i] : identity16()).data(), 16));
    if (!motion.locatorNames.empty()) {
        line("[LOCATORS]");
        line(std::to_string(motion.locatorNames.size()));
        for (const std::string& name : motion.locatorNames) line(name);
        line("[LOCATOR FRAMES]");
        line(std::to_string(motion.firstFrame) + " " +
             std::to_string(motion.firstFrame + motion.frameCount - 1));
        const size_t values =
            count(motion.frameCount, static_cast<int32_t>(motion.locatorNames.size()));
        for (size_t i = 0; i < values; ++i)
            line(numbers(
                (i < motion.locatorValues.size() ? motion.locatorValues[i] : std::array<float, 9>{})
                    .data(),
                9));
    }
    if (motion.loopStart != 0) {
        // Without locators the line after the frames only says that no locator section follows.
        if (motion.locatorNames.empty()) line("[NO LOCATORS]");
        line("[LOOP]");
        line(std::to_string(motion.loopStart));
    }
    line("<___end___>");
    return s;
}
