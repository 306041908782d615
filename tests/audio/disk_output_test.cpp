// What SDL's disk driver writes while a stream plays: the decoded samples at full volume, the
// same scaled by the volume below it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "app/settings.h"
#include "audio/sound_system.h"
#include "tests/audio/audio_fixtures.h"
#include "tests/support/test_files.h"

namespace {
// Where the expected samples start in the output: after whole frames of silence, at the first
// sample loud enough to tell apart.
size_t findStart(const std::vector<int16_t>& out, const std::vector<int16_t>& expected) {
    auto loud = [](const std::vector<int16_t>& v) {
        for (size_t i = 0; i < v.size(); ++i)
            if (std::abs(v[i]) >= 8) return i;
        return v.size();
    };
    const size_t inOut = loud(out);
    const size_t inExpected = loud(expected);
    if (inOut >= out.size() || inOut < inExpected) return SIZE_MAX;
    return inOut - inExpected;
}

class DiskOutput : public ::testing::TestWithParam<int> {};
}  // namespace

TEST_P(DiskOutput, HoldsTheDecodedSamplesAtTheVolume) {
    const int setting = GetParam();
    const auto folder = freshTestFolder();
    const auto file = folder / "mixed.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    resetSettings();
    initSound();
    SoundSystem* system = soundSystem();
    ASSERT_NE(system, nullptr);

    const std::vector<uint8_t> ogg = toneOgg(1.2, 2, 44100, 500);
    const std::vector<int16_t> decoded = oggdecSamples(ogg);
    system->channels[0] = new SoundStream(system->device.get());
    SoundStream* stream = system->channels[0];
    startStream(stream, memoryStreamOf(ogg), false, volumeTableEntry(setting));
    ASSERT_TRUE(eventually([&] { return playing(stream) == 1; }));
    ASSERT_TRUE(eventually([&] { return playing(stream) == 0; }, 20));
    shutdownSound();

    const std::vector<uint8_t> raw = readBytes(file);
    std::vector<int16_t> out(raw.size() / 2);
    std::memcpy(out.data(), raw.data(), out.size() * 2);
    const double gain = std::pow(10.0, (volumeTableEntry(setting) - 10000) / 2000.0);
    std::vector<int16_t> expected(decoded.size());
    for (size_t i = 0; i < decoded.size(); ++i)
        expected[i] = static_cast<int16_t>(std::lround(decoded[i] * gain));

    const size_t start = findStart(out, expected);
    ASSERT_NE(start, SIZE_MAX);
    ASSERT_EQ(start % 2, 0u) << "the stream starts on a whole frame";
    ASSERT_GE(out.size(), start + expected.size());
    for (size_t i = 0; i < start; ++i) ASSERT_EQ(out[i], 0) << "silence before, sample " << i;
    for (size_t i = 0; i < expected.size(); ++i) {
        if (setting == 100)
            ASSERT_EQ(out[start + i], decoded[i]) << "sample " << i;
        else
            ASSERT_NEAR(out[start + i], expected[i], 1) << "sample " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Settings, DiskOutput, ::testing::Values(100, 80, 50));
