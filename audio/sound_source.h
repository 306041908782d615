// The decoder interface the stream player reads: 16-bit PCM with a channel count and a rate.
#pragma once

#include <cstddef>

class SoundSource {
  public:
    virtual ~SoundSource() = default;
    // True when data can be read.
    virtual bool isReady() { return true; }
    // Fills up to `length` bytes; returns the bytes delivered.
    virtual size_t read(void* /*destination*/, size_t /*length*/) { return 0; }
    virtual int channels() { return 0; }
    // Samples per second.
    virtual int rate() { return 0; }
};
