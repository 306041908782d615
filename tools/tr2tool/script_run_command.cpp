// tr2tool script-run: plays a scenario without graphics and lists its pages, choices and requests.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/frame_timer.h"
#include "app/settings.h"
#include "archive/catalogue.h"
#include "game/game.h"
#include "gfx/graphics_device.h"
#include "platform/encoding.h"
#include "platform/message_box.h"
#include "platform/null_render_device.h"
#include "tools/tr2tool/command.h"
#include "tools/tr2tool/script_lint.h"

namespace {
constexpr float kFrameStep = 0.016f;  // seconds: the game's step when it has no timer
constexpr int kFrameLimit = 100000;

// Message text as one UTF-8 line: line feeds and colour controls written out.
std::string printable(const char* cp932) {
    std::string escaped;
    const auto* p = reinterpret_cast<const unsigned char*>(cp932);
    while (*p) {
        if (isCp932LeadByte(*p) && p[1]) {
            escaped += static_cast<char>(p[0]);
            escaped += static_cast<char>(p[1]);
            p += 2;
            continue;
        }
        const unsigned char c = *p++;
        if (c == '\n') {
            escaped += "\\n";
        } else if (c == '\r') {
            escaped += "\\r";
        } else if (c < 0x20) {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02X", c);
            escaped += code;
        } else {
            escaped += static_cast<char>(c);
        }
    }
    return cp932ToUtf8(escaped);
}

void printLine(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Sound requests as lines; while a game command runs they wait, so that they follow the
// command's own line.
struct PrintedSound : SoundRequests {
    static inline bool holding = false;
    static inline std::vector<std::string> held;

    static void release() {
        holding = false;
        for (const std::string& line : held) printLine(line);
        held.clear();
    }

    void playMusic(const char* name) override { print("playMusic", name); }
    void playLoopEffect(const char* name) override { print("playLoopEffect", name); }
    void playVoice(const char* name) override { print("playVoice", name); }
    void playEffect(const char* name) override { print("playEffect", name); }
    void playSystemEffect(const char* name) override { print("playSystemEffect", name); }
    void scheduleVoices(int channel, int first, int last, float shortest, float longest) override {
        char args[128];
        std::snprintf(args, sizeof args, "%d,%d,%d,%g,%g", channel, first, last, shortest, longest);
        print("scheduleVoices", args);
    }
    void stopVoiceSchedules() override { print("stopVoiceSchedules", ""); }
    void soundTick(float, bool) override {}

    static void print(const char* request, const char* name) {
        std::string line = std::string("SOUND: ") + request;
        if (name && *name) {
            line += ' ';
            line += printable(name);
        }
        if (holding)
            held.push_back(line);
        else
            printLine(line);
    }
};

// The real game on the null render device, with printed sounds and no interface art; the
// dress-up screen closes as soon as it opens.
class DryRunGame : public Game {
public:
    int executeCommand() override {
        PrintedSound::holding = true;
        const int result = Game::executeCommand();
        PrintedSound::release();
        return result;
    }

    void openChoiceMenu() override {
        std::string line = "CHOICE:";
        for (int i = 0; i < state.choiceCount && i < kMaxChoices; ++i)
            line += std::string(i ? " | " : " ") + printable(state.choices[i].caption);
        printLine(line);
        Game::openChoiceMenu();
    }
};
bool parseChoices(const std::string& text, std::vector<int>* choices) {
    size_t at = 0;
    while (at <= text.size()) {
        const size_t comma = text.find(',', at);
        const std::string item = text.substr(at, comma == std::string::npos ? comma : comma - at);
        if (item.empty() || item.find_first_not_of("0123456789") != std::string::npos ||
            item.size() > 3)
            return false;
        choices->push_back(std::stoi(item));
        if (comma == std::string::npos) break;
        at = comma + 1;
    }
    return true;
}

bool choosable(const ScriptState& s, int index) {
    return index >= 0 && index < s.choiceCount && index < kMaxChoices &&
           s.choices[index].caption[0] != '*';
}

int run(const std::vector<std::string>& args) {
    std::vector<int> choices;
    std::string player = utf8ToCp932("おにいちゃん");
    std::string heroine = utf8ToCp932("若葉");
    std::string name = "script.txt";
    bool named = false, lint = false, strict = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--lint") {
            lint = true;
            continue;
        }
        if (args[i] == "--strict") {
            strict = true;
            continue;
        }
        if (args[i] == "--choose" && i + 1 < args.size()) {
            if (!parseChoices(args[++i], &choices)) return kToolUsage;
        } else if (args[i] == "--names" && i + 1 < args.size()) {
            const std::string& both = args[++i];
            const size_t comma = both.find(',');
            if (comma == std::string::npos) return kToolUsage;
            // An empty name keeps its default, as the game fills empty names.
            if (comma > 0) player = utf8ToCp932(both.substr(0, comma));
            if (comma + 1 < both.size()) heroine = utf8ToCp932(both.substr(comma + 1));
        } else if (!named && !args[i].empty() && args[i][0] != '-') {
            name = args[i];
            named = true;
        } else {
            return kToolUsage;
        }
    }

    buildCatalogue();
    const std::string cp932Name = utf8ToCp932(name);
    if (fileSize(cp932Name.c_str()) == 0) {
        std::fprintf(stderr,
                     "tr2tool script-run: %s: no archive in add-ons/ holds it, or it is empty\n",
                     name.c_str());
        return kToolFailure;
    }
    if (lint) {
        const std::vector<LintWarning> warnings = lintScenario(cp932Name);
        for (const LintWarning& w : warnings)
            printLine("WARNING: " + w.file + ":" + std::to_string(w.line) + ": " + w.text);
        return strict && !warnings.empty() ? kToolFailure : kToolOk;
    }
    // Fatal script errors are listed in order with the other events before the program ends.
    setMessageBoxDisplay([](const char* text, const char* caption, unsigned) {
        printLine(std::string("FATAL: [") + caption + "] " + text);
    });

    Settings& settings = mutableSettings();
    settings.noSound = true;
    std::snprintf(settings.playerName, sizeof settings.playerName, "%s", player.c_str());
    std::snprintf(settings.heroineName, sizeof settings.heroineName, "%s", heroine.c_str());
    GraphicsDevice graphics;
    graphics.initWithDevice(std::make_unique<NullRenderDevice>());
    setGraphicsDevice(&graphics);
    frameTimer().drivenStep = kFrameStep;

    PrintedSound sound;
    DryRunGame game;
    game.commandTrace = [](const std::string& command) {
        if (command != "%Q") printLine("COMMAND: " + printable(command.c_str()));
    };
    GameStart start;
    start.script = cp932Name.c_str();
    start.interface = false;
    start.savedState = false;
    game.initialise(start);
    // From here on: the start-up's own requests are not the scenario's.
    game.setSoundRequests(&sound);

    size_t nextChoice = 0;
    ScriptState& s = game.state;
    for (int frame = 0; frame < kFrameLimit; ++frame) {
        s.skip = false;
        if (game.frame() != 0) {
            printLine("QUIT");
            return kToolOk;
        }
        if (game.dressUpScreen && !game.screenClosed) {
            printLine("DRESS-UP");
            game.screenClosed = true;
        }
        if (s.waitingForClick) {
            printLine("PAGE: " + printable(s.messageText));
            game.clickAdvance();
        }
        if (s.choiceMode && s.selectedChoice < 0) {
            int index = 0;
            if (nextChoice < choices.size()) {
                index = choices[nextChoice++];
                if (!choosable(s, index)) {
                    std::fprintf(stderr, "tr2tool script-run: entry %d cannot be chosen here\n",
                                 index);
                    return kToolFailure;
                }
            } else {
                while (index < s.choiceCount && !choosable(s, index)) ++index;
                if (!choosable(s, index)) {
                    std::fprintf(stderr, "tr2tool script-run: a choice with no entry to choose\n");
                    return kToolFailure;
                }
            }
            printLine("CHOSE: " + std::to_string(index));
            game.chooseEntry(index);
        }
        const bool ended = s.position && *s.position == '\0' && !s.resumePosition &&
                           s.waitTimer < 0 && !s.choiceMode && !s.waitingForClick;
        if (ended) {
            printLine("END");
            return kToolOk;
        }
    }
    printLine("STOPPED: no end after " + std::to_string(kFrameLimit) + " frames");
    return kToolFailure;
}
}  // namespace

extern const ToolCommand kScriptRunCommand = {
    "script-run",
    "play a scenario without graphics and list its pages, choices and requests",
    "usage: tr2tool script-run [--choose N,N,...] [--names PLAYER,HEROINE] [NAME]\n"
    "       tr2tool script-run --lint [--strict] [NAME]\n"
    "\n"
    "Plays NAME from the archives in ./add-ons/ in the game itself, on a null display without\n"
    "the interface art or the saved state, with the game's frame step of 16 ms, clicking at every\n"
    "click wait and choosing the listed entries in turn (the first entry that can be chosen once\n"
    "the list runs out). Prints, as UTF-8, one line per event:\n"
    "  PAGE: text          at each click wait (\\n line feed, \\r click mark, \\x01 \\x02 colours)\n"
    "  CHOICE: a | b | ... when a choice opens, then CHOSE: index\n"
    "  SOUND: request name for each sound request\n"
    "  COMMAND: %xx args   for each game command, as it runs\n"
    "  DRESS-UP            when %Z1 opens the dress-up screen (closed again at once)\n"
    "  END, QUIT           at the end of the script or at %Q\n"
    "  FATAL: [caption] message, then exit 255, for a script error\n"
    "With --lint it plays nothing: it reads NAME and every script reached with %G, and prints\n"
    "  WARNING: file:line: text\n"
    "for each sound, model, motion, picture or camera file that no add-on provides, each label\n"
    "jumped to but never defined, and each run of half-width text (only full width is shown).\n"
    "\n"
    "arguments:\n"
    "  NAME                    the scenario in ./add-ons/ (default script.txt)\n"
    "\n"
    "options:\n"
    "  --choose N,N,...        the choice entries to take, in turn\n"
    "  --names PLAYER,HEROINE  what &0 to &3 put in (UTF-8; default おにいちゃん,若葉)\n"
    "  --lint                  check the scenario instead of playing it\n"
    "  --strict                with --lint, exit 1 when there was a warning\n"
    "\n"
    "exit codes:\n"
    "  0  the script ended or quit; with --lint, checked\n"
    "  1  NAME is missing or empty, 100000 frames passed without an end, or --strict warnings\n"
    "  2  wrong arguments\n"
    "  255  a script error (after its FATAL line)\n",
    run,
};
