// Frames timed in pairs, the device's picture-keeping shortcuts off then on, so that one run on
// a noisy machine gives the figure before and after and their ratio.
#pragma once

#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <cstring>

#include "platform/gl/gl_render_device.h"
#include "platform/render_device.h"

// Draws one picture with the shortcuts off and one with them on (through `draw`, which must
// not advance anything) and says whether the two back buffers are the same to the byte.
template <class Draw>
bool samePictureBothWays(RenderDevice* device, Draw&& draw) {
    auto* gl = dynamic_cast<GlRenderDevice*>(device);
    if (!gl) return false;
    BackBufferImage images[2];
    for (int on = 0; on < 2; ++on) {
        gl->setShortcuts(on != 0);
        draw();
        if (gl->readBackBuffer(&images[on]) != D3D_OK) return false;
    }
    gl->setShortcuts(true);
    return images[0].bytes == images[1].bytes;
}

// CPU time of the calling thread, in milliseconds. With LP_NUM_THREADS=0 the software
// renderer does all its work on this thread, so this is the frame's whole work whatever else
// runs on the machine; with its threads it is the part they cannot share (vertex processing,
// triangle setup, the game).
inline double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

// Each iteration runs `frame` twice, shortcuts off then on, each timed to the end of its
// rendering. Reports before_ms, after_ms and ratio = before / after, and the
// calling thread's CPU time per frame both ways (before_cpu_ms, after_cpu_ms).
template <class Frame>
void runPairedFrames(benchmark::State& state, RenderDevice* device, Frame&& frame) {
    auto* gl = dynamic_cast<GlRenderDevice*>(device);
    if (!gl) {
        state.SkipWithError("not the OpenGL device");
        return;
    }
    using Clock = std::chrono::steady_clock;
    double spent[2] = {0, 0}, cpu[2] = {0, 0};
    for (auto _ : state) {
        for (int on = 0; on < 2; ++on) {
            gl->setShortcuts(on != 0);
            const auto start = Clock::now();
            const double cpuStart = threadCpuMs();
            frame();
            gl->finish();
            spent[on] += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            cpu[on] += threadCpuMs() - cpuStart;
        }
    }
    gl->setShortcuts(true);
    const auto n = static_cast<double>(state.iterations());
    state.counters["before_ms"] = spent[0] / n;
    state.counters["after_ms"] = spent[1] / n;
    state.counters["ratio"] = spent[1] > 0 ? spent[0] / spent[1] : 0;
    state.counters["before_cpu_ms"] = cpu[0] / n;
    state.counters["after_cpu_ms"] = cpu[1] / n;
}
