// tr2tool motion-info: what a TSS or TSB motion holds (bones, frames, loop start, locators).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "media/motion.h"
#include "platform/ascii_text.h"
#include "tools/tr2tool/command.h"
#include "tools/tr2tool/content_files.h"

namespace {
constexpr const char* kUsage =
    "usage: tr2tool motion-info FILE\n"
    "\n"
    "Prints the bone count, frame count, loop start and locator names of a motion: TSS text\n"
    "when FILE ends in \".tss\", TSB otherwise.\n"
    "\n"
    "arguments:\n"
    "  FILE  a path, or else a name looked up in the archives of ./add-ons/\n"
    "\n"
    "exit codes:\n"
    "  0  printed\n"
    "  1  no such file, or a malformed motion\n"
    "  2  wrong arguments\n";

int runMotionInfo(const std::vector<std::string>& args) {
    if (args.size() != 1) return kToolUsage;
    const std::string& file = args[0];
    std::vector<uint8_t> bytes;
    std::string error;
    if (!readContentFile(file, &bytes, &error)) {
        std::fprintf(stderr, "tr2tool motion-info: %s\n", error.c_str());
        return kToolFailure;
    }
    Motion motion;
    const bool text = endsWith(file, ".tss");
    char* block = mallocBlock(bytes);
    int result;
    if (text) {
        result = readTss(&motion, block, bytes.size());
        std::free(block);
    } else {
        result = readTsb(&motion, block, bytes.size());
    }
    if (result != 0) {
        std::fprintf(stderr, "tr2tool motion-info: %s: not a well-formed %s motion\n", file.c_str(),
                     text ? "TSS" : "TSB");
        return kToolFailure;
    }
    std::printf("%s: %s motion, %zu bytes\n", file.c_str(), text ? "TSS" : "TSB", bytes.size());
    std::printf("bones: %d\n", motion.boneCount);
    std::printf("frames: %d (%.3f s at %d frames per second)\n", motion.frameCount,
                motion.frameCount / static_cast<double>(kMotionFramesPerSecond),
                kMotionFramesPerSecond);
    std::printf("loop start: %d\n", motion.loopStart);
    if (motion.frameCount > 0 && (motion.loopStart < 0 || motion.loopStart >= motion.frameCount))
        std::printf("  (not a frame of the motion: %s)\n",
                    motion.loopStart < 0 ? "the whole motion repeats" : "the last frame holds");
    std::printf("locators: %d\n", motion.locatorCount);
    for (const char* name : motion.locatorNames) std::printf("  %s\n", name);
    return kToolOk;
}
}  // namespace

extern const ToolCommand kMotionInfoCommand = {"motion-info", "show what a TSS or TSB motion holds",
                                               kUsage, runMotionInfo};
