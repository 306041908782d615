// Start-up: the real program from its start to the first game frame it has shown, on the demo
// add-ons and on the demo with 1000 more add-ons, and what loading "font.bin" costs of that.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/catalogue.h"
#include "gfx/glyph_renderer.h"
#include "platform/null_render_device.h"
#include "tools/writers/archive_writer.h"

namespace {
namespace fs = std::filesystem;

// A run folder whose add-ons are the demo's (linked, not copied) and `extra` generated costume
// items with a model and an icon each, as an author's collection would add them.
class RunFolder {
public:
    explicit RunFolder(int extra)
        : path_(fs::temp_directory_path() /
                ("tr2_bench_startup." + std::to_string(getpid()) + "." + std::to_string(extra))) {
        fs::remove_all(path_);
        fs::create_directories(path_ / "add-ons");
        fs::create_directories(path_ / "xdg");
        chmod((path_ / "xdg").c_str(), 0700);
        for (const auto& entry : fs::directory_iterator(TR2_RUN_DIR "/add-ons"))
            fs::create_symlink(entry.path(), path_ / "add-ons" / entry.path().filename());
        static const char* types[] = {"HAIR", "EYE", "DRESS", "SOCKS", "SHOES", "ARM"};
        for (int i = 0; i < extra; ++i) {
            const std::string id = "bench" + std::to_string(i);
            const std::vector<ArchiveMember> members = {
                archiveMember(id + ".tmb", std::string(20000, 'm') + id),
                archiveMember("icon_" + id + ".psd", std::string(6000, 'i') + id)};
            const std::string description = std::string("TYPE=") + types[i % 6] + "\nNAME=" + id +
                                            "\nFILE_0=" + members[0].name +
                                            "\nICON_0=" + members[1].name + "\nCAPTION_0=" + id +
                                            "\n";
            writeArchiveFile(path_ / "add-ons" / ("zz_" + id + ".tr2"), description, members);
        }
    }
    ~RunFolder() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// Starts `program -window` in the folder and returns the seconds until it says it has shown
// its first game frame, or -1; `report` gets its stage line.
double secondsToFirstFrame(const char* program, const RunFolder& folder, std::string* report) {
    const std::string command = "cd '" + folder.path().string() + "' && XDG_RUNTIME_DIR='" +
                                (folder.path() / "xdg").string() +
                                "' TR2_NO_DIALOGS=1 TR2_STARTUP_REPORT=1 '" + program +
                                "' -window 2>/dev/null";
    const auto start = std::chrono::steady_clock::now();
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    char line[512] = {};
    const bool said = std::fgets(line, sizeof line, pipe) != nullptr;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const int status = pclose(pipe);
    if (!said || status != 0) return -1;
    *report = line;
    if (!report->empty() && report->back() == '\n') report->pop_back();
    return seconds;
}

// The iteration time is ours; with TR2_BEFORE naming an earlier build of tr2 (one that has the
// start-up report), that build starts before ours in each iteration and the ratio is printed.
void BM_StartToFirstFrame(benchmark::State& state) {
    const RunFolder folder(int(state.range(0)));
    const char* before = std::getenv("TR2_BEFORE");
    std::string report, beforeReport;
    double oursTotal = 0, beforeTotal = 0;
    for (auto _ : state) {
        if (before) {
            const double seconds = secondsToFirstFrame(before, folder, &beforeReport);
            if (seconds < 0) {
                state.SkipWithError("the earlier tr2 did not show a first frame");
                break;
            }
            beforeTotal += seconds;
        }
        const double seconds = secondsToFirstFrame(TR2_PATH, folder, &report);
        if (seconds < 0) {
            state.SkipWithError("tr2 did not show a first frame");
            break;
        }
        oursTotal += seconds;
        state.SetIterationTime(seconds);
    }
    const double n = double(state.iterations());
    state.counters["goal_500ms/ours"] = oursTotal > 0 ? 0.5 * n / oursTotal : 0;
    if (before && oursTotal > 0) {
        state.counters["before_ms"] = beforeTotal / n * 1e3;
        state.counters["before/ours"] = beforeTotal / oursTotal;
    }
    // The stages of the last start, to see where the time goes.
    state.SetLabel(report);
    if (before)
        std::printf("before, %d extra add-ons, last start: %s\n", int(state.range(0)),
                    beforeReport.c_str());
}
BENCHMARK(BM_StartToFirstFrame)
    ->ArgName("extra_add_ons")
    ->Arg(0)
    ->Arg(1000)
    ->UseManualTime()
    ->Iterations(8)
    ->Unit(benchmark::kMillisecond);

// "font.bin" from the demo's archive to a glyph table (on the null device: no textures drawn).
void BM_LoadFont(benchmark::State& state) {
    const RunFolder folder(0);
    const fs::path previous = fs::current_path();
    fs::current_path(folder.path());
    buildCatalogue();
    NullRenderDevice device(800, 600);
    for (auto _ : state) {
        GlyphRenderer glyphs(&device);
        benchmark::DoNotOptimize(&glyphs);
    }
    fs::current_path(previous);
}
BENCHMARK(BM_LoadFont)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
