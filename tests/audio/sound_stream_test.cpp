// The stream player on a mixer the test runs: output, drain, looping, volume, bad files, and
// threads that end with their streams.
#include <gtest/gtest.h>

#include <cmath>

#include "app/settings.h"
#include "audio/sound_system.h"
#include "tests/audio/audio_fixtures.h"

namespace {
SoundStream* startOn(MixingAudioDevice& device, const std::vector<uint8_t>& ogg, bool loop,
                     int volume = 10000) {
    auto* stream = new SoundStream(&device);
    startStream(stream, memoryStreamOf(ogg), loop, volume);
    return stream;
}

// Waits for the stream's first refill and Play, as the real clock would before the next mix.
void waitPlaying(SoundStream* stream) {
    ASSERT_TRUE(eventually([&] { return playing(stream) == 1; }));
}

class SoundStreamTest : public ::testing::Test {
  protected:
    void TearDown() override {
        waitForStreamThreads();
        EXPECT_EQ(runningStreamThreads(), 0);
    }
};
}  // namespace

TEST(VolumeTable, TurnsSettingsIntoAttenuation) {
    const std::pair<int, int> cases[] = {{100, 0},    {50, -4377},  {1, -6802}, {0, -10000},
                                         {90, -1088}, {-5, -10000}, {150, 0}};
    for (auto [setting, volume] : cases)
        EXPECT_EQ(volumeTableEntry(setting) - 10000, volume) << "setting " << setting;
}

TEST_F(SoundStreamTest, PlaysTheDecodedSamplesThenSilence) {
    MixingAudioDevice device;
    const std::vector<uint8_t> ogg = toneOgg(2.6, 2, 44100);
    const std::vector<int16_t> reference = oggdecSamples(ogg);
    SoundStream* stream = startOn(device, ogg, false);
    waitPlaying(stream);
    EXPECT_EQ(stream->buffer->volume(), 0);
    const std::vector<int16_t> out = mixFrames(device, 3 * 44100);
    ASSERT_GE(out.size(), reference.size());
    for (size_t i = 0; i < reference.size(); ++i) ASSERT_EQ(out[i], reference[i]) << "sample " << i;
    for (size_t i = reference.size(); i < out.size(); ++i) ASSERT_EQ(out[i], 0) << "sample " << i;
    stopStream(stream);
}

TEST_F(SoundStreamTest, SpreadsAMonoHalfRateStreamOverTwiceTheFrames) {
    MixingAudioDevice device;
    const std::vector<uint8_t> ogg = toneOgg(1.5, 1, 22050, 300);
    const std::vector<int16_t> reference = oggdecSamples(ogg);
    SoundStream* stream = startOn(device, ogg, false);
    waitPlaying(stream);
    EXPECT_EQ(stream->bufferSize, 2u * 22050 * 2);
    const std::vector<int16_t> out = mixFrames(device, 2 * 44100);
    for (size_t i = 0; i < reference.size(); ++i) {
        ASSERT_EQ(out[4 * i], reference[i]) << "frame " << i;
        ASSERT_EQ(out[4 * i + 1], reference[i]) << "frame " << i;
    }
    stopStream(stream);
}

// Half 0 gets the half second and zeros, half 1 gets nothing (end seen), and the next refill of
// half 0, when the cursor passes the middle, gets nothing again: playing turns 0.
TEST_F(SoundStreamTest, AShortEffectStopsPlayingOnTheSecondEmptyRefill) {
    MixingAudioDevice device;
    SoundStream* stream = startOn(device, toneOgg(0.5, 2, 44100), false);
    waitPlaying(stream);
    mixFrames(device, 44100 - 1024);
    EXPECT_EQ(playing(stream), 1);
    EXPECT_EQ(stream->endSeen, 1);
    mixFrames(device, 2048);
    EXPECT_EQ(playing(stream), 0);
    // A drained stream keeps looping silence and its thread until it is stopped.
    EXPECT_EQ(mixFrames(device, 3 * 44100), std::vector<int16_t>(6 * 44100, 0));
    EXPECT_EQ(runningStreamThreads(), 1);
    stopStream(stream);
}

TEST_F(SoundStreamTest, ALoopingStreamRepeatsExactlyAndNeverDrains) {
    MixingAudioDevice device;
    const std::vector<uint8_t> ogg = toneOgg(0.8, 2, 44100, 660);
    const std::vector<int16_t> once = oggdecSamples(ogg);
    SoundStream* stream = startOn(device, ogg, true);
    waitPlaying(stream);
    const std::vector<int16_t> out = mixFrames(device, 5 * 44100);
    for (size_t i = 0; i < out.size(); ++i) ASSERT_EQ(out[i], once[i % once.size()]) << i;
    EXPECT_EQ(playing(stream), 1);
    stopStream(stream);
}

TEST_F(SoundStreamTest, VolumeScalesTheStreamAndZeroStillPlaysIt) {
    MixingAudioDevice device;
    const std::vector<uint8_t> ogg = toneOgg(1.0, 2, 44100);
    const std::vector<int16_t> reference = oggdecSamples(ogg);
    for (int setting : {50, 0}) {
        SoundStream* stream = startOn(device, ogg, false, volumeTableEntry(setting));
        waitPlaying(stream);
        const int32_t volume = volumeTableEntry(setting) - 10000;
        EXPECT_EQ(stream->buffer->volume(), volume);
        const double gain = volume == -10000 ? 0 : std::pow(10.0, volume / 2000.0);
        const std::vector<int16_t> out = mixFrames(device, 44100);
        for (size_t i = 0; i < reference.size(); ++i)
            ASSERT_NEAR(out[i], reference[i] * gain, 1.0)
                << "setting " << setting << " sample " << i;
        stopStream(stream);
    }
}

TEST_F(SoundStreamTest, WhatCannotPlayLeavesNoBufferOrThread) {
    MixingAudioDevice device;
    const int threadsBefore = settledThreadCount();
    const std::vector<uint8_t> tone = toneOgg(0.3, 2, 44100);
    const std::vector<std::vector<uint8_t>> unplayable = {
        {}, std::vector<uint8_t>(3000, 7), std::vector<uint8_t>(tone.begin(), tone.begin() + 50)};
    for (const auto& bytes : unplayable) {
        SoundStream* stream = startOn(device, bytes, true);
        EXPECT_EQ(stream->buffer, nullptr);
        EXPECT_EQ(stream->source, nullptr);
        EXPECT_EQ(playing(stream), 0);
        stopStream(stream);  // frees the idle stream at once
    }
    for (const char* name : {"", "voice.wav", "voice.OGG", "ogg"}) {
        auto* stream = new SoundStream(&device);
        startStream(stream, name, false, 10000);
        EXPECT_EQ(stream->buffer, nullptr) << name;
        stopStream(stream);
    }
    EXPECT_EQ(runningStreamThreads(), 0);
    EXPECT_EQ(processThreadCount(), threadsBefore);
}

TEST_F(SoundStreamTest, StartingAndStoppingManyTimesLeavesNoThreadBehind) {
    MixingAudioDevice device;
    const int threadsBefore = settledThreadCount();
    const std::vector<uint8_t> ogg = toneOgg(1.0, 1, 22050);
    for (int i = 0; i < 40; ++i) {
        SoundStream* stream = startOn(device, ogg, i % 2 == 0);
        if (i % 3 == 0) waitPlaying(stream);
        if (i % 5 == 0) mixFrames(device, 2048);
        stopStream(stream);  // at any point of its start
    }
    waitForStreamThreads();
    EXPECT_EQ(runningStreamThreads(), 0);
    EXPECT_EQ(processThreadCount(), threadsBefore);
}

TEST_F(SoundStreamTest, ShutdownWithEveryChannelPlayingEndsEveryThread) {
    resetSettings();
    const int threadsBefore = settledThreadCount();
    auto owned = std::make_unique<MixingAudioDevice>();
    MixingAudioDevice* device = owned.get();
    initSoundWithDevice(std::move(owned));
    SoundSystem* system = soundSystem();
    ASSERT_NE(system, nullptr);
    const std::vector<uint8_t> ogg = toneOgg(0.6, 2, 44100);
    for (SoundStream*& slot : system->channels) slot = startOn(*device, ogg, true);
    for (SoundStream* slot : system->channels) waitPlaying(slot);
    mixFrames(*device, 4096);
    EXPECT_EQ(runningStreamThreads(), kChannelCount);
    shutdownSound();
    EXPECT_EQ(soundSystem(), nullptr);
    EXPECT_EQ(runningStreamThreads(), 0);
    EXPECT_EQ(processThreadCount(), threadsBefore);
}

// The same through SDL's dummy driver, whose callback mixes in real time.
TEST_F(SoundStreamTest, ShutdownOnTheSdlDeviceWhilePlaying) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    resetSettings();
    const int threadsBefore = settledThreadCount();
    initSound();
    SoundSystem* system = soundSystem();
    ASSERT_NE(system, nullptr) << "SDL_AUDIODRIVER="
                               << (getenv("SDL_AUDIODRIVER") ? getenv("SDL_AUDIODRIVER") : "");
    const std::vector<uint8_t> ogg = toneOgg(0.4, 1, 22050);
    for (int i = 0; i < kChannelCount; ++i) {
        system->channels[i] = new SoundStream(system->device.get());
        startStream(system->channels[i], memoryStreamOf(ogg), i % 2 == 0, volumeTableEntry(90));
    }
    for (SoundStream* slot : system->channels) waitPlaying(slot);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    shutdownSound();
    EXPECT_EQ(soundSystem(), nullptr);
    EXPECT_EQ(runningStreamThreads(), 0);
    EXPECT_EQ(processThreadCount(), threadsBefore);
}

TEST_F(SoundStreamTest, NoSoundSettingOrNoDeviceMeansNoSystem) {
    resetSettings();
    mutableSettings().noSound = true;
    initSoundWithDevice(std::make_unique<MixingAudioDevice>());
    EXPECT_EQ(soundSystem(), nullptr);
    shutdownSound();
    resetSettings();
    initSoundWithDevice(nullptr);
    EXPECT_EQ(soundSystem(), nullptr);
    shutdownSound();
}
