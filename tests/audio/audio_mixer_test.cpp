// The software mixer: format conversion, volume, clipping, position notifications and locks.
#include "platform/audio_mixer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "platform/sync_event.h"

namespace {
WaveFormat pcm(int channels, int rate) { return pcmFormat(channels, rate); }

std::unique_ptr<SoundBuffer> buffer(AudioDevice& device, const WaveFormat& format, uint32_t bytes) {
    BufferDescription d;
    d.flags = DSBCAPS_LOCSOFTWARE | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPOSITIONNOTIFY;
    d.bufferBytes = bytes;
    d.format = &format;
    return device.createSoundBuffer(d);
}

void fill(SoundBuffer& b, const std::vector<int16_t>& samples) {
    void* p1;
    void* p2;
    uint32_t n1, n2;
    ASSERT_TRUE(b.lock(0, static_cast<uint32_t>(samples.size() * 2), &p1, &n1, &p2, &n2));
    ASSERT_EQ(n1, samples.size() * 2);
    std::memcpy(p1, samples.data(), n1);
    ASSERT_TRUE(b.unlock(p1, n1, p2, n2));
}

std::vector<int16_t> mix(MixingAudioDevice& device, size_t frames) {
    std::vector<int16_t> out(frames * 2);
    device.mix(out.data(), frames);
    return out;
}

int waitIndex(SyncEvent& a, SyncEvent& b, SyncEvent& c) {
    SyncEvent* events[] = {&a, &b, &c};
    return waitForAny(events, 3, 0);
}
}  // namespace

TEST(AudioMixer, CopiesAStereoBufferAtFullVolumeAndLoopsIt) {
    MixingAudioDevice device;
    auto b = buffer(device, pcm(2, 44100), 16);
    fill(*b, {1, -1, 2, -2, 3, -3, 32767, -32768});
    EXPECT_EQ(mix(device, 2), std::vector<int16_t>(4, 0)) << "not playing yet";
    ASSERT_TRUE(b->play(DSBPLAY_LOOPING));
    EXPECT_EQ(mix(device, 6),
              (std::vector<int16_t>{1, -1, 2, -2, 3, -3, 32767, -32768, 1, -1, 2, -2}));
    uint32_t play = 99, write = 99;
    ASSERT_TRUE(b->getCurrentPosition(&play, &write));
    EXPECT_EQ(play, 8u);
    b->stop();
    EXPECT_EQ(mix(device, 1), std::vector<int16_t>(2, 0));
}

TEST(AudioMixer, SpreadsMonoAndResamplesLinearly) {
    MixingAudioDevice device;
    auto b = buffer(device, pcm(1, 22050), 8);
    fill(*b, {100, 200, -400, 0});
    b->play(DSBPLAY_LOOPING);
    // Every source frame twice: itself, then halfway to the next (the last wraps to the first).
    EXPECT_EQ(mix(device, 8), (std::vector<int16_t>{100, 100, 150, 150, 200, 200, -100, -100, -400,
                                                    -400, -200, -200, 0, 0, 50, 50}));
}

TEST(AudioMixer, ScalesByVolumeAddsAndClips) {
    MixingAudioDevice device;
    auto a = buffer(device, pcm(2, 44100), 8);
    auto b = buffer(device, pcm(2, 44100), 8);
    fill(*a, {20000, -20000, 10000, 1000});
    fill(*b, {20000, -20000, -4000, 1000});
    a->play(DSBPLAY_LOOPING);
    b->play(DSBPLAY_LOOPING);
    EXPECT_EQ(mix(device, 2), (std::vector<int16_t>{32767, -32768, 6000, 2000}));
    ASSERT_TRUE(b->setVolume(-600));  // -6 dB: about half
    EXPECT_EQ(b->volume(), -600);
    const double half = std::pow(10.0, -600 / 2000.0);
    const std::vector<int16_t> out = mix(device, 2);
    EXPECT_EQ(out[0], 20000 + std::lround(20000 * half));
    EXPECT_NEAR(out[2], 10000 - 4000 * half, 1);
    ASSERT_TRUE(b->setVolume(DSBVOLUME_MIN));
    EXPECT_EQ(mix(device, 2), (std::vector<int16_t>{20000, -20000, 10000, 1000}));
    EXPECT_FALSE(b->setVolume(1));
    EXPECT_FALSE(b->setVolume(-10001));
}

TEST(AudioMixer, VolumeGainFollowsDecibels) {
    EXPECT_EQ(volumeGain(0), 65536);
    EXPECT_EQ(volumeGain(-10000), 0);
    EXPECT_EQ(volumeGain(-2000), 6554);  // -20 dB is a tenth
    EXPECT_EQ(volumeGain(-4377), std::lround(65536 * std::pow(10.0, -4377 / 2000.0)));
}

TEST(AudioMixer, SignalsPositionsAsTheCursorReachesThem) {
    MixingAudioDevice device;
    auto b = buffer(device, pcm(2, 44100), 400);  // 100 frames
    SyncEvent start, middle, stopped;
    const PositionNotify positions[] = {{0, &start}, {200, &middle}, {DSBPN_OFFSETSTOP, &stopped}};
    ASSERT_TRUE(b->setNotificationPositions(positions, 3));
    ASSERT_TRUE(b->play(DSBPLAY_LOOPING));
    EXPECT_EQ(waitIndex(start, middle, stopped), 0) << "offset 0 is reached as play starts";
    EXPECT_FALSE(b->setNotificationPositions(positions, 3)) << "only while stopped";
    mix(device, 49);
    EXPECT_EQ(waitIndex(start, middle, stopped), kWaitFailed);
    mix(device, 1);
    EXPECT_EQ(waitIndex(start, middle, stopped), 1);
    mix(device, 49);
    EXPECT_EQ(waitIndex(start, middle, stopped), kWaitFailed);
    mix(device, 2);  // wraps past the end
    EXPECT_EQ(waitIndex(start, middle, stopped), 0);
    EXPECT_EQ(waitIndex(start, middle, stopped), kWaitFailed);
    mix(device, 250);  // more than a lap: both, once each
    EXPECT_EQ(waitIndex(start, middle, stopped), 0);
    EXPECT_EQ(waitIndex(start, middle, stopped), 1);
    EXPECT_EQ(waitIndex(start, middle, stopped), kWaitFailed);
    b->stop();
    EXPECT_EQ(waitIndex(start, middle, stopped), 2);
}

TEST(AudioMixer, ANonLoopingBufferStopsAtItsEnd) {
    MixingAudioDevice device;
    auto b = buffer(device, pcm(2, 44100), 8);
    SyncEvent start, middle, stopped;
    const PositionNotify positions[] = {{DSBPN_OFFSETSTOP, &stopped}};
    ASSERT_TRUE(b->setNotificationPositions(positions, 1));
    fill(*b, {5, 6, 7, 8});
    b->play(0);
    EXPECT_EQ(mix(device, 4), (std::vector<int16_t>{5, 6, 7, 8, 0, 0, 0, 0}));
    EXPECT_EQ(waitIndex(start, middle, stopped), 2);
}

TEST(AudioMixer, LocksWrapAroundAndTakeEffectAtUnlock) {
    MixingAudioDevice device;
    auto b = buffer(device, pcm(2, 44100), 16);
    fill(*b, {1, 1, 2, 2, 3, 3, 4, 4});
    void* p1;
    void* p2;
    uint32_t n1, n2;
    ASSERT_TRUE(b->lock(12, 8, &p1, &n1, &p2, &n2));
    EXPECT_EQ(n1, 4u);
    EXPECT_EQ(n2, 4u);
    int16_t seen[4];
    std::memcpy(seen, p1, 4);
    std::memcpy(seen + 2, p2, 4);
    EXPECT_EQ(seen[0], 4);  // the region's current content
    EXPECT_EQ(seen[2], 1);
    EXPECT_FALSE(b->lock(0, 4, &p1, &n1, &p2, &n2)) << "one lock at a time";
    const int16_t nine[2] = {9, 9};
    std::memcpy(p1, nine, 4);
    std::memcpy(p2, nine, 4);
    b->play(DSBPLAY_LOOPING);
    EXPECT_EQ(mix(device, 1), (std::vector<int16_t>{1, 1})) << "not seen before unlock";
    ASSERT_TRUE(b->unlock(p1, n1, p2, n2));
    EXPECT_EQ(mix(device, 4), (std::vector<int16_t>{2, 2, 3, 3, 9, 9, 9, 9}));
    EXPECT_FALSE(b->lock(16, 4, &p1, &n1, &p2, &n2));
    EXPECT_FALSE(b->lock(0, 17, &p1, &n1, &p2, &n2));
    EXPECT_FALSE(b->lock(0, 0, &p1, &n1, &p2, &n2));
}

TEST(AudioMixer, RefusesBuffersItCannotMix) {
    MixingAudioDevice device;
    WaveFormat eightBit = pcm(1, 22050);
    eightBit.bitsPerSample = 8;
    eightBit.blockAlign = 1;
    for (const WaveFormat& f : {pcm(3, 44100), pcm(0, 44100), pcm(2, 99), pcm(2, 200001), eightBit})
        EXPECT_EQ(buffer(device, f, 4000), nullptr);
    EXPECT_EQ(buffer(device, pcm(2, 44100), 0), nullptr);
    EXPECT_EQ(buffer(device, pcm(2, 44100), 2), nullptr);
    EXPECT_NE(buffer(device, pcm(2, 200000), 800000), nullptr);

    BufferDescription primary;
    primary.flags = DSBCAPS_PRIMARYBUFFER;
    auto p = device.createSoundBuffer(primary);
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->setFormat(pcm(2, 44100)));
    EXPECT_FALSE(p->setFormat(pcm(1, 22050)));
    primary.bufferBytes = 100;
    EXPECT_EQ(device.createSoundBuffer(primary), nullptr);
}
