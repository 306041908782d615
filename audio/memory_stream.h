// A whole sound file held in memory, served by read, seek and tell.
#pragma once

#include <cstddef>
#include <cstdint>

class MemoryStream {
  public:
    // Loads the archive file `name` (the program ends when no archive offers it).
    explicit MemoryStream(const char* name);
    // Takes over `data`, a malloc buffer of at least `size` bytes (null for no data).
    MemoryStream(char* data, uint32_t size);
    ~MemoryStream();
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;

    // Copies up to `length` bytes from the position and advances it; 0 once the data is closed.
    size_t read(void* destination, size_t length);
    // Nothing is written.
    size_t write(const void* source, size_t length);
    // Frees the data; reads return 0 afterwards.
    void close();
    // origin 0: from the start, 1: from the position, 2: from the end; the result is clamped to
    // the size (an unsigned position, so stepping back past the start lands at the end). Returns
    // the new position, or -1 for another origin (the position stays).
    int64_t seek(int32_t offset, int origin);
    uint32_t tell() const { return position_; }
    void rewind() { position_ = 0; }

    uint32_t size() const { return size_; }

  private:
    char* data_ = nullptr;
    uint32_t position_ = 0;
    uint32_t size_ = 0;
};
