// Sound fixtures for the audio tests.
#include "tests/audio/audio_fixtures.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "tests/support/test_files.h"
#include "tools/writers/ogg_writer.h"

std::vector<uint8_t> toneOgg(double seconds, int channels, int rate, double frequency) {
    const std::vector<int16_t> pcm = sineTone(seconds, channels, rate, frequency, 12000);
    return writeOggVorbis(pcm.data(), pcm.size() / channels, channels, rate);
}

std::vector<int16_t> oggdecSamples(const std::vector<uint8_t>& ogg) {
    // Test programs may run side by side in one working folder: names of their own.
    static int counter = 0;
    const auto folder = std::filesystem::current_path() / "oggdec";
    std::filesystem::create_directories(folder);
    const std::string stem = std::to_string(getpid()) + "_" + std::to_string(counter++);
    const auto in = folder / (stem + ".ogg");
    const auto out = folder / (stem + ".raw");
    writeBytes(in, ogg.data(), ogg.size());
    const std::string command =
        "oggdec -Q -R -b 16 -e 0 -s 1 -o '" + out.string() + "' '" + in.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    const std::vector<uint8_t> raw = readBytes(out);
    std::filesystem::remove(in);
    std::filesystem::remove(out);
    std::vector<int16_t> samples(raw.size() / 2);
    std::memcpy(samples.data(), raw.data(), samples.size() * 2);
    return samples;
}

MemoryStream* memoryStreamOf(const std::vector<uint8_t>& bytes) {
    return new MemoryStream(fileBlock(bytes), static_cast<uint32_t>(bytes.size()));
}

std::vector<uint8_t> sampleBytes(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> bytes(samples.size() * 2);
    std::memcpy(bytes.data(), samples.data(), bytes.size());
    return bytes;
}

std::vector<int16_t> mixFrames(MixingAudioDevice& device, size_t frames) {
    std::vector<int16_t> out(frames * 2);
    for (size_t done = 0; done < frames;) {
        const size_t n = std::min<size_t>(1024, frames - done);
        EXPECT_TRUE(device.waitUntilAnswered(10000));
        device.mix(out.data() + done * 2, n);
        done += n;
    }
    EXPECT_TRUE(device.waitUntilAnswered(10000));
    return out;
}

int processThreadCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/task"))
        ++count;
    return count;
}

int settledThreadCount() {
    std::thread([] {}).join();
    return processThreadCount();
}
