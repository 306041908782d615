// A script engine whose game side records what it was asked to do, for inline test scripts.
#pragma once

#include <string>
#include <vector>

#include "game/script_engine.h"

// Records every sound request as "request name".
struct SoundRecorder : SoundRequests {
    std::vector<std::string> requests;

    void playMusic(const char* name) override { add("playMusic", name); }
    void playLoopEffect(const char* name) override { add("playLoopEffect", name); }
    void playVoice(const char* name) override { add("playVoice", name); }
    void playEffect(const char* name) override { add("playEffect", name); }
    void playSystemEffect(const char* name) override { add("playSystemEffect", name); }
    void scheduleVoices(int, int, int, float, float) override { add("scheduleVoices", ""); }
    void stopVoiceSchedules() override { add("stopVoiceSchedules", ""); }
    void soundTick(float, bool) override {}

private:
    void add(const char* request, const char* name) {
        requests.push_back(std::string(request) + " " + (name ? name : "(null)"));
    }
};

// The game side: records the choice menu and frame timer hooks, and runs one game letter, "x"
// (its string argument is recorded), handing every other letter back to the base commands.
class TestEngine : public ScriptEngine {
public:
    SoundRecorder sounds;
    std::vector<std::string> events;

    TestEngine() { setSoundRequests(&sounds); }

    int executeCommand() override {
        if (*state.position == 'x') {
            ++state.position;
            events.push_back(std::string("x:") + readString());
            return 0;
        }
        return ScriptEngine::executeCommand();
    }
    void openChoiceMenu() override { events.push_back("open"); }
    void closeChoiceMenu() override { events.push_back("close"); }
    void resetFrameTimer() override { events.push_back("timer"); }

    // Starts `cp932` and runs the frame that every reset engine spends waiting.
    void begin(const std::string& cp932);
    // Runs `count` frames of `ms` each.
    void frames(int count, float ms = 16.0f);
    std::string message() const { return state.messageText; }
};
