// tr2tool play: plays an Ogg Vorbis file of ./add-ons/ through the game's stream player.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/settings.h"
#include "archive/catalogue.h"
#include "audio/ogg_source.h"
#include "audio/sound_system.h"
#include "platform/ascii_text.h"
#include "platform/encoding.h"
#include "tools/tr2tool/command.h"

namespace {
constexpr const char* kUsage =
    "usage: tr2tool play [--loop] [--volume 0-100] [--seconds S] NAME\n"
    "\n"
    "Plays an Ogg Vorbis file through the game's stream player, then shuts sound down as the\n"
    "game does. The output follows SDL_AUDIODRIVER (for example disk, with\n"
    "SDL_DISKAUDIOFILE=path).\n"
    "\n"
    "arguments:\n"
    "  NAME         an \"*.ogg\" file of the archives in ./add-ons/\n"
    "\n"
    "options:\n"
    "  --loop       play it in a loop (until S seconds)\n"
    "  --volume V   the volume setting, 0 to 100 (default 100)\n"
    "  --seconds S  stop after S seconds (default: at its end)\n"
    "\n"
    "exit codes:\n"
    "  0  played\n"
    "  1  NAME is missing, not an .ogg name or not Ogg Vorbis, or no sound device\n"
    "  2  wrong arguments\n";

struct PlayOptions {
    bool loop = false;
    int volume = 100;
    double seconds = -1;  // until the end
    std::string name;
};

bool parseNumber(const std::string& text, double* value) {
    char* end = nullptr;
    *value = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == 0;
}

bool parseOptions(const std::vector<std::string>& args, PlayOptions* o) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        double v = 0;
        if (a == "--loop") {
            o->loop = true;
        } else if (a == "--volume" && i + 1 < args.size()) {
            if (!parseNumber(args[++i], &v) || v < 0 || v > 100 || v != static_cast<int>(v))
                return false;
            o->volume = static_cast<int>(v);
        } else if (a == "--seconds" && i + 1 < args.size()) {
            if (!parseNumber(args[++i], &v) || !(v > 0) || v > 1e6) return false;
            o->seconds = v;
        } else if (a.starts_with("-") || !o->name.empty()) {
            return false;
        } else {
            o->name = a;
        }
    }
    return !o->name.empty();
}

// Says why the file cannot play, or returns an empty text when it can.
std::string playProblem(const std::string& name) {
    if (!fileSize(name.c_str())) return "not found in ./add-ons/ (or empty)";
    if (!endsWith(name, ".ogg")) return "not an .ogg name: the player plays only \"*.ogg\" files";
    size_t size = 0;
    char* data = loadFile(name.c_str(), &size);
    MemoryStream file(data, static_cast<uint32_t>(size));
    bool opened = false;
    OggSource probe(&file, false, &opened);
    if (!opened) return "not an Ogg Vorbis file: nothing plays";
    if (probe.channels() < 1 || probe.channels() > 2 || probe.rate() < 100 || probe.rate() > 200000)
        return "Ogg Vorbis with " + std::to_string(probe.channels()) + " channels at " +
               std::to_string(probe.rate()) + " Hz, which the player cannot play";
    return {};
}

int runPlay(const std::vector<std::string>& args) {
    PlayOptions o;
    if (!parseOptions(args, &o)) return kToolUsage;
    const std::string name = utf8ToCp932(o.name);
    buildCatalogue();
    if (const std::string problem = playProblem(name); !problem.empty()) {
        std::fprintf(stderr, "tr2tool play: %s: %s\n", o.name.c_str(), problem.c_str());
        return kToolFailure;
    }
    resetSettings();
    initSound();
    SoundSystem* system = soundSystem();
    if (!system) {
        const char* driver = std::getenv("SDL_AUDIODRIVER");
        std::fprintf(stderr, "tr2tool play: no audio device (SDL_AUDIODRIVER=%s)\n",
                     driver ? driver : "");
        return kToolFailure;
    }
    auto* stream = new SoundStream(system->device.get());
    system->channels[0] = stream;
    startStream(stream, name.c_str(), o.loop, volumeTableEntry(o.volume));

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };
    // The stream starts playing at its first refill; it has ended when playing turns 0 again.
    bool started = false;
    for (;;) {
        if (o.seconds > 0 && elapsed() >= o.seconds) break;
        const bool now = playing(stream) != 0;
        if (started && !now) break;
        started = started || now;
        if (!started && elapsed() > 10) break;  // a stream that never starts
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    shutdownSound();
    return kToolOk;
}
}  // namespace

extern const ToolCommand kPlayCommand = {
    "play", "play an Ogg Vorbis file from ./add-ons/ through the stream player", kUsage, runPlay};
