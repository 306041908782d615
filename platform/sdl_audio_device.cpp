// The audio device over SDL2: the mixer runs in SDL's audio callback at 44100 Hz stereo 16-bit.
#include <SDL.h>

#include "platform/audio_mixer.h"

namespace {
class SdlAudioDevice final : public MixingAudioDevice {
  public:
    ~SdlAudioDevice() override {
        // Closing waits for a running callback, so nothing mixes once the mixer goes.
        if (id_) SDL_CloseAudioDevice(id_);
        if (started_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool open() {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        started_ = true;
        SDL_AudioSpec want{};
        want.freq = static_cast<int>(kPrimaryRate);
        want.format = AUDIO_S16LSB;
        want.channels = kPrimaryChannels;
        want.samples = 1024;
        want.callback = &SdlAudioDevice::callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        // No changes allowed: SDL converts to whatever the output needs.
        id_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (!id_) return false;
        SDL_PauseAudioDevice(id_, 0);
        return true;
    }

  private:
    static void SDLCALL callback(void* self, Uint8* stream, int length) {
        static_cast<SdlAudioDevice*>(self)->mix(reinterpret_cast<int16_t*>(stream),
                                                static_cast<size_t>(length) / 4);
    }

    bool started_ = false;
    SDL_AudioDeviceID id_ = 0;
};
}  // namespace

std::unique_ptr<AudioDevice> createAudioDevice() {
    auto device = std::make_unique<SdlAudioDevice>();
    if (!device->open()) return nullptr;
    return device;
}
