// The in-memory file stream that the Ogg decoder reads.
#include "audio/memory_stream.h"

#include <cstdlib>
#include <cstring>

MemoryStream::MemoryStream(char* data, uint32_t size) : data_(data), size_(data ? size : 0) {}

MemoryStream::~MemoryStream() {
    close();
}

size_t MemoryStream::read(void* destination, size_t length) {
    if (!data_) return 0;
    const size_t left = size_ - position_;
    if (length > left) length = left;
    std::memcpy(destination, data_ + position_, length);
    position_ += static_cast<uint32_t>(length);
    return length;
}

size_t MemoryStream::write(const void*, size_t) {
    return 0;
}

void MemoryStream::close() {
    std::free(data_);
    data_ = nullptr;
}

int64_t MemoryStream::seek(int32_t offset, int origin) {
    const uint32_t step = static_cast<uint32_t>(offset);
    switch (origin) {
        case 0:
            position_ = step;
            break;
        case 1:
            position_ += step;
            break;
        case 2:
            position_ = size_ + step;
            break;
        default:
            return -1;
    }
    if (position_ > size_) position_ = size_;
    return position_;
}
