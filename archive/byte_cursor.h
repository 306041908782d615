// A read position in a block of bytes that never moves past the block's end, for either byte
// order: the one way every reader of outside data takes numbers from its bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

enum class ByteOrder { little, big };

// Offsets are absolute (from `data`); `end` bounds every read. A read or skip that does not fit
// fails, leaves the position where it was and makes ok() false for good, so that a chain of
// reads can be checked once at its end.
class ByteCursor {
public:
    ByteCursor(const uint8_t* data, size_t size, ByteOrder order = ByteOrder::little)
        : data_(data), end_(data ? size : 0), order_(order) {}

    size_t at() const { return at_; }
    size_t end() const { return end_; }
    size_t remaining() const { return end_ - at_; }
    bool ok() const { return ok_; }
    const uint8_t* here() const { return data_ + at_; }
    bool has(uint64_t n) const { return ok_ && n <= remaining(); }

    // Moves to `offset` from the start (at most the end).
    bool seek(uint64_t offset) {
        if (!ok_ || offset > end_) return ok_ = false;
        at_ = static_cast<size_t>(offset);
        return true;
    }
    bool skip(uint64_t n) {
        if (!has(n)) return ok_ = false;
        at_ += static_cast<size_t>(n);
        return true;
    }
    // Moves past `count` items of `itemSize` bytes each. The product is never formed, so
    // counts from a file cannot wrap it around to a small number.
    bool skipItems(uint64_t count, uint64_t itemSize) {
        if (itemSize != 0 && count > remaining() / itemSize) return ok_ = false;
        return skip(count * itemSize);
    }
    // The cursor over the next `n` bytes only (failed when fewer remain); this one stays.
    ByteCursor window(uint64_t n) const {
        ByteCursor w = *this;
        if (has(n))
            w.end_ = at_ + static_cast<size_t>(n);
        else
            w.ok_ = false;
        return w;
    }

    uint32_t u8() { return static_cast<uint32_t>(number(1)); }
    uint32_t u16() { return static_cast<uint32_t>(number(2)); }
    uint32_t u32() { return static_cast<uint32_t>(number(4)); }
    int16_t i16() { return static_cast<int16_t>(u16()); }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    // The same reads, reporting whether this one succeeded.
    bool get(int16_t* v) { return read(v); }
    bool get(int32_t* v) { return read(v); }

    // Moves past a NUL-terminated string that ends inside the block.
    bool cString(const char** text) {
        const void* nul = ok_ ? std::memchr(data_ + at_, 0, remaining()) : nullptr;
        if (!nul) return ok_ = false;
        *text = reinterpret_cast<const char*>(data_ + at_);
        at_ = static_cast<size_t>(static_cast<const uint8_t*>(nul) - data_) + 1;
        return true;
    }

private:
    uint64_t number(unsigned bytes) {
        if (!has(bytes)) return ok_ = false, 0;
        uint64_t v = 0;
        for (unsigned i = 0; i < bytes; ++i) {
            const unsigned shift = order_ == ByteOrder::little ? 8 * i : 8 * (bytes - 1 - i);
            v |= uint64_t{data_[at_ + i]} << shift;
        }
        at_ += bytes;
        return v;
    }
    template <typename T>
    bool read(T* v) {
        const bool fits = has(sizeof(T));
        const auto u = number(sizeof(T));
        if (fits) *v = static_cast<T>(u);
        return fits;
    }

    const uint8_t* data_;
    size_t at_ = 0;
    size_t end_;
    ByteOrder order_;
    bool ok_ = true;
};
