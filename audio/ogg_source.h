// An Ogg Vorbis file decoded from memory with libvorbisfile, optionally looping.
#pragma once

#include <vorbis/vorbisfile.h>

#include "audio/memory_stream.h"
#include "audio/sound_source.h"

class OggSource final : public SoundSource {
  public:
    // Opens the decoder over `fileStream` (not owned, but its data is closed with the decoder).
    // `*opened` is false for a file that is not Ogg Vorbis or not seekable: the source then
    // reports 0 channels and rate 0 and the file's data is already released.
    OggSource(MemoryStream* fileStream, bool loop, bool* opened);
    ~OggSource() override;

    // Signed 16-bit little-endian samples, channels interleaved, whole frames only (the length
    // is rounded down to them). A looping source starts again
    // at the beginning whenever the file ends (or fails) and fills the whole request, unless a
    // pass from the beginning yields nothing; a non-looping one returns less at the end, then 0.
    size_t read(void* destination, size_t length) override;
    int channels() override;
    int rate() override;

    bool loops() const { return loop_; }

  private:
    friend struct OggCallbacks;

    MemoryStream* fileStream_;
    bool loop_;
    OggVorbis_File decoder_{};
    vorbis_info* info_ = nullptr;
};
