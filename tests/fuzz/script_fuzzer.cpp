// Fuzz harness: a script run by the base engine for a bounded number of frames, with skip,
// clicks and choices made for it. Fatal script errors end the run, as they end the game.
#include <cstdlib>
#include <cstring>

#include "game/script_engine.h"
#include "tests/fuzz/fuzz_support.h"

namespace {
constexpr int kFrames = 200;

struct NoSound : SoundRequests {
    void playMusic(const char*) override {}
    void playLoopEffect(const char*) override {}
    void playVoice(const char*) override {}
    void playEffect(const char*) override {}
    void playSystemEffect(const char*) override {}
    void scheduleVoices(int, int, int, float, float) override {}
    void stopVoiceSchedules() override {}
    void soundTick(float, bool) override {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static NoSound sound;
    ScriptEngine engine;
    engine.setSoundRequests(&sound);
    // "おにいちゃん" and "若葉" in CP932.
    engine.setNames("\x82\xa8\x82\xc9\x82\xa2\x82\xbf\x82\xe1\x82\xf1", "\x8e\xe1\x97\x74");
    try {
        engine.start(contentBlock(data, size));
        for (int frame = 0; frame < kFrames; ++frame) {
            ScriptState& s = engine.state;
            s.skip = frame % 4 != 0;
            if (s.choiceMode && s.choiceCount > 0) engine.chooseEntry(frame % s.choiceCount);
            if (frame % 3 == 0) engine.clickAdvance();
            engine.run(frame % 5 == 0 ? 1000.0f : 16.0f);
            if (std::strlen(s.messageText) >= kMessageTextSize) std::abort();
        }
    } catch (const FatalCondition&) {
    }
    return 0;
}
