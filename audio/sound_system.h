// The sound system: the audio device with its primary and silent buffers, the eight channel
// slots and the voice schedules; the volume table; start-up and shut-down.
#pragma once

#include <cstdint>
#include <memory>

#include "audio/sound_stream.h"
#include "platform/audio_device.h"

class Window;

constexpr int kChannelCount = 8;
constexpr int kVoiceScheduleCount = 2;

// Random numbered voices on one voice channel.
struct VoiceSchedule {
    uint8_t enabled = 0;
    int32_t first = 0;
    int32_t last = 0;
    float shortest = 0;  // seconds, at least 0.2 once set
    float longest = 0;
    float countdown = 0;  // seconds of silence left before the next voice
};

struct SoundSystem {
    std::unique_ptr<AudioDevice> device;
    std::unique_ptr<SoundBuffer> primaryBuffer;
    std::unique_ptr<SoundBuffer> silentBuffer;  // 256 bytes of silence, looping for ever
    SoundStream* channels[kChannelCount] = {};
    VoiceSchedule voiceSchedules[kVoiceScheduleCount];
};

// Copies the no-sound setting; with sound on, creates the system on the system's audio device
// (nothing when there is none, as with no sound). Once per run; a second call keeps the system.
// SDL's audio needs no window: `window` is only the caller's.
void initSound(Window* window = nullptr);
// The same on a device the caller made (tests and benchmarks drive a MixingAudioDevice).
void initSoundWithDevice(std::unique_ptr<AudioDevice> device);
// Stops every channel from the last to the first, waits for every stream thread to end, then
// releases the silent buffer, the primary buffer and the device.
void shutdownSound();

// The system, or null before initSound, after shutdownSound, or while sound is off.
SoundSystem* soundSystem();

// 10 ^ (setting × 0.005 + 3.5) truncated, 0 for setting 0: the stream volume for a 0..100
// setting (clamped) is this minus 10000 hundredths of a decibel.
int32_t volumeTableEntry(int setting);
