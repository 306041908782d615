// Seen-model lookups as an item window makes them (one per icon), and the state file round trip.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "character/saved_state.h"

namespace {
// `count` names of the demo's form, "hair012" and the like.
SeenModels seenList(int count) {
    SeenModels seen;
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "item%03d_%04d", i % 15, i);
        seen.names.push_back(name);
    }
    return seen;
}

// The worst case: a name that is not in the list walks all of it.
void BM_IsModelSeenMiss(benchmark::State& st) {
    const SeenModels seen = seenList(static_cast<int>(st.range(0)));
    int32_t variables[256] = {};
    for (auto _ : st) benchmark::DoNotOptimize(isModelSeen(seen, variables, "item014_9999"));
    st.SetItemsProcessed(st.iterations());
}
BENCHMARK(BM_IsModelSeenMiss)->Arg(100)->Arg(500);

// Saving and loading the state file with `n` names (written to the system's temporary folder).
void BM_SaveAndLoadState(benchmark::State& st) {
    const auto folder = std::filesystem::temp_directory_path() / "tr2_bench_character";
    std::filesystem::create_directories(folder);
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    const SeenModels seen = seenList(static_cast<int>(st.range(0)));
    int32_t variables[256] = {};
    SeenModels loaded;
    for (auto _ : st) {
        saveState(seen, variables);
        loadState(loaded, variables);
    }
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SaveAndLoadState)->Arg(500)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
