// The DirectSound-shaped audio device: a fixed primary format and secondary buffers that a mixer
// converts to it and adds.
#pragma once

#include <cstdint>
#include <memory>

class SyncEvent;

constexpr uint16_t WAVE_FORMAT_PCM = 1;

struct WaveFormat {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
};

// 16-bit PCM of `channels` at `rate`: block align and bytes per second follow from them.
constexpr WaveFormat pcmFormat(int channels, int rate) {
    return {WAVE_FORMAT_PCM, static_cast<uint16_t>(channels), static_cast<uint32_t>(rate),
            static_cast<uint32_t>(rate * channels * 2), static_cast<uint16_t>(channels * 2), 16};
}

// The one output format: 44100 Hz, stereo, 16-bit signed little-endian.
constexpr uint32_t kPrimaryRate = 44100;
constexpr uint16_t kPrimaryChannels = 2;

constexpr uint32_t DSBCAPS_PRIMARYBUFFER = 0x00000001;
constexpr uint32_t DSBCAPS_LOCSOFTWARE = 0x00000008;
constexpr uint32_t DSBCAPS_CTRLVOLUME = 0x00000080;
constexpr uint32_t DSBCAPS_CTRLPOSITIONNOTIFY = 0x00000100;
constexpr uint32_t DSBCAPS_GLOBALFOCUS = 0x00008000;
constexpr uint32_t DSBCAPS_GETCURRENTPOSITION2 = 0x00010000;

constexpr uint32_t DSBPLAY_LOOPING = 0x00000001;
constexpr uint32_t DSBPN_OFFSETSTOP = 0xFFFFFFFF;

constexpr int32_t DSBVOLUME_MIN = -10000;  // silence
constexpr int32_t DSBVOLUME_MAX = 0;       // full level

// Limits of a secondary buffer.
constexpr uint32_t DSBSIZE_MIN = 4;
constexpr uint32_t DSBSIZE_MAX = 0x0FFFFFFF;
constexpr uint32_t DSBFREQUENCY_MIN = 100;
constexpr uint32_t DSBFREQUENCY_MAX = 200000;

constexpr uint32_t kBufferDescriptionSize = 36;

struct BufferDescription {
    uint32_t size = kBufferDescriptionSize;
    uint32_t flags = 0;
    uint32_t bufferBytes = 0;            // 0 for the primary buffer
    const WaveFormat* format = nullptr;  // null for the primary buffer
};

// Signals `event` when the play cursor reaches `offset` (a byte offset, or DSBPN_OFFSETSTOP for
// when the buffer stops).
struct PositionNotify {
    uint32_t offset = 0;
    SyncEvent* event = nullptr;
};

// One buffer. Destroying it releases it: the mixer no longer reads it or signals its events.
class SoundBuffer {
  public:
    virtual ~SoundBuffer() = default;
    // The primary buffer only: accepts the device's own format and no other.
    virtual bool setFormat(const WaveFormat& format) = 0;
    // Gives `bytes` bytes from `offset` for writing, as two pieces when the region wraps past
    // the end (the second is null and 0 otherwise). The mixer sees the writes at unlock.
    virtual bool lock(uint32_t offset, uint32_t bytes, void** first, uint32_t* firstBytes,
                      void** second, uint32_t* secondBytes) = 0;
    virtual bool unlock(void* first, uint32_t firstBytes, void* second, uint32_t secondBytes) = 0;
    // Plays from the play cursor; with DSBPLAY_LOOPING it wraps at the end, else it stops there.
    // Notifications at the cursor's own offset are signalled at once.
    virtual bool play(uint32_t flags) = 0;
    // Stops at the play cursor and signals the DSBPN_OFFSETSTOP notifications.
    virtual bool stop() = 0;
    // Hundredths of a decibel, DSBVOLUME_MIN (silence) to DSBVOLUME_MAX (full level).
    virtual bool setVolume(int32_t volume) = 0;
    virtual int32_t volume() const = 0;
    virtual bool getCurrentPosition(uint32_t* play, uint32_t* write) const = 0;
    // Only while stopped; replaces any earlier positions.
    virtual bool setNotificationPositions(const PositionNotify* positions, int count) = 0;
};

class AudioDevice {
  public:
    virtual ~AudioDevice() = default;
    // A primary buffer (DSBCAPS_PRIMARYBUFFER, no size, no format) or a secondary buffer of 16-bit
    // PCM, 1 or 2 channels, DSBFREQUENCY_MIN to DSBFREQUENCY_MAX Hz and DSBSIZE_MIN to
    // DSBSIZE_MAX bytes; null for anything else.
    virtual std::unique_ptr<SoundBuffer> createSoundBuffer(
        const BufferDescription& description) = 0;
};

// The system's audio output through SDL (it follows SDL_AUDIODRIVER); null when there is none.
std::unique_ptr<AudioDevice> createAudioDevice();
