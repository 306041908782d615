// interface-maker: builds the demo's interface pictures, sounds, voices and scenario texts.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "content/interface/maker/art.h"
#include "content/interface/maker/scenario_text.h"
#include "content/interface/maker/sound.h"
#include "content/interface/maker/voices.h"

namespace {
constexpr const char* kUsage =
    "usage: interface-maker art OUTDIR\n"
    "       interface-maker sound OUTDIR\n"
    "       interface-maker voices LINES.txt OUTDIR\n"
    "       interface-maker text IN.txt OUT.txt\n";

}  // namespace

// Fontconfig, under pango, keeps its configuration until the process ends; in a sanitizer
// build that is not a leak of ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}

namespace {
bool makeDirectory(const std::filesystem::path& dir) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) std::fprintf(stderr, "interface-maker: cannot make %s\n", dir.c_str());
    return !error;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "art") == 0)
        return makeDirectory(argv[2]) && makeInterfaceArt(argv[2]) ? 0 : 1;
    if (argc == 3 && std::strcmp(argv[1], "sound") == 0)
        return makeDirectory(argv[2]) && makeInterfaceSounds(argv[2]) ? 0 : 1;
    if (argc == 4 && std::strcmp(argv[1], "voices") == 0)
        return makeDirectory(argv[3]) && makeVoices(argv[2], argv[3]) ? 0 : 1;
    if (argc == 4 && std::strcmp(argv[1], "text") == 0)
        return convertScenarioText(argv[2], argv[3]) ? 0 : 1;
    std::fputs(kUsage, stderr);
    return 2;
}
