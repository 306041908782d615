// The software mixer behind the audio device: secondary buffers converted to 44100 Hz stereo
// 16-bit and added. The SDL device calls mix() from its callback; tests and benchmarks drive it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/audio_device.h"

class MixingAudioDevice : public AudioDevice {
  public:
    MixingAudioDevice();
    ~MixingAudioDevice() override;

    std::unique_ptr<SoundBuffer> createSoundBuffer(const BufferDescription& description) override;

    // Writes `frames` stereo frames: every playing secondary buffer read at its play cursor,
    // resampled (linear) to 44100 Hz, mono spread to both sides, scaled by its volume, summed and
    // clipped. Advances the cursors and signals the notifications they pass.
    void mix(int16_t* out, size_t frames);

    // For callers that drive mix() themselves: waits until every buffer that has signalled an
    // offset notification has been unlocked or released since; false after timeoutMs.
    bool waitUntilAnswered(int timeoutMs);

    struct State;

  private:
    std::shared_ptr<State> state_;
};

// The linear gain of a volume in hundredths of a decibel, in 1/65536 units: 65536 at
// DSBVOLUME_MAX, 0 at DSBVOLUME_MIN.
int32_t volumeGain(int32_t volume);
