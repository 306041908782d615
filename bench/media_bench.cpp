// Media costs: loading a 20,000-vertex model, drawModel's CPU time for a 13-part figure, and
// frames per second of that figure at 800 x 600 on the real device.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "bench/bench_device.h"
#include "app/settings.h"
#include "archive/catalogue.h"
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
constexpr int kBones = 60;

// A closed cylinder wall around the y axis from y0 to y1, skinned along a chain of bones by
// height (each vertex between two neighbouring bones), textured and one-sided.
TmbMesh cylinder(const char* name, float radius, float y0, float y1, int rings, int segments) {
    TmbMesh mesh;
    mesh.name = name;
    auto at = [&](int ring, int segment) {
        const float t = static_cast<float>(ring) / rings;
        const float a = 6.2831853f * static_cast<float>(segment) / segments;
        TmbVertex v;
        v.position = {radius * std::cos(a), y0 + (y1 - y0) * t, radius * std::sin(a)};
        v.normal = {std::cos(a), 0, std::sin(a)};
        const float bone = (y0 + (y1 - y0) * t) / 16.0f * (kBones - 1);
        const int b0 = std::clamp(static_cast<int>(bone), 0, kBones - 2);
        v.bones = {static_cast<uint8_t>(b0), static_cast<uint8_t>(b0 + 1), 0, 0};
        const float w = std::clamp(1.0f - (bone - static_cast<float>(b0)), 0.0f, 1.0f);
        v.weights = {w, 1 - w, 0};
        v.uv = {static_cast<float>(segment) / segments, t};
        v.colour = 0xFFFFFFFF;
        return v;
    };
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < segments; ++s) {
            const TmbVertex a = at(r, s), b = at(r, s + 1), c = at(r + 1, s + 1), d = at(r + 1, s);
            mesh.vertices.insert(mesh.vertices.end(), {a, c, b, a, d, c});
        }
    mesh.ranges = {{0, 0, static_cast<int32_t>(mesh.vertices.size() / 3)}};
    return mesh;
}

TmbModel figureModel(const char* name, float radius, float y0, float y1, int rings, int segments) {
    TmbModel m;
    TmbTexture t{"skin", 256, 256, {}};
    t.argb.resize(256 * 256);
    for (size_t i = 0; i < t.argb.size(); ++i)
        t.argb[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
    m.textures = {t};
    TmbMaterial material;
    material.specular = {0.3f, 0.3f, 0.3f, 1};
    material.power = 12;
    m.materials = {material};
    m.meshes = {cylinder(name, radius, y0, y1, rings, segments)};
    for (int b = 0; b < kBones; ++b) {
        Matrix16 offset = identity16();
        offset[13] = -16.0f * b / (kBones - 1);
        m.boneOffsets.push_back(offset);
    }
    return m;
}

// 20,400 vertices: 100 rings of 34 segments.
TmbModel bodyModel() {
    return figureModel("body", 1.5f, 0, 16, 100, 34);
}

// Twelve costume parts over parts of the height, about 6,000 vertices each.
TmbModel partModel(int i) {
    const float y0 = static_cast<float>(i % 6) * 2.5f;
    return figureModel("part", 1.55f + 0.02f * static_cast<float>(i), y0, y0 + 3.0f, 30, 34);
}

MotionData swayMotion() {
    MotionData m;
    m.boneCount = kBones;
    m.frameCount = 90;
    for (int f = 0; f < 90; ++f)
        for (int b = 0; b < kBones; ++b) {
            Matrix16 r = identity16();
            const float a = 0.004f * b * std::sin(f * 0.07f);
            r[0] = std::cos(a), r[1] = std::sin(a), r[4] = -std::sin(a), r[5] = std::cos(a);
            r[13] = 16.0f * b / (kBones - 1);
            m.matrices.push_back(r);
        }
    return m;
}

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

// Frames of the lit, textured, skinned figure at 800 x 600: clear, draw, present.
void BM_FigureFrame800x600(benchmark::State& state) {
    BenchDevice device(800, 600);
    if (!device.graphics.device()) {
        state.SkipWithError("no render device");
        return;
    }
    RenderDevice* d = device.graphics.device();
    Figure figure(d);
    device.graphics.setCamera(D3DXVECTOR3(0, 8, 15), D3DXVECTOR3(0, 8, 0), nullptr);
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = light.Specular = {1, 1, 1, 1};
    light.Direction = {0, -1, -1};
    d->setLight(0, light);
    d->lightEnable(0, true);
    auto frame = [&] {
        device.graphics.beginFrame(0);
        d->beginScene();
        figure.instance.draw();
        d->endScene();
        device.graphics.endFrame();
    };
    frame();  // compiles the programs and uploads the buffers and textures
    float time = 0;
    for (auto _ : state) {
        figure.instance.time = time += 0.016f;
        device.graphics.beginFrame(0);
        d->beginScene();
        figure.instance.draw();
        d->endScene();
        device.graphics.endFrame();
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FigureFrame800x600)->Unit(benchmark::kMillisecond)->UseRealTime();
}  // namespace

BENCHMARK_MAIN();
