// The LZSS compressor for archive members (greedy, longest match within the 4096-byte window).
#include "tools/writers/lzss_writer.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

#include "archive/lzss.h"

namespace {
constexpr size_t kWindow = kLzssRingSize;
constexpr size_t kMax = kLzssMaxMatch;

// The length of the common prefix of two strings of kMax bytes that agree before `from`;
// eight bytes at a time where the byte order allows it, which spares a mispredicted branch
// per byte.
size_t commonPrefix(const uint8_t* a, const uint8_t* b, size_t from) {
    size_t i = from;
    if constexpr (std::endian::native == std::endian::little) {
        for (; i + 8 <= kMax; i += 8) {
            uint64_t x, y;
            std::memcpy(&x, a + i, 8);
            std::memcpy(&y, b + i, 8);
            if (x != y) return i + std::countr_zero(x ^ y) / 8;
        }
    }
    while (i < kMax && a[i] == b[i]) ++i;
    return i;
}

// The stream is matched against a virtual text: kWindow zeros (the initial ring), then the data,
// then kMax zeros of padding so that every string of kMax bytes can be read. Text position t
// sits at ring position (t + 4078) mod 4096, and a reference from position c may reach back
// 4096 bytes. The strings of the window are kept in binary search trees (one per first byte),
// ordered by their kMax bytes; the string sharing the longest prefix with a new one lies on the
// path where the new one is inserted.
class MatchTrees {
public:
    // `span` is the number of positions that will be inserted; small inputs get small arrays.
    MatchTrees(const std::vector<uint8_t>& text, size_t span)
        : text_(text),
          slots_(static_cast<int>(std::min(span, kMaxSlots))),
          nil_(slots_ + 256),
          left_(nil_ + 1, nil_),
          right_(nil_ + 1, nil_),
          parent_(nil_ + 1, nil_),
          position_(nil_ + 1, 0) {}

    struct Match {
        size_t length = 0;
        size_t position = 0;
    };

    // Adds the string at `position` and returns the longest match for it among the strings
    // already present.
    Match insert(size_t position) {
        const uint8_t* key = &text_[position];
        const int node = slot(position);
        position_[node] = position;
        left_[node] = right_[node] = nil_;
        Match best;
        int p = slots_ + key[0];
        int cmp = 1;
        // Every string below the current node lies between the last node passed on the left
        // and the last passed on the right, so it shares with the key at least the shorter of
        // their common prefixes with the key: comparing starts after those bytes.
        size_t prefixBelow = 1, prefixAbove = 1;
        for (;;) {
            int& child = cmp >= 0 ? right_[p] : left_[p];
            if (child == nil_) {
                child = node;
                parent_[node] = p;
                return best;
            }
            p = child;
            const uint8_t* other = &text_[position_[p]];
            const size_t i = commonPrefix(key, other, std::min(prefixBelow, prefixAbove));
            cmp = i < kMax ? key[i] - other[i] : 0;
            (cmp >= 0 ? prefixBelow : prefixAbove) = i;
            if (i > best.length) {
                best = {i, position_[p]};
                if (i >= kMax) break;
            }
        }
        // An equal string: the newer one takes its place, being closer for the next matches.
        replace(p, node);
        return best;
    }

    void remove(size_t position) {
        const int node = slot(position);
        if (parent_[node] == nil_ || position_[node] != position) return;
        int q;
        if (right_[node] == nil_) {
            q = left_[node];
        } else if (left_[node] == nil_) {
            q = right_[node];
        } else {
            q = left_[node];
            if (right_[q] != nil_) {
                while (right_[q] != nil_) q = right_[q];
                right_[parent_[q]] = left_[q];
                parent_[left_[q]] = parent_[q];
                left_[q] = left_[node];
                parent_[left_[node]] = q;
            }
            right_[q] = right_[node];
            parent_[right_[node]] = q;
        }
        parent_[q] = parent_[node];
        int& link = right_[parent_[node]] == node ? right_[parent_[node]] : left_[parent_[node]];
        link = q;
        parent_[node] = nil_;
    }

private:
    // Slots for the 4097 strings a window holds with the new one (fewer when fewer strings are
    // inserted), then 256 roots and a nil slot that absorbs writes through missing children.
    static constexpr size_t kMaxSlots = 2 * kWindow;

    int slot(size_t position) const { return static_cast<int>(position % slots_); }

    void replace(int old, int node) {
        parent_[node] = parent_[old];
        left_[node] = left_[old];
        right_[node] = right_[old];
        parent_[left_[old]] = node;
        parent_[right_[old]] = node;
        int& link = right_[parent_[old]] == old ? right_[parent_[old]] : left_[parent_[old]];
        link = node;
        parent_[old] = nil_;
    }

    const std::vector<uint8_t>& text_;
    const int slots_;
    const int nil_;
    std::vector<int> left_;
    std::vector<int> right_;
    std::vector<int> parent_;
    std::vector<size_t> position_;
};

// Appends items behind flag bytes, eight per flag byte, least significant bit first.
class StreamWriter {
public:
    void literal(uint8_t byte) {
        flag(true);
        out_.push_back(byte);
    }
    void reference(size_t ringPosition, size_t length) {
        flag(false);
        out_.push_back(static_cast<uint8_t>(ringPosition & 0xFF));
        out_.push_back(static_cast<uint8_t>((ringPosition >> 4 & 0xF0) | (length - kLzssMinMatch)));
    }
    std::vector<uint8_t> take() { return std::move(out_); }

private:
    void flag(bool isLiteral) {
        if (bit_ == 8) {
            flagAt_ = out_.size();
            out_.push_back(0);
            bit_ = 0;
        }
        if (isLiteral) out_[flagAt_] |= static_cast<uint8_t>(1u << bit_);
        ++bit_;
    }

    std::vector<uint8_t> out_;
    size_t flagAt_ = 0;
    int bit_ = 8;
};
}  // namespace

std::vector<uint8_t> compressLzss(const uint8_t* data, size_t size) {
    if (!data || size == 0) return {};
    std::vector<uint8_t> text(kWindow + size + kMax, 0);
    std::memcpy(text.data() + kWindow, data, size);
    const size_t end = kWindow + size;

    // Of the initial zeros, only the strings that run into the data differ from each other;
    // the first of them (all zeros) stands for the rest.
    const size_t firstString = kWindow - kMax;
    auto trees = std::make_unique<MatchTrees>(text, end - firstString);
    for (size_t p = firstString; p < kWindow; ++p) trees->insert(p);

    StreamWriter stream;
    size_t c = kWindow;
    MatchTrees::Match match = trees->insert(c);
    while (c < end) {
        const size_t length = std::min(match.length, end - c);
        size_t advance = 1;
        if (length >= kLzssMinMatch) {
            stream.reference((match.position + kLzssRingStart) % kLzssRingSize, length);
            advance = length;
        } else {
            stream.literal(text[c]);
        }
        for (size_t k = 0; k < advance; ++k) {
            if (++c >= end) break;
            if (c - kWindow - 1 >= firstString) trees->remove(c - kWindow - 1);
            match = trees->insert(c);
        }
    }
    return stream.take();
}
