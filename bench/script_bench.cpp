// Script engine speed: frame steps through a long scenario with skip held, and label searches.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "game/script_engine.h"
#include "platform/encoding.h"

namespace {
struct SilentSound : SoundRequests {
    void playMusic(const char*) override {}
    void playLoopEffect(const char*) override {}
    void playEffect(const char*) override {}
    void playSystemEffect(const char*) override {}
};

// A scenario of `pages` pages: a speaker, three lines with a click wait each, variables, a
// call, a choice-free branch and music now and then.
std::string scenario(int pages) {
    const std::string line =
        utf8ToCp932("今日はいい天気ですね、お兄ちゃん。一緒に散歩に行きませんか？");
    const std::string speaker = utf8ToCp932("%n若葉;");
    std::string s = "%JStart;:Sub;%S1,+,1;%l:Start;";
    for (int p = 0; p < pages; ++p) {
        s += speaker + line + "%k" + line + "%k\r\n" + line + "%K\r\n";
        s += "%S0,+,1;%E0,>,100000,Start;%LSub;";
        if (p % 50 == 0) s += "%Mbgm" + std::to_string(p % 7) + ",100;";
    }
    return s;
}

char* copyOf(const std::string& text) {
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

void BM_SkipThroughScenario(benchmark::State& st) {
    const std::string text = scenario(2000);
    SilentSound sound;
    ScriptEngine engine;
    engine.setSoundRequests(&sound);
    engine.start(copyOf(text));
    int64_t restarts = 0;
    for (auto _ : st) {
        engine.state.skip = true;
        engine.run(16.0f);
        if (*engine.state.position == '\0') {
            engine.start(copyOf(text));
            ++restarts;
        }
    }
    st.counters["steps/s"] =
        benchmark::Counter(static_cast<double>(st.iterations()), benchmark::Counter::kIsRate);
    st.counters["restarts"] = static_cast<double>(restarts);
}
BENCHMARK(BM_SkipThroughScenario);

void BM_JumpToLastLabel(benchmark::State& st) {
    std::string text = scenario(2000) + ":Last;";
    SilentSound sound;
    ScriptEngine engine;
    engine.setSoundRequests(&sound);
    engine.start(copyOf(text));
    for (auto _ : st) {
        engine.jumpTo("Last");
        benchmark::DoNotOptimize(engine.state.position);
    }
    // A jump is a lookup in the script's label index, whatever the text's length.
    st.counters["jumps/s"] =
        benchmark::Counter(static_cast<double>(st.iterations()), benchmark::Counter::kIsRate);
    st.counters["text bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_JumpToLastLabel);
}  // namespace

BENCHMARK_MAIN();
