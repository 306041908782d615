// A deliberately plain second implementation of the archive format, to cross-check ours.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace reference {

// The classic ring expander's output, stopping at `expandedSize` or when the stream runs out.
std::vector<uint8_t> expand(const std::vector<uint8_t>& stream, size_t expandedSize);

// Hand-made LZSS streams.
class Stream {
public:
    Stream& literal(uint8_t byte);
    Stream& literals(const std::string& text);
    Stream& reference(unsigned ringPosition, unsigned length);  // length 3..18
    std::vector<uint8_t> bytes() const { return out_; }

private:
    void flag(bool literal);
    std::vector<uint8_t> out_;
    size_t flagAt_ = 0;
    int bit_ = 8;
};

struct Entry {
    std::string name;
    std::vector<uint8_t> stored;
    uint32_t expandedSize;
};
Entry rawEntry(const std::string& name, const std::vector<uint8_t>& bytes);
Entry lzssEntry(const std::string& name, const std::vector<uint8_t>& stream, uint32_t expandedSize);

// A conforming archive laid out differently from our writer: a filled header, entry 0 named
// "INFO", nonzero bytes in every entry's last field, members' data in reverse order with gaps.
std::vector<uint8_t> buildArchive(const Entry& description, const std::vector<Entry>& members);

// A member's expanded bytes, found as the format says (entries 1.. in order, ASCII case
// ignored), or nothing when absent. The archive must be well formed.
std::optional<std::vector<uint8_t>> readMember(const std::vector<uint8_t>& archive,
                                               const std::string& name);
std::vector<uint8_t> readDescription(const std::vector<uint8_t>& archive);

std::vector<uint8_t> bytesOf(const std::string& text);

}  // namespace reference
