// One playing sound file: its two-second device buffer refilled half by half from a thread of
// its own, which frees the stream after a stop request.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "audio/memory_stream.h"
#include "audio/sound_source.h"
#include "platform/audio_device.h"
#include "platform/sync_event.h"

// A stream's events, in order: the play cursor reached offset 0, reached the middle, the buffer
// stopped, and the owner asked the stream to end.
enum StreamEvent { kStartReached, kMiddleReached, kStopped, kStopRequest, kStreamEventCount };

struct SoundStream {
    explicit SoundStream(AudioDevice* device) : device(device) {}

    AudioDevice* device;                  // not owned
    std::unique_ptr<SoundBuffer> buffer;  // with its position notifications
    std::mutex lock;                      // serialises the buffer set-up and the refills
    SyncEvent events[kStreamEventCount];
    std::thread thread;  // joinable once started; the thread hands itself over when it ends
    uint32_t bufferSize = 0;
    std::unique_ptr<SoundSource> source;
    std::unique_ptr<MemoryStream> fileStream;
    std::atomic<uint8_t> playing{0};  // written by the stream thread, read by the owner unlocked
    uint8_t endSeen = 0;
    std::string name;  // the file it plays
};

// Plays the archive file `name` when it ends in ".ogg" and decodes as Ogg Vorbis; otherwise the
// stream stays idle. `volume` is a volume table entry, clamped to 0..10000.
void startStream(SoundStream* stream, const char* name, bool loop, int volume);
// The same over a file already in memory; takes over `fileStream`.
void startStream(SoundStream* stream, MemoryStream* fileStream, bool loop, int volume);
// Asks a started stream's thread to end; it releases everything and frees the stream. An idle
// stream (never started, or its file could not be played) is freed at once. The caller must not
// touch the stream afterwards.
void stopStream(SoundStream* stream);
// 1 from the first refill until the source has given nothing on two refills in a row.
uint8_t playing(const SoundStream* stream);

// Blocks until every stream thread has ended, and joins them.
void waitForStreamThreads();
// Stream threads started and not yet ended.
int runningStreamThreads();
