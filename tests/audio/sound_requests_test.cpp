// The sound requests: channel slots, loop flags, volumes, the skip flag, stopping by an empty
// name, sound switched off, and the random voice schedules from a seeded generator.
#include "audio/sound_requests.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/settings.h"
#include "archive/catalogue.h"
#include "audio/ogg_source.h"
#include "audio/sound_system.h"
#include "platform/crt_rand.h"
#include "tests/audio/audio_fixtures.h"
#include "tests/support/test_files.h"
#include "tools/writers/archive_writer.h"

namespace {
// The runtime's generator, written out again so the test does not trust crt_rand.
struct ReferenceRand {
    uint32_t state;
    int next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }
};

class SoundRequests : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = freshTestFolder();
        const std::vector<uint8_t> music = toneOgg(0.6, 2, 44100, 220);
        const std::vector<uint8_t> blip = toneOgg(0.1, 1, 22050, 880);
        std::vector<ArchiveMember> members;
        for (const char* name : {"bgm1", "bgm2", "amb1", "amb2"})
            members.push_back(archiveMember(std::string(name) + ".ogg", bytesOf(music)));
        for (const char* name :
             {"v1", "v2", "se1", "se2", "se100", "se101", "0001", "0002", "0003", "0012", "0100"})
            members.push_back(archiveMember(std::string(name) + ".ogg", bytesOf(blip)));
        std::string error;
        std::filesystem::create_directories(folder_ / "add-ons");
        ASSERT_TRUE(writeArchiveFile(folder_ / "add-ons" / "sounds.tr2",
                                     fileListDescription(members), members, &error))
            << error;
        cwd_ = std::make_unique<ScopedCurrentPath>(folder_);
        buildCatalogue();
        resetSettings();
        Settings& s = mutableSettings();
        s.musicVolume = 90;
        s.effectsVolume = 70;
        s.voiceVolume = 40;
        auto device = std::make_unique<MixingAudioDevice>();
        device_ = device.get();
        initSoundWithDevice(std::move(device));
        system_ = soundSystem();
        ASSERT_NE(system_, nullptr);
        soundTick(0, false);
    }

    void TearDown() override {
        soundTick(0, false);
        shutdownSound();
        EXPECT_EQ(runningStreamThreads(), 0);
        cwd_.reset();
        resetSettings();
    }

    static std::string bytesOf(const std::vector<uint8_t>& v) {
        return std::string(v.begin(), v.end());
    }

    std::string nameIn(int slot) const {
        return system_->channels[slot] ? system_->channels[slot]->name : std::string();
    }

    void waitPlaying(int slot) {
        ASSERT_NE(system_->channels[slot], nullptr);
        ASSERT_TRUE(eventually([&] { return playing(system_->channels[slot]) == 1; }));
    }

    // Lets every started sound run out (the short ones drain within two seconds of mixing).
    void drain() { mixFrames(*device_, 2 * 44100 + 4096); }

    std::filesystem::path folder_;
    std::unique_ptr<ScopedCurrentPath> cwd_;
    MixingAudioDevice* device_ = nullptr;
    SoundSystem* system_ = nullptr;
};

struct RequestRow {
    const char* what;
    void (*request)(const char*);
    int slot;
    bool loops;
    int setting;  // the volume setting the request uses (see SetUp)
    bool droppedWhileSkipping;
    const char* first;
    const char* second;
};

const RequestRow kRequests[] = {
    {"playMusic", playMusic, 0, true, 90, false, "bgm1", "bgm2"},
    {"playLoopEffect", playLoopEffect, 1, true, 70, false, "amb1", "amb2"},
    {"playVoice", playVoice, 2, false, 40, true, "v1", "v2"},
    {"playEffect", playEffect, 6, false, 70, true, "se1", "se2"},
    {"playSystemEffect", playSystemEffect, 7, false, 70, true, "se100", "se101"},
};
}  // namespace

TEST_F(SoundRequests, EachRequestOwnsItsSlotLoopFlagAndVolume) {
    for (const RequestRow& r : kRequests) {
        SCOPED_TRACE(r.what);
        r.request(r.first);
        ASSERT_EQ(nameIn(r.slot), std::string(r.first) + ".ogg");
        waitPlaying(r.slot);
        SoundStream* stream = system_->channels[r.slot];
        EXPECT_EQ(stream->buffer->volume(), volumeTableEntry(r.setting) - 10000);
        EXPECT_EQ(static_cast<OggSource*>(stream->source.get())->loops(), r.loops);
        for (int other = 0; other < kChannelCount; ++other) {
            if (other != r.slot && system_->channels[other]) {
                EXPECT_NE(system_->channels[other], stream);
            }
        }

        // While skipping, voices and effects are dropped and the old sound plays on.
        soundTick(0.016f, true);
        r.request(r.second);
        const std::string expected = r.droppedWhileSkipping ? r.first : r.second;
        EXPECT_EQ(nameIn(r.slot), expected + ".ogg");
        if (r.droppedWhileSkipping) {
            EXPECT_EQ(system_->channels[r.slot], stream);
        }
        soundTick(0.016f, false);

        // A new request replaces the old sound; an empty or null name stops it.
        r.request(r.first);
        EXPECT_EQ(nameIn(r.slot), std::string(r.first) + ".ogg");
        r.request("");
        EXPECT_EQ(system_->channels[r.slot], nullptr);
        r.request(r.second);
        r.request(nullptr);
        EXPECT_EQ(system_->channels[r.slot], nullptr);
    }
    EXPECT_EQ(system_->channels[4], nullptr);
    EXPECT_EQ(system_->channels[5], nullptr);
}

TEST_F(SoundRequests, AFinishedEffectStaysInItsSlotSilent) {
    playEffect("se1");
    waitPlaying(6);
    drain();
    ASSERT_NE(system_->channels[6], nullptr);
    EXPECT_EQ(playing(system_->channels[6]), 0);
}

// scheduleVoices(0, 100, 100, 5, 15): 0100.ogg once the channel has been silent for 5 seconds,
// then again after a random 5 to 15 seconds of silence; one number drawn per voice.
TEST_F(SoundRequests, AScheduleWithOneNumberPlaysItAfterTheCountdown) {
    crtSrand(777);
    ReferenceRand rand{777};
    scheduleVoices(0, 100, 100, 5, 15);
    const VoiceSchedule& v = system_->voiceSchedules[0];
    EXPECT_EQ(v.enabled, 1);
    EXPECT_FLOAT_EQ(v.countdown, 5);
    soundTick(4.9f, false);
    EXPECT_EQ(system_->channels[2], nullptr);
    soundTick(0.2f, false);
    ASSERT_EQ(nameIn(2), "0100.ogg");
    const float next = 5 + rand.next() * (1.0f / 32767.0f) * 10;
    EXPECT_FLOAT_EQ(v.countdown, next);
    EXPECT_EQ(crtRand(), rand.next()) << "first = last draws no second number";
    EXPECT_EQ(system_->channels[2]->buffer->volume(), volumeTableEntry(40) - 10000);

    // The countdown waits while the voice plays, and runs again once it is silent.
    waitPlaying(2);
    SoundStream* voice = system_->channels[2];
    soundTick(100, false);
    EXPECT_FLOAT_EQ(v.countdown, next);
    EXPECT_EQ(system_->channels[2], voice);
    drain();
    soundTick(1, false);
    EXPECT_FLOAT_EQ(v.countdown, next - 1);
    EXPECT_EQ(system_->channels[2], voice);
    soundTick(next, true);  // skipping does not hold back a scheduled voice
    EXPECT_FLOAT_EQ(v.countdown, 5 + rand.next() * (1.0f / 32767.0f) * 10) << "a new voice";
    EXPECT_EQ(nameIn(2), "0100.ogg");
}

TEST_F(SoundRequests, ScheduleDrawsIntervalsAndNumbersFromTheGenerator) {
    crtSrand(4242);
    ReferenceRand rand{4242};
    scheduleVoices(1, 1, 3, 2, 4);  // channel 1 plays on slot 3
    const VoiceSchedule& v = system_->voiceSchedules[1];
    EXPECT_FLOAT_EQ(v.countdown, 1);
    float countdown = v.countdown;
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        soundTick(countdown + 0.01f, false);
        const float expected = 2 + rand.next() * (1.0f / 32767.0f) * 2;
        const int number = 1 + rand.next() % 3;
        char name[16];
        std::snprintf(name, sizeof name, "%04d.ogg", number);
        ASSERT_EQ(nameIn(3), name);
        ASSERT_FLOAT_EQ(v.countdown, expected);
        EXPECT_EQ(system_->channels[2], nullptr);
        countdown = v.countdown;
        waitPlaying(3);
        drain();
    }
}

TEST_F(SoundRequests, ScheduleArgumentsAreBoundedAndCanBeSwitchedOff) {
    // A shortest interval under 0.2 s becomes 0.2 s; the longest is kept, even below it.
    scheduleVoices(0, 1, 1, 0.05f, 0.1f);
    VoiceSchedule& v = system_->voiceSchedules[0];
    EXPECT_FLOAT_EQ(v.shortest, 0.2f);
    EXPECT_FLOAT_EQ(v.longest, 0.1f);
    EXPECT_FLOAT_EQ(v.countdown, 0.05f);
    crtSrand(9);
    ReferenceRand rand{9};
    soundTick(0.06f, false);
    EXPECT_FLOAT_EQ(v.countdown, 0.2f + rand.next() * (1.0f / 32767.0f) * -0.1f);
    ASSERT_EQ(nameIn(2), "0001.ogg");

    // Switching a channel off keeps its current voice.
    SoundStream* voice = system_->channels[2];
    scheduleVoices(0, -1, 5, 1, 2);
    EXPECT_EQ(v.enabled, 0);
    EXPECT_EQ(system_->channels[2], voice);
    soundTick(100, false);
    EXPECT_EQ(system_->channels[2], voice);

    // Other channels are ignored; while skipping, schedules are not changed.
    scheduleVoices(2, 1, 1, 1, 1);
    scheduleVoices(-1, 1, 1, 1, 1);
    soundTick(0, true);
    scheduleVoices(1, 12, 12, 1, 1);
    EXPECT_EQ(system_->voiceSchedules[1].enabled, 0);
    soundTick(0, false);
    scheduleVoices(1, 12, 12, 1, 3);
    EXPECT_EQ(system_->voiceSchedules[1].enabled, 1);
    soundTick(1.5f, false);
    EXPECT_EQ(nameIn(3), "0012.ogg");

    // Stopping the schedules clears every field and leaves the voices playing.
    voice = system_->channels[3];
    stopVoiceSchedules();
    for (const VoiceSchedule& s : system_->voiceSchedules) {
        EXPECT_EQ(s.enabled, 0);
        EXPECT_EQ(s.first, 0);
        EXPECT_EQ(s.last, 0);
        EXPECT_EQ(s.shortest, 0);
        EXPECT_EQ(s.longest, 0);
        EXPECT_EQ(s.countdown, 0);
    }
    EXPECT_EQ(system_->channels[3], voice);
}

TEST(SoundRequestsWithoutSound, DoNothingBeforeStartOrWithSoundOff) {
    const auto folder = freshTestFolder();
    ScopedCurrentPath cwd(folder);
    buildCatalogue();  // no archives: any file that got loaded would end the program
    resetSettings();
    auto everything = [] {
        playMusic("bgm1");
        playLoopEffect("amb1");
        playVoice("v1");
        playEffect("se1");
        playSystemEffect("se100");
        scheduleVoices(0, 1, 1, 0.2f, 0.2f);
        soundTick(10, false);
        soundTick(10, false);
        stopVoiceSchedules();
    };
    everything();  // before initSound
    mutableSettings().noSound = true;
    initSoundWithDevice(std::make_unique<MixingAudioDevice>());
    EXPECT_EQ(soundSystem(), nullptr);
    everything();
    shutdownSound();
    EXPECT_EQ(runningStreamThreads(), 0);
    resetSettings();
}
