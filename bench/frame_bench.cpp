// The frame loop's cost: one idle pass (clear, camera transforms, present) and the sprite path.
#include <benchmark/benchmark.h>

#include "bench/bench_device.h"
#include "app/settings.h"
#include "archive/catalogue.h"
#include "gfx/graphics_device.h"
#include "platform/d3dx8_math.h"
#include "platform/window.h"

namespace {
void BM_IdleFramePass(benchmark::State& state) {
    BenchDevice device(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    if (!device.graphics.device()) {
        state.SkipWithError("no render device");
        return;
    }
    for (auto _ : state) {
        device.graphics.beginFrame(0);
        device.graphics.endFrame();
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                               benchmark::Counter::kIsRate);
}
BENCHMARK(BM_IdleFramePass)->Args({800, 600})->Args({1024, 768})->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SpriteQuads(benchmark::State& state) {
    BenchDevice device(800, 600);
    if (!device.graphics.device()) {
        state.SkipWithError("no render device");
        return;
    }
    std::unique_ptr<Texture> texture;
    device.graphics.device()->createTexture(32, 32, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture);
    const int quads = static_cast<int>(state.range(0));
    for (auto _ : state) {
        device.graphics.beginFrame(0);
        device.graphics.sprite()->Begin();
        for (int i = 0; i < quads; ++i) {
            const D3DXVECTOR2 at{static_cast<float>((i * 25) % 800), static_cast<float>((i / 32) * 29 % 600)};
            device.graphics.sprite()->Draw(texture.get(), nullptr, nullptr, nullptr, 0, &at, 0xFFFFFFFF);
        }
        device.graphics.sprite()->End();
        device.graphics.endFrame();
    }
}
BENCHMARK(BM_SpriteQuads)->Arg(64)->Arg(1024)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MatrixMultiply(benchmark::State& state) {
    D3DXMATRIX a, b, out;
    D3DXMatrixRotationY(&a, 0.3f);
    D3DXMatrixTranslation(&b, 1, 2, 3);
    for (auto _ : state) {
        D3DXMatrixMultiply(&out, &a, &b);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_MatrixMultiply);
}  // namespace

BENCHMARK_MAIN();
