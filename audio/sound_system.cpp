// Sound start-up and shut-down, and the volume table.
#include "audio/sound_system.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "app/settings.h"

namespace {
bool noSound = false;
SoundSystem* activeSystem = nullptr;

constexpr uint32_t kSilentBufferSize = 256;

std::unique_ptr<SoundSystem> createSoundSystem(std::unique_ptr<AudioDevice> device) {
    if (!device) return nullptr;
    auto system = std::make_unique<SoundSystem>();
    system->device = std::move(device);

    BufferDescription primary;
    primary.flags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_LOCSOFTWARE | DSBCAPS_CTRLVOLUME;
    system->primaryBuffer = system->device->createSoundBuffer(primary);
    if (!system->primaryBuffer) return nullptr;
    WaveFormat format = pcmFormat(2, 44100);
    if (!system->primaryBuffer->setFormat(format)) return nullptr;

    BufferDescription silent;
    silent.flags = DSBCAPS_LOCSOFTWARE | DSBCAPS_GLOBALFOCUS;
    silent.bufferBytes = kSilentBufferSize;
    silent.format = &format;
    system->silentBuffer = system->device->createSoundBuffer(silent);
    if (!system->silentBuffer) return nullptr;
    void* piece[2] = {};
    uint32_t length[2] = {};
    if (!system->silentBuffer->lock(0, kSilentBufferSize, &piece[0], &length[0], &piece[1],
                                    &length[1]))
        return nullptr;
    for (int i = 0; i < 2; ++i)
        if (piece[i]) std::memset(piece[i], 0, length[i]);
    system->silentBuffer->unlock(piece[0], length[0], piece[1], length[1]);
    system->silentBuffer->play(DSBPLAY_LOOPING);
    return system;
}

template <typename MakeDevice>
void startSound(MakeDevice makeDevice) {
    noSound = isSoundDisabled();
    if (noSound || activeSystem) return;
    // A device that cannot be opened leaves the system absent: every request does nothing.
    activeSystem = createSoundSystem(makeDevice()).release();
}
}  // namespace

int32_t volumeTableEntry(int setting) {
    static const std::array<int32_t, 101> table = [] {
        std::array<int32_t, 101> t{};
        for (int i = 0; i <= 100; ++i)
            t[i] = static_cast<int32_t>(std::pow(10.0, i * 0.5 * 0.01 + 3.5));
        t[0] = 0;
        return t;
    }();
    return table[std::clamp(setting, 0, 100)];
}

void initSound(Window*) {
    startSound([] { return createAudioDevice(); });
}

void initSoundWithDevice(std::unique_ptr<AudioDevice> device) {
    startSound([&] { return std::move(device); });
}

void shutdownSound() {
    if (noSound || !activeSystem) return;
    SoundSystem* system = activeSystem;
    for (int i = kChannelCount - 1; i >= 0; --i) {
        if (!system->channels[i]) continue;
        stopStream(system->channels[i]);
        system->channels[i] = nullptr;
    }
    // Every stream thread answers its stop request within one refill; wait for all of them
    // (also those stopped earlier) rather than for a fixed time, so none outlives the device.
    waitForStreamThreads();
    system->silentBuffer->stop();
    system->silentBuffer.reset();
    system->primaryBuffer.reset();
    system->device.reset();
    delete system;
    activeSystem = nullptr;
}

SoundSystem* soundSystem() {
    return noSound ? nullptr : activeSystem;
}
