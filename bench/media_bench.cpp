// Media costs: loading a 20,000-vertex model, drawModel's CPU time for a 13-part figure, and
// frames per second of that figure at 800 x 600 on the real device.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "app/settings.h"
#include "archive/catalogue.h"
#include "bench/bench_device.h"
#include "bench/bench_figure.h"
#include "bench/bench_paired.h"
#include "gfx/graphics_device.h"
#include "media/model_drawing.h"
#include "media/model_instance.h"
#include "media/motion.h"
#include "platform/null_render_device.h"
#include "platform/window.h"
#include "tools/writers/archive_writer.h"
#include "tools/writers/motion_writer.h"
#include "tools/writers/tmb_writer.h"

namespace {
char* blockOf(const std::vector<uint8_t>& bytes) {
    auto* block = static_cast<char*>(std::malloc(bytes.size() + 1));
    std::memcpy(block, bytes.data(), bytes.size());
    block[bytes.size()] = 0;
    return block;
}

Model* loadInto(RenderDevice* device, const std::vector<uint8_t>& bytes, const char* name) {
    auto* model = new Model(device);
    readModel(model, blockOf(bytes), bytes.size(), name);
    return model;
}

// The heroine-like figure: a 20,400-vertex body and twelve parts, 60 bones, a 90-frame motion.
struct Figure {
    CharacterInstance instance;
    Motion motion;
    explicit Figure(RenderDevice* device) {
        instance.body = loadInto(device, writeTmb(bodyModel()), "body.tmb");
        for (int i = 1; i <= 12; ++i) {
            instance.parts[i] = loadInto(device, writeTmb(partModel(i)), "part.tmb");
            instance.parts[i]->motionSource = instance.body;
        }
        const std::vector<uint8_t> tsb = writeTsb(swayMotion());
        readTsb(&motion, blockOf(tsb), tsb.size());
        instance.body->motion = &motion;
    }
};

void BM_ReadModel20kVertices(benchmark::State& state) {
    const std::vector<uint8_t> bytes = writeTmb(bodyModel());
    NullRenderDevice device;
    for (auto _ : state) {
        Model model(&device);
        benchmark::DoNotOptimize(readModel(&model, blockOf(bytes), bytes.size(), "body.tmb"));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ReadModel20kVertices)->Unit(benchmark::kMillisecond);

// The whole load the game does by name: archive lookup, LZSS expansion, parsing, and the
// device's texture and vertex buffer (uploaded at their first draw, not here).
void BM_LoadModelFile20kVertices(benchmark::State& state) {
    BenchDevice device(800, 600);
    if (!device.graphics.device()) {
        state.SkipWithError("no render device");
        return;
    }
    const auto previous = std::filesystem::current_path();
    const auto folder = std::filesystem::temp_directory_path() / "tr2_bench_media";
    std::filesystem::create_directories(folder / "add-ons");
    std::filesystem::current_path(folder);
    ArchiveMember body{"body.tmb", writeTmb(bodyModel()), false};
    writeArchiveFile("add-ons/bench.tr2", fileListDescription({body}), {body});
    buildCatalogue();
    for (auto _ : state) {
        Model model(device.graphics.device());
        benchmark::DoNotOptimize(loadModelFile(&model, "body.tmb"));
    }
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(folder);
    buildCatalogue();
}
BENCHMARK(BM_LoadModelFile20kVertices)->Unit(benchmark::kMillisecond);

void BM_DrawModelFigure13PartsCpu(benchmark::State& state) {
    NullRenderDevice device;
    Figure figure(&device);
    float time = 0;
    for (auto _ : state) {
        figure.instance.time = time += 0.016f;
        figure.instance.draw();
    }
}
BENCHMARK(BM_DrawModelFigure13PartsCpu)->Unit(benchmark::kMicrosecond);

// The figure on the bench device at 800 x 600, seen from the front and lit by one white
// directional light.
struct LitFigure {
    BenchDevice device{800, 600};
    RenderDevice* d = device.graphics.device();
    std::unique_ptr<Figure> figure;

    LitFigure() {
        if (!d) return;
        figure = std::make_unique<Figure>(d);
        device.graphics.setCamera(D3DXVECTOR3(0, 8, 15), D3DXVECTOR3(0, 8, 0), nullptr);
        D3DLIGHT8 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = light.Specular = {1, 1, 1, 1};
        light.Direction = {0, -1, -1};
        d->setLight(0, light);
        d->lightEnable(0, true);
    }

    // Clears and draws the figure at `time`, without presenting.
    void draw(float time) {
        figure->instance.time = time;
        device.graphics.beginFrame(0);
        d->beginScene();
        figure->instance.draw();
        d->endScene();
    }
};

// Frames of the lit, textured, skinned figure at 800 x 600: clear, draw, present.
void BM_FigureFrame800x600(benchmark::State& state) {
    LitFigure scene;
    if (!scene.d) {
        state.SkipWithError("no render device");
        return;
    }
    scene.draw(0);  // compiles the programs and uploads the buffers and textures
    scene.device.graphics.endFrame();
    float time = 0;
    for (auto _ : state) {
        scene.draw(time += 0.016f);
        scene.device.graphics.endFrame();
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FigureFrame800x600)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same frames, each to the end of its rendering, alternately without and with the
// device's shortcuts: before_ms, after_ms, their ratio, and whether the pictures are the same.
void BM_FigureFramePaired800x600(benchmark::State& state) {
    LitFigure scene;
    if (!scene.d) {
        state.SkipWithError("no render device");
        return;
    }
    state.counters["same_picture"] =
        samePictureBothWays(scene.d, [&] { scene.draw(0.5f); }) ? 1 : 0;
    float time = 0;
    runPairedFrames(state, scene.d, [&] {
        scene.draw(time += 0.008f);
        scene.device.graphics.endFrame();
    });
}
BENCHMARK(BM_FigureFramePaired800x600)->Unit(benchmark::kMillisecond)->UseRealTime();
}  // namespace

BENCHMARK_MAIN();
