// Audio benchmarks: the CPU that streams cost per second of sound (decoding on the stream threads
// and mixing), measured over the whole process.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "audio/sound_stream.h"
#include "audio/sound_system.h"
#include "platform/audio_mixer.h"
#include "tools/writers/ogg_writer.h"

namespace {
struct StreamFormat {
    int channels;
    int rate;
    double frequency;
};

MemoryStream* encodedTone(const StreamFormat& f) {
    const std::vector<int16_t> pcm = sineTone(7.3, f.channels, f.rate, f.frequency, 9000);
    const std::vector<uint8_t> ogg =
        writeOggVorbis(pcm.data(), pcm.size() / f.channels, f.channels, f.rate);
    char* data = static_cast<char*>(std::malloc(ogg.size() + 1));
    std::memcpy(data, ogg.data(), ogg.size());
    return new MemoryStream(data, static_cast<uint32_t>(ogg.size()));
}

// One iteration is one second of output: 44100 frames mixed in blocks of 1024, as SDL asks for
// them, with every refill the stream threads owe done before the next block.
void mixOneSecond(MixingAudioDevice& device, std::vector<int16_t>& block) {
    for (size_t done = 0; done < 44100; done += 1024) {
        device.waitUntilAnswered(10000);
        device.mix(block.data(), std::min<size_t>(1024, 44100 - done));
    }
}

void runStreams(benchmark::State& state, const std::vector<StreamFormat>& formats) {
    MixingAudioDevice device;
    std::vector<SoundStream*> streams;
    for (const StreamFormat& f : formats) {
        auto* stream = new SoundStream(&device);
        startStream(stream, encodedTone(f), true, volumeTableEntry(90));
        streams.push_back(stream);
    }
    for (SoundStream* s : streams)
        while (!playing(s)) std::this_thread::yield();
    std::vector<int16_t> block(1024 * 2);
    for (auto _ : state) {
        mixOneSecond(device, block);
        benchmark::DoNotOptimize(block.data());
    }
    for (SoundStream* s : streams) stopStream(s);
    waitForStreamThreads();
    state.counters["sound_s"] = benchmark::Counter(static_cast<double>(state.iterations()));
}

// Two 44.1 kHz stereo and two 22.05 kHz mono streams at once.
void BM_FourStreamsPerSecondOfSound(benchmark::State& state) {
    runStreams(state, {{2, 44100, 440}, {2, 44100, 523}, {1, 22050, 330}, {1, 22050, 262}});
}
BENCHMARK(BM_FourStreamsPerSecondOfSound)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The mixer alone: four buffers of the same formats, nothing to decode.
void BM_MixFourBuffersPerSecondOfSound(benchmark::State& state) {
    MixingAudioDevice device;
    std::vector<std::unique_ptr<SoundBuffer>> buffers;
    for (auto [channels, rate] : {std::pair{2, 44100}, {2, 44100}, {1, 22050}, {1, 22050}}) {
        WaveFormat f = pcmFormat(channels, rate);
        BufferDescription d;
        d.flags = DSBCAPS_CTRLVOLUME;
        d.bufferBytes = 2 * f.avgBytesPerSec;
        d.format = &f;
        buffers.push_back(device.createSoundBuffer(d));
        buffers.back()->setVolume(volumeTableEntry(90) - 10000);
        buffers.back()->play(DSBPLAY_LOOPING);
    }
    std::vector<int16_t> block(1024 * 2);
    for (auto _ : state) {
        mixOneSecond(device, block);
        benchmark::DoNotOptimize(block.data());
    }
}
BENCHMARK(BM_MixFourBuffersPerSecondOfSound)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
