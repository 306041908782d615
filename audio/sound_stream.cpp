// Stream start, the stream thread with its half-buffer refills, and the end of a stream.
#include "audio/sound_stream.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <vector>

#include "audio/ogg_source.h"
#include "platform/ascii_text.h"

namespace {
// Every stream thread: counted while it runs, handed over to be joined when it ends.
struct StreamThreads {
    std::mutex mutex;
    std::condition_variable ended;
    std::vector<std::thread> finished;
    int running = 0;
};

StreamThreads& streamThreads() {
    // Never destroyed: a thread may still be ending while the process exits.
    static StreamThreads* threads = new StreamThreads;
    return *threads;
}

void joinFinishedThreads() {
    std::vector<std::thread> done;
    {
        std::lock_guard<std::mutex> lock(streamThreads().mutex);
        done.swap(streamThreads().finished);
    }
    for (std::thread& t : done) t.join();
}

constexpr uint32_t kStreamBufferFlags = DSBCAPS_LOCSOFTWARE | DSBCAPS_CTRLVOLUME |
                                        DSBCAPS_CTRLPOSITIONNOTIFY | DSBCAPS_GLOBALFOCUS |
                                        DSBCAPS_GETCURRENTPOSITION2;

void refill(SoundStream* s, int half) {
    std::lock_guard<std::mutex> lock(s->lock);
    const uint32_t halfSize = s->bufferSize / 2;
    void* piece[2] = {};
    uint32_t length[2] = {};
    if (!s->buffer->lock(half * halfSize, halfSize, &piece[0], &length[0], &piece[1], &length[1]))
        return;
    for (int i = 0; i < 2; ++i) {
        if (length[i] == 0) continue;
        const size_t got = s->source->read(piece[i], length[i]);
        if (got == 0) {
            if (s->endSeen)
                s->playing = 0;
            else
                s->endSeen = 1;
        }
        std::memset(static_cast<char*>(piece[i]) + got, 0, length[i] - got);
    }
    s->buffer->unlock(piece[0], length[0], piece[1], length[1]);
}

void destroyStream(SoundStream* s) {
    s->buffer->stop();
    s->source.reset();
    s->fileStream.reset();
    s->buffer.reset();
    StreamThreads& threads = streamThreads();
    {
        std::lock_guard<std::mutex> lock(threads.mutex);
        threads.finished.push_back(std::move(s->thread));
        delete s;
        --threads.running;
    }
    threads.ended.notify_all();
}

void runStream(SoundStream* s) {
    s->endSeen = 0;
    while (!s->source->isReady()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    refill(s, 0);
    s->buffer->play(DSBPLAY_LOOPING);
    s->playing = 1;
    SyncEvent* events[kStreamEventCount];
    for (int i = 0; i < kStreamEventCount; ++i) events[i] = &s->events[i];
    for (;;) {
        const int which = waitForAny(events, kStreamEventCount);
        if (which == kStartReached) {
            refill(s, 1);
        } else if (which == kMiddleReached) {
            refill(s, 0);
        } else {
            break;  // stopped, asked to stop, or the wait failed
        }
    }
    destroyStream(s);
}

}  // namespace

void startStream(SoundStream* stream, const char* name, bool loop, int volume) {
    if (!name || !*name || !endsWith(name, ".ogg")) return;
    stream->name = name;
    startStream(stream, new MemoryStream(name), loop, volume);
}

void startStream(SoundStream* stream, MemoryStream* fileStream, bool loop, int volume) {
    std::unique_ptr<MemoryStream> file(fileStream);
    joinFinishedThreads();
    if (!file || stream->thread.joinable()) return;
    bool opened = false;
    auto source = std::make_unique<OggSource>(file.get(), loop, &opened);
    if (!opened) return;
    const int channels = source->channels();
    const int rate = source->rate();
    if (channels < 1 || channels > 2 || rate < static_cast<int>(DSBFREQUENCY_MIN) ||
        rate > static_cast<int>(DSBFREQUENCY_MAX))
        return;

    std::unique_lock<std::mutex> lock(stream->lock);
    WaveFormat format = pcmFormat(channels, rate);
    const uint32_t bufferSize = 2 * format.avgBytesPerSec;  // two seconds, one per half

    BufferDescription description;
    description.flags = kStreamBufferFlags;
    description.bufferBytes = bufferSize;
    description.format = &format;
    std::unique_ptr<SoundBuffer> buffer = stream->device->createSoundBuffer(description);
    if (!buffer) return;
    buffer->setVolume(std::clamp(volume, 0, 10000) - 10000);
    for (SyncEvent& e : stream->events) e.reset();
    const PositionNotify positions[3] = {{0, &stream->events[kStartReached]},
                                         {bufferSize / 2, &stream->events[kMiddleReached]},
                                         {DSBPN_OFFSETSTOP, &stream->events[kStopped]}};
    if (!buffer->setNotificationPositions(positions, 3)) return;
    stream->buffer = std::move(buffer);
    stream->bufferSize = bufferSize;
    stream->source = std::move(source);
    stream->fileStream = std::move(file);
    lock.unlock();

    StreamThreads& threads = streamThreads();
    std::lock_guard<std::mutex> threadsLock(threads.mutex);
    ++threads.running;
    stream->thread = std::thread(runStream, stream);
}

void stopStream(SoundStream* stream) {
    if (!stream) return;
    if (!stream->thread.joinable()) {
        delete stream;
        return;
    }
    stream->events[kStopRequest].set();
}

uint8_t playing(const SoundStream* stream) {
    return stream->playing.load();
}

void waitForStreamThreads() {
    StreamThreads& threads = streamThreads();
    {
        std::unique_lock<std::mutex> lock(threads.mutex);
        threads.ended.wait(lock, [&] { return threads.running == 0; });
    }
    joinFinishedThreads();
}

int runningStreamThreads() {
    std::lock_guard<std::mutex> lock(streamThreads().mutex);
    return streamThreads().running;
}
