// Software secondary buffers and their mixing. One lock guards the buffer list and every
// buffer's state; lock() hands out a private copy of the region, so writers never touch memory
// the mixer is reading.
#include "platform/audio_mixer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/sync_event.h"

class MixerBuffer;

struct MixingAudioDevice::State {
    std::mutex mutex;
    std::condition_variable answered;
    std::vector<MixerBuffer*> buffers;  // secondary buffers, in creation order
    std::vector<int32_t> sums;
};

namespace {
constexpr int32_t kUnityGain = 65536;

bool isValidSecondaryFormat(const WaveFormat& f) {
    return f.formatTag == WAVE_FORMAT_PCM && f.bitsPerSample == 16 &&
           (f.channels == 1 || f.channels == 2) && f.samplesPerSec >= DSBFREQUENCY_MIN &&
           f.samplesPerSec <= DSBFREQUENCY_MAX && f.blockAlign == f.channels * 2;
}
}  // namespace

int32_t volumeGain(int32_t volume) {
    volume = std::clamp(volume, DSBVOLUME_MIN, DSBVOLUME_MAX);
    if (volume == DSBVOLUME_MIN) return 0;
    return static_cast<int32_t>(std::lround(kUnityGain * std::pow(10.0, volume / 2000.0)));
}

class MixerBuffer final : public SoundBuffer {
  public:
    MixerBuffer(std::shared_ptr<MixingAudioDevice::State> state, bool primary,
                const WaveFormat& format, uint32_t bytes)
        : state_(std::move(state)), primary_(primary), format_(format), bytes_(bytes) {
        if (primary_) return;
        samples_.assign((bytes_ + 1) / 2, 0);
        frames_ = bytes_ / format_.blockAlign;
        step_ = (static_cast<uint64_t>(format_.samplesPerSec) << 32) / kPrimaryRate;
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->buffers.push_back(this);
    }

    ~MixerBuffer() override {
        if (primary_) return;
        {
            std::lock_guard<std::mutex> lock(state_->mutex);
            auto& list = state_->buffers;
            list.erase(std::find(list.begin(), list.end(), this));
        }
        state_->answered.notify_all();
    }

    bool setFormat(const WaveFormat& f) override {
        return primary_ && f.formatTag == WAVE_FORMAT_PCM && f.channels == kPrimaryChannels &&
               f.samplesPerSec == kPrimaryRate && f.bitsPerSample == 16 && f.blockAlign == 4 &&
               f.avgBytesPerSec == kPrimaryRate * 4;
    }

    bool lock(uint32_t offset, uint32_t bytes, void** first, uint32_t* firstBytes, void** second,
              uint32_t* secondBytes) override {
        if (!first || !firstBytes) return false;
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (primary_ || locked_ || offset >= bytes_ || bytes == 0 || bytes > bytes_) return false;
        const uint32_t head = std::min(bytes, bytes_ - offset);
        if (bytes > head && (!second || !secondBytes)) return false;
        staging_.resize(bytes);
        std::memcpy(staging_.data(), data() + offset, head);
        std::memcpy(staging_.data() + head, data(), bytes - head);
        locked_ = true;
        lockOffset_ = offset;
        lockBytes_ = bytes;
        *first = staging_.data();
        *firstBytes = head;
        if (second) *second = bytes > head ? staging_.data() + head : nullptr;
        if (secondBytes) *secondBytes = bytes - head;
        return true;
    }

    bool unlock(void* first, uint32_t firstBytes, void* second, uint32_t secondBytes) override {
        {
            std::lock_guard<std::mutex> lock(state_->mutex);
            if (!locked_ || first != staging_.data()) return false;
            const uint32_t head = std::min(lockBytes_, bytes_ - lockOffset_);
            if (firstBytes > head || secondBytes > lockBytes_ - head) return false;
            if (secondBytes && second != staging_.data() + head) return false;
            std::memcpy(data() + lockOffset_, staging_.data(), firstBytes);
            std::memcpy(data(), staging_.data() + head, secondBytes);
            locked_ = false;
            awaitingAnswer_ = false;
        }
        state_->answered.notify_all();
        return true;
    }

    bool play(uint32_t flags) override {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (primary_) return true;
        looping_ = (flags & DSBPLAY_LOOPING) != 0;
        if (playing_) return true;
        playing_ = true;
        // The cursor is at the notification offsets that equal its own position: reached now.
        const uint32_t at = cursorFrame();
        for (const PositionNotify& n : notifications_)
            if (n.offset != DSBPN_OFFSETSTOP && notifyFrame(n.offset) == at) signal(n);
        return true;
    }

    bool stop() override {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (primary_) return true;
        halt();
        return true;
    }

    bool setVolume(int32_t volume) override {
        if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return false;
        std::lock_guard<std::mutex> lock(state_->mutex);
        volume_ = volume;
        gain_ = volumeGain(volume);
        return true;
    }

    int32_t volume() const override {
        std::lock_guard<std::mutex> lock(state_->mutex);
        return volume_;
    }

    bool getCurrentPosition(uint32_t* play, uint32_t* write) const override {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (primary_) return false;
        const uint32_t at = cursorFrame() * format_.blockAlign;
        if (play) *play = at;
        if (write) *write = at;  // everything past the cursor is still unread
        return true;
    }

    bool setNotificationPositions(const PositionNotify* positions, int count) override {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (primary_ || playing_ || count < 0 || (count > 0 && !positions)) return false;
        for (int i = 0; i < count; ++i) {
            if (!positions[i].event) return false;
            if (positions[i].offset != DSBPN_OFFSETSTOP && positions[i].offset >= bytes_)
                return false;
        }
        notifications_.assign(positions, positions + count);
        return true;
    }

    // Adds `frames` output frames of this buffer to `sums`; called with the state locked.
    void mixInto(int32_t* sums, size_t frames) {
        if (!playing_ || frames_ == 0) return;
        const uint64_t end = static_cast<uint64_t>(frames_) << 32;
        const uint32_t startFrame = cursorFrame();
        uint64_t laps = 0;
        const int16_t* s = samples_.data();
        const int channels = format_.channels;
        const int64_t gain = gain_;
        for (size_t i = 0; i < frames; ++i) {
            const uint32_t frame = static_cast<uint32_t>(position_ >> 32);
            const int64_t frac = static_cast<uint32_t>(position_);
            uint32_t next = frame + 1;
            if (next == frames_) next = looping_ ? 0 : frame;
            for (int c = 0; c < 2; ++c) {
                const int ch = channels == 2 ? c : 0;
                const int64_t a = s[frame * channels + ch];
                const int64_t b = s[next * channels + ch];
                const int64_t v = a + (((b - a) * frac) >> 32);
                sums[2 * i + c] += static_cast<int32_t>((v * gain + 0x8000) >> 16);
            }
            position_ += step_;
            if (position_ >= end) {
                if (!looping_) {
                    position_ = 0;
                    halt();
                    break;
                }
                position_ -= end;
                ++laps;
            }
        }
        if (!playing_) return;
        const uint64_t passed = laps * frames_ + cursorFrame() - startFrame;
        if (passed == 0) return;
        for (const PositionNotify& n : notifications_) {
            if (n.offset == DSBPN_OFFSETSTOP) continue;
            const uint64_t ahead = (notifyFrame(n.offset) + frames_ - startFrame) % frames_;
            if (passed >= frames_ || (ahead != 0 && ahead <= passed)) signal(n);
        }
    }

    bool awaitingAnswer() const { return awaitingAnswer_; }

  private:
    uint8_t* data() { return reinterpret_cast<uint8_t*>(samples_.data()); }
    uint32_t cursorFrame() const { return static_cast<uint32_t>(position_ >> 32); }
    // The frame at which the cursor has reached a byte offset.
    uint32_t notifyFrame(uint32_t offset) const {
        const uint32_t frame = (offset + format_.blockAlign - 1) / format_.blockAlign;
        return frame >= frames_ ? 0 : frame;
    }
    void signal(const PositionNotify& n) {
        n.event->set();
        if (n.offset != DSBPN_OFFSETSTOP) awaitingAnswer_ = true;
    }
    void halt() {
        if (!playing_) return;
        playing_ = false;
        for (const PositionNotify& n : notifications_)
            if (n.offset == DSBPN_OFFSETSTOP) signal(n);
    }

    std::shared_ptr<MixingAudioDevice::State> state_;
    const bool primary_;
    const WaveFormat format_;
    const uint32_t bytes_;
    std::vector<int16_t> samples_;  // the buffer's bytes, as 16-bit samples
    uint32_t frames_ = 0;
    uint64_t step_ = 0;      // source frames per output frame, 32.32 fixed point
    uint64_t position_ = 0;  // play cursor in source frames, 32.32 fixed point
    bool playing_ = false;
    bool looping_ = false;
    int32_t volume_ = DSBVOLUME_MAX;
    int32_t gain_ = kUnityGain;
    std::vector<PositionNotify> notifications_;
    std::vector<uint8_t> staging_;
    bool locked_ = false;
    uint32_t lockOffset_ = 0;
    uint32_t lockBytes_ = 0;
    bool awaitingAnswer_ = false;
};

MixingAudioDevice::MixingAudioDevice() : state_(std::make_shared<State>()) {}

MixingAudioDevice::~MixingAudioDevice() = default;

std::unique_ptr<SoundBuffer> MixingAudioDevice::createSoundBuffer(const BufferDescription& d) {
    if (d.size != kBufferDescriptionSize) return nullptr;
    if (d.flags & DSBCAPS_PRIMARYBUFFER) {
        if (d.bufferBytes != 0 || d.format) return nullptr;
        const WaveFormat primary = pcmFormat(kPrimaryChannels, kPrimaryRate);
        return std::make_unique<MixerBuffer>(state_, true, primary, 0);
    }
    if (!d.format || !isValidSecondaryFormat(*d.format)) return nullptr;
    if (d.bufferBytes < DSBSIZE_MIN || d.bufferBytes > DSBSIZE_MAX ||
        d.bufferBytes < d.format->blockAlign)
        return nullptr;
    return std::make_unique<MixerBuffer>(state_, false, *d.format, d.bufferBytes);
}

void MixingAudioDevice::mix(int16_t* out, size_t frames) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    std::vector<int32_t>& sums = state_->sums;
    sums.assign(frames * 2, 0);
    for (MixerBuffer* b : state_->buffers) b->mixInto(sums.data(), frames);
    for (size_t i = 0; i < frames * 2; ++i)
        out[i] = static_cast<int16_t>(std::clamp<int32_t>(sums[i], -32768, 32767));
}

bool MixingAudioDevice::waitUntilAnswered(int timeoutMs) {
    std::unique_lock<std::mutex> lock(state_->mutex);
    return state_->answered.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        for (const MixerBuffer* b : state_->buffers)
            if (b->awaitingAnswer()) return false;
        return true;
    });
}
