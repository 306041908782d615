// 2D content: PSD decoding, psd-export against ImageMagick, and drawing a message page.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/settings.h"
#include "archive/catalogue.h"
#include "bench/bench_device.h"
#include "gfx/graphics_device.h"
#include "media/psd_decoder.h"
#include "platform/encoding.h"
#include "platform/window.h"
#include "tools/writers/psd_writer.h"

namespace {
// An 800 x 600 interface document with a dozen layers: a full background, windows, buttons
// and icons, with flat areas, gradients and transparent edges as drawn interface art has.
PsdDocument interfaceDocument() {
    PsdDocument doc;
    struct Rect {
        int left, top, width, height;
    } rects[] = {{0, 0, 800, 600},    {20, 400, 760, 180}, {30, 20, 300, 64},   {600, 20, 180, 180},
                 {40, 420, 120, 40},  {180, 420, 120, 40}, {320, 420, 120, 40}, {0, 0, 800, 600},
                 {500, 300, 256, 96}, {10, 300, 64, 64},   {90, 300, 64, 64},   {700, 540, 90, 50}};
    int i = 0;
    for (const Rect& r : rects) {
        std::vector<uint32_t> p(size_t(r.width) * r.height);
        for (int y = 0; y < r.height; ++y)
            for (int x = 0; x < r.width; ++x) {
                const bool edge = x < 3 || y < 3 || x >= r.width - 3 || y >= r.height - 3;
                const uint32_t alpha = edge ? 0 : (i == 7 ? 0x80 : 0xFF);
                const uint32_t shade = (i % 3 == 0) ? (x + y) & 0xFF : (x / 8 * 8) & 0xFF;
                p[size_t(y) * r.width + x] =
                    alpha << 24 | shade << 16 | uint32_t(40 * i) << 8 | 0x30;
            }
        doc.layers.push_back(
            psdLayer("layer" + std::to_string(i), r.left, r.top, r.width, r.height, p));
        ++i;
    }
    return doc;
}

void BM_PsdDecode(benchmark::State& state) {
    const std::vector<uint8_t> psd = writePsd(interfaceDocument());
    double pixels = 0;
    for (auto _ : state) {
        const int count = countPsdLayers(psd.data(), psd.size());
        for (int i = 0; i < count; ++i) {
            PsdLayer* layer = readPsdLayer(psd.data(), psd.size(), i);
            pixels += double(layer->width) * layer->height;
            benchmark::DoNotOptimize(layer->pixels);
            freePsdLayer(layer);
        }
    }
    state.counters["Mpixel/s"] = benchmark::Counter(pixels / 1e6, benchmark::Counter::kIsRate);
    state.counters["layers"] = 12;
}
BENCHMARK(BM_PsdDecode)->Unit(benchmark::kMillisecond);

double secondsOf(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) return -1;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A document of three full-canvas RLE layers as a painter leaves them: an opaque
// gradient background, a window with flat bands and a transparent margin, and a half-covering
// shaded overlay with fine grain (the part deflate finds hardest).
PsdDocument threeLayerDocument(int width, int height) {
    PsdDocument doc;
    doc.width = width;
    doc.height = height;
    std::vector<uint32_t> p(size_t(width) * height);
    uint32_t grain = 12345;
    for (int i = 0; i < 3; ++i) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                uint32_t v = 0;
                if (i == 0) {
                    v = 0xFF000000u | uint32_t((x + y) / 16 & 0xFF) << 16 |
                        uint32_t(y * 255 / height) << 8 | 0x40;
                } else if (i == 1) {
                    const bool inside = x >= width / 16 && y >= height / 16 &&
                                        x < width - width / 16 && y < height - height / 16;
                    v = inside ? 0xE0000000u | uint32_t(x / 32 * 32 & 0xFF) << 16 | 0x8000u |
                                     uint32_t(y / 64 * 16 & 0xFF)
                               : 0;
                } else {
                    grain = grain * 1664525u + 1013904223u;
                    const uint32_t alpha = x < width / 2 ? 0 : uint32_t(x * 255 / width);
                    v = alpha == 0 ? 0
                                   : alpha << 24 | uint32_t(0x80 + (grain >> 29)) << 16 |
                                         uint32_t(y / 4 & 0xFF) << 8 | (grain >> 24 & 0x0F);
                }
                p[size_t(y) * width + x] = v;
            }
        doc.layers.push_back(psdLayer("layer" + std::to_string(i), 0, 0, width, height, p));
    }
    return doc;
}

// psd-export of `document` (written into a fresh temporary `folder`) against ImageMagick
// writing the same layers as PNG, in paired runs (one of each per iteration, so that a busy
// machine slows both). With TR2TOOL_BEFORE naming an older tr2tool, each iteration runs it too
// and the counters give its ratio beside ours; start_ms is `tr2tool --help`, the floor under
// any export. The iteration time is ours.
void exportAgainstImageMagick(benchmark::State& state, const PsdDocument& document,
                              const char* folderName) {
    const auto folder = std::filesystem::temp_directory_path() / folderName;
    std::filesystem::remove_all(folder);
    for (const char* sub : {"ours", "theirs", "before"})
        std::filesystem::create_directories(folder / sub);
    const std::string psd = (folder / "doc.psd").string();
    writePsdFile(psd, document);
    auto exportWith = [&](const std::string& tool, const char* sub) {
        return "'" + tool + "' psd-export '" + psd + "' '" + (folder / sub).string() +
               "' >/dev/null";
    };
    const std::string ours = exportWith(TR2TOOL_PATH, "ours");
    const char* beforeTool = std::getenv("TR2TOOL_BEFORE");
    const std::string before = beforeTool ? exportWith(beforeTool, "before") : std::string();
    const std::string theirs = "/usr/bin/convert '" + psd + "[1-" +
                               std::to_string(document.layers.size()) + "]' +adjoin '" +
                               (folder / "theirs" / "%03d.png").string() + "'";
    // One untimed run of each first, so that no one pays for loading its program from disk.
    for (const std::string* command : {&ours, &theirs, &before})
        if (!command->empty()) static_cast<void>(secondsOf(*command));
    // What starting the program alone costs (loading its libraries): the part of our time that
    // no work on the export can remove.
    const std::string start = "'" TR2TOOL_PATH "' --help >/dev/null";
    double oursTotal = 0, theirsTotal = 0, beforeTotal = 0, startTotal = 0;
    for (auto _ : state) {
        const double a = secondsOf(ours), b = secondsOf(theirs);
        const double c = before.empty() ? 0 : secondsOf(before);
        const double d = secondsOf(start);
        startTotal += d;
        if (a < 0 || b < 0 || c < 0 || d < 0) {
            state.SkipWithError("an export failed");
            break;
        }
        state.SetIterationTime(a);
        oursTotal += a;
        theirsTotal += b;
        beforeTotal += c;
    }
    const double n = double(state.iterations());
    state.counters["tr2tool_ms"] = oursTotal / n * 1e3;
    state.counters["imagemagick_ms"] = theirsTotal / n * 1e3;
    state.counters["imagemagick/tr2tool"] = oursTotal > 0 ? theirsTotal / oursTotal : 0;
    state.counters["start_ms"] = startTotal / n * 1e3;
    if (!before.empty()) {
        state.counters["before_ms"] = beforeTotal / n * 1e3;
        state.counters["imagemagick/before"] = beforeTotal > 0 ? theirsTotal / beforeTotal : 0;
    }
    std::filesystem::remove_all(folder);
}

// The twelve layers of the interface document.
void BM_PsdExportAgainstImageMagick(benchmark::State& state) {
    exportAgainstImageMagick(state, interfaceDocument(), "tr2_bench_gfx2d");
}
BENCHMARK(BM_PsdExportAgainstImageMagick)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

// Three full-canvas layers at 800 x 600 and 2048 x 2048.
void BM_PsdExportThreeLayers(benchmark::State& state) {
    exportAgainstImageMagick(state, threeLayerDocument(int(state.range(0)), int(state.range(1))),
                             "tr2_bench_psd3");
}
BENCHMARK(BM_PsdExportThreeLayers)
    ->Args({800, 600})
    ->Args({2048, 2048})
    ->UseManualTime()
    ->Iterations(7)
    ->Unit(benchmark::kMillisecond);

// A full 768-byte message page: 12 lines of 31 characters and a last line of 6, drawn with the
// font of the run folder's add-ons (the benchmark runs in build/run). The time includes the
// sprite flush and the frame's present, as the game pays them; BM_EmptyFrame is the frame alone.
std::string messagePage() {
    const std::string sample = utf8ToCp932(
        "春の陽ざしが窓から差しこんで、机の上の本をやわらかく照らしている。今日はどこへ出かけようか"
        "、"
        "それとも家でゆっくり過ごそうか。");
    std::string page;
    size_t at = 0;
    auto character = [&] {
        if (at + 2 > sample.size()) at = 0;
        page += sample.substr(at, 2);
        at += 2;
    };
    for (int line = 0; line < 12; ++line) {
        for (int i = 0; i < 31; ++i) character();
        page += '\n';
    }
    for (int i = 0; i < 6; ++i) character();
    return page;
}

void drawFrames(benchmark::State& state, const char* text) {
    BenchDevice device;
    if (!device.graphics.device()) {
        state.SkipWithError("no render device");
        return;
    }
    for (auto _ : state) {
        device.graphics.beginFrame(0);
        device.graphics.sprite()->Begin();
        if (text) device.graphics.drawText(30, 100, 0xFFFFFFFF, text);
        device.graphics.sprite()->End();
        device.graphics.endFrame();
    }
}

void BM_MessagePage(benchmark::State& state) {
    const std::string page = messagePage();
    drawFrames(state, page.c_str());
    state.counters["bytes"] = double(page.size());
}
BENCHMARK(BM_MessagePage)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EmptyFrame(benchmark::State& state) {
    drawFrames(state, nullptr);
}
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
}  // namespace

BENCHMARK_MAIN();
