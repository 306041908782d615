// The sound requests: which channel slot each one uses, at which volume, looping or not, and
// whether skipping drops it; the random voice schedules driven by the frame tick.
#include "audio/sound_requests.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "app/settings.h"
#include "audio/sound_system.h"
#include "platform/crt_rand.h"

namespace {
bool skipFlag = false;

struct ChannelRequest {
    int slot;
    bool loop;
    int (*volumeSetting)();
    bool droppedWhileSkipping;
};

constexpr ChannelRequest kMusic{0, true, musicVolume, false};
constexpr ChannelRequest kLoopEffect{1, true, effectsVolume, false};
constexpr ChannelRequest kVoice{2, false, voiceVolume, true};
constexpr ChannelRequest kEffect{6, false, effectsVolume, true};
constexpr ChannelRequest kSystemEffect{7, false, effectsVolume, true};
constexpr int kFirstVoiceSlot = 2;

// Stops what the slot plays and, for a non-empty file name, starts the file there.
void replaceChannel(SoundSystem* system, int slot, const std::string& file, bool loop, int volume) {
    if (system->channels[slot]) {
        stopStream(system->channels[slot]);
        system->channels[slot] = nullptr;
    }
    if (file.empty()) return;
    auto* stream = new SoundStream(system->device.get());
    system->channels[slot] = stream;
    startStream(stream, file.c_str(), loop, volume);
}

void request(const ChannelRequest& r, const char* name) {
    SoundSystem* system = soundSystem();
    if (!system) return;
    if (r.droppedWhileSkipping && skipFlag) return;
    const int volume = volumeTableEntry(r.volumeSetting());
    const std::string file = name && *name ? std::string(name) + ".ogg" : std::string();
    replaceChannel(system, r.slot, file, r.loop, volume);
}
}  // namespace

void playMusic(const char* name) {
    request(kMusic, name);
}
void playLoopEffect(const char* name) {
    request(kLoopEffect, name);
}
void playVoice(const char* name) {
    request(kVoice, name);
}
void playEffect(const char* name) {
    request(kEffect, name);
}
void playSystemEffect(const char* name) {
    request(kSystemEffect, name);
}

void scheduleVoices(int channel, int first, int last, float shortest, float longest) {
    SoundSystem* system = soundSystem();
    if (!system || skipFlag) return;
    if (channel < 0 || channel >= kVoiceScheduleCount) return;
    VoiceSchedule& v = system->voiceSchedules[channel];
    if (first < 0) {
        v.enabled = 0;
        return;
    }
    if (shortest < 0.2f) shortest = 0.2f;
    v.enabled = 1;
    v.first = first;
    v.last = last;
    v.shortest = shortest;
    v.longest = longest;
    v.countdown = (longest > shortest ? longest - shortest : shortest - longest) * 0.5f;
}

void stopVoiceSchedules() {
    SoundSystem* system = soundSystem();
    if (!system) return;
    for (VoiceSchedule& v : system->voiceSchedules) v = VoiceSchedule{};
}

void soundTick(float seconds, bool skipping) {
    skipFlag = skipping;
    SoundSystem* system = soundSystem();
    if (!system) return;
    for (int k = 0; k < kVoiceScheduleCount; ++k) {
        VoiceSchedule& v = system->voiceSchedules[k];
        const int slot = kFirstVoiceSlot + k;
        // The countdown runs only while the channel is silent.
        if (!v.enabled || (system->channels[slot] && playing(system->channels[slot]))) continue;
        v.countdown -= seconds;
        if (!(v.countdown < 0)) continue;
        const int r = crtRand();
        v.countdown =
            v.shortest + static_cast<float>(r) * (1.0f / 32767.0f) * (v.longest - v.shortest);
        int number = v.first;
        const int64_t span = static_cast<int64_t>(v.last) - v.first;
        if (span > 0) number = static_cast<int>(v.first + crtRand() % (span + 1));
        char file[32];
        std::snprintf(file, sizeof file, "%04d.ogg", number);
        replaceChannel(system, slot, file, false, volumeTableEntry(voiceVolume()));
    }
}
