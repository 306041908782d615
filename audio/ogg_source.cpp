// Ogg Vorbis decoding over a memory stream through libvorbisfile's callbacks.
#include "audio/ogg_source.h"

#include <climits>

struct OggCallbacks {
    static size_t read(void* buffer, size_t elementSize, size_t count, void* source) {
        if (elementSize == 0 || count > SIZE_MAX / elementSize) return 0;
        return static_cast<OggSource*>(source)->fileStream_->read(buffer, elementSize * count);
    }
    static int seek(void* source, ogg_int64_t offset, int origin) {
        const auto low = static_cast<int32_t>(static_cast<uint32_t>(offset));
        return static_cast<OggSource*>(source)->fileStream_->seek(low, origin) >= 0 ? 0 : -1;
    }
    static int close(void* source) {
        static_cast<OggSource*>(source)->fileStream_->close();
        return 0;
    }
    static long tell(void* source) {
        return static_cast<long>(static_cast<OggSource*>(source)->fileStream_->tell());
    }
};

OggSource::OggSource(MemoryStream* fileStream, bool loop, bool* opened)
    : fileStream_(fileStream), loop_(loop) {
    *opened = false;
    const ov_callbacks callbacks{&OggCallbacks::read, &OggCallbacks::seek, &OggCallbacks::close,
                                 &OggCallbacks::tell};
    if (ov_open_callbacks(this, &decoder_, nullptr, 0, callbacks) < 0) {
        // A failed open leaves the data source alone: release its data here.
        fileStream_->close();
        return;
    }
    if (!ov_seekable(&decoder_)) {
        ov_clear(&decoder_);
        return;
    }
    info_ = ov_info(&decoder_, -1);
    *opened = info_ != nullptr;
    if (!info_) ov_clear(&decoder_);
}

OggSource::~OggSource() {
    if (info_) ov_clear(&decoder_);
}

size_t OggSource::read(void* destination, size_t length) {
    if (!info_ || info_->channels <= 0) return 0;
    // Whole frames only: the decoder gives nothing for a part of one, which would look like
    // the end of the file.
    length -= length % (static_cast<size_t>(info_->channels) * 2);
    char* out = static_cast<char*>(destination);
    size_t total = 0;
    // Bytes delivered since the last restart: a loop that restarts without any is a file that
    // yields no samples at all, and would otherwise spin here for ever.
    size_t sinceRestart = 0;
    bool restarted = false;
    while (length > 0) {
        const int chunk = length > INT_MAX ? INT_MAX : static_cast<int>(length);
        const long n = ov_read(&decoder_, out, chunk, 0, 2, 1, nullptr);
        if (n > 0) {
            out += n;
            length -= static_cast<size_t>(n);
            total += static_cast<size_t>(n);
            sinceRestart += static_cast<size_t>(n);
            continue;
        }
        if (!loop_ || (restarted && sinceRestart == 0)) break;
        if (ov_time_seek(&decoder_, 0.0) != 0) break;
        restarted = true;
        sinceRestart = 0;
    }
    return total;
}

int OggSource::channels() {
    return info_ ? info_->channels : 0;
}

int OggSource::rate() {
    return info_ ? static_cast<int>(info_->rate) : 0;
}
