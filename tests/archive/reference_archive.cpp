// A deliberately plain second implementation of the archive format, to cross-check ours.
#include "tests/archive/reference_archive.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "tests/support/classic_lzss.h"

namespace reference {
namespace {
uint32_t get32(const std::vector<uint8_t>& b, size_t at) {
    return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | uint32_t(b.at(at + 3)) << 24;
}

void put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = a[i], y = b[i];
        if (x < 128) x = std::tolower(x);
        if (y < 128) y = std::tolower(y);
        if (x != y) return false;
    }
    return true;
}

std::vector<uint8_t> entryData(const std::vector<uint8_t>& archive, size_t entryAt) {
    const uint32_t offset = get32(archive, entryAt + 32);
    const uint32_t stored = get32(archive, entryAt + 36);
    const uint32_t expanded = get32(archive, entryAt + 40);
    std::vector<uint8_t> data(archive.begin() + offset, archive.begin() + offset + stored);
    return stored == expanded ? data : expand(data, expanded);
}
}  // namespace

std::vector<uint8_t> expand(const std::vector<uint8_t>& stream, size_t expandedSize) {
    std::vector<uint8_t> out(expandedSize);
    out.resize(classicExpand(stream.data(), stream.size(), out.data(), out.size()));
    return out;
}

void Stream::flag(bool literal) {
    if (bit_ == 8) {
        flagAt_ = out_.size();
        out_.push_back(0);
        bit_ = 0;
    }
    if (literal) out_[flagAt_] |= uint8_t(1 << bit_);
    ++bit_;
}

Stream& Stream::literal(uint8_t byte) {
    flag(true);
    out_.push_back(byte);
    return *this;
}

Stream& Stream::literals(const std::string& text) {
    for (char c : text) literal(uint8_t(c));
    return *this;
}

Stream& Stream::reference(unsigned ringPosition, unsigned length) {
    flag(false);
    out_.push_back(uint8_t(ringPosition & 0xFF));
    out_.push_back(uint8_t(((ringPosition >> 8) << 4) | (length - 3)));
    return *this;
}

Entry rawEntry(const std::string& name, const std::vector<uint8_t>& bytes) {
    return {name, bytes, uint32_t(bytes.size())};
}

Entry lzssEntry(const std::string& name, const std::vector<uint8_t>& stream,
                uint32_t expandedSize) {
    return {name, stream, expandedSize};
}

std::vector<uint8_t> buildArchive(const Entry& description, const std::vector<Entry>& members) {
    const size_t count = members.size() + 1;
    std::vector<uint32_t> offsets(count);
    size_t at = 16 + 48 * count;
    offsets[0] = uint32_t(at);
    at += description.stored.size();
    for (size_t i = members.size(); i-- > 0;) {
        at += 7;  // a gap no reader should care about
        offsets[i + 1] = uint32_t(at);
        at += members[i].stored.size();
    }

    std::vector<uint8_t> file;
    for (int i = 0; i < 16; ++i) file.push_back(uint8_t(0xA0 + i));
    for (size_t i = 0; i < count; ++i) {
        const Entry& e =
            i == 0 ? Entry{"INFO", description.stored, description.expandedSize} : members[i - 1];
        std::string name = e.name;
        name.resize(32, '\0');
        file.insert(file.end(), name.begin(), name.end());
        put32(file, offsets[i]);
        put32(file, uint32_t(e.stored.size()));
        put32(file, e.expandedSize);
        put32(file, 0xDEADBEEF);
    }
    file.resize(at, 0xEE);
    auto place = [&](uint32_t offset, const std::vector<uint8_t>& bytes) {
        std::copy(bytes.begin(), bytes.end(), file.begin() + offset);
    };
    place(offsets[0], description.stored);
    for (size_t i = 0; i < members.size(); ++i) place(offsets[i + 1], members[i].stored);
    return file;
}

std::optional<std::vector<uint8_t>> readMember(const std::vector<uint8_t>& archive,
                                               const std::string& name) {
    const size_t count = (get32(archive, 16 + 32) - 16) / 48;
    for (size_t i = 1; i < count; ++i) {
        const size_t entryAt = 16 + 48 * i;
        const char* stored = reinterpret_cast<const char*>(&archive.at(entryAt));
        if (sameName(std::string(stored, strnlen(stored, 32)), name))
            return entryData(archive, entryAt);
    }
    return std::nullopt;
}

std::vector<uint8_t> readDescription(const std::vector<uint8_t>& archive) {
    return entryData(archive, 16);
}

std::vector<uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

}  // namespace reference
