// The header and directory of a .tr2 archive, decoded from bytes.
#include "archive/archive_directory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "archive/byte_cursor.h"
#include "archive/lzss.h"

namespace {
// Decodes the entry at `start`; bytes past `size` read as zeros.
ArchiveEntry decodeEntry(const uint8_t* bytes, size_t size, size_t start) {
    uint8_t raw[kArchiveEntrySize] = {};
    if (start < size) std::memcpy(raw, bytes + start, std::min(kArchiveEntrySize, size - start));
    ArchiveEntry entry{};
    std::memcpy(entry.name, raw, kArchiveNameSize);
    entry.name[kArchiveNameSize] = 0;
    ByteCursor fields(raw, sizeof raw);
    fields.skip(kArchiveNameSize);
    entry.dataOffset = fields.u32();
    entry.storedSize = fields.u32();
    entry.expandedSize = fields.u32();
    return entry;
}

unsigned char asciiLower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}
}  // namespace

uint32_t declaredEntryCount(uint32_t descriptionOffset) {
    return descriptionOffset < kArchiveHeaderSize
               ? 0
               : (descriptionOffset - kArchiveHeaderSize) / kArchiveEntrySize;
}

ArchiveDirectory decodeArchiveDirectory(const uint8_t* bytes, size_t size) {
    if (!bytes) size = 0;
    ArchiveDirectory directory;
    directory.entries.push_back(decodeEntry(bytes, size, kArchiveHeaderSize));
    directory.declaredCount = declaredEntryCount(directory.entries[0].dataOffset);
    for (size_t i = 1; i < directory.declaredCount; ++i) {
        const size_t start = kArchiveHeaderSize + i * kArchiveEntrySize;
        if (start >= size) break;
        directory.entries.push_back(decodeEntry(bytes, size, start));
    }
    return directory;
}

bool memberNamesEqual(const char* a, const char* b) {
    if (!a || !b) return false;
    for (;; ++a, ++b) {
        const unsigned char ca = asciiLower(static_cast<unsigned char>(*a));
        if (ca != asciiLower(static_cast<unsigned char>(*b))) return false;
        if (ca == 0) return true;
    }
}

const ArchiveEntry* findMember(const ArchiveDirectory& directory, const char* name) {
    for (size_t i = 1; i < directory.entries.size(); ++i)
        if (memberNamesEqual(directory.entries[i].name, name)) return &directory.entries[i];
    return nullptr;
}

char* decodeMember(const ArchiveEntry& entry, const uint8_t* stored, size_t available) {
    const size_t size = entry.expandedSize;
    auto* buffer = static_cast<char*>(std::calloc(size + 1, 1));
    if (!buffer) return nullptr;
    if (!stored) available = 0;
    if (isRawMember(entry)) {
        if (stored && available && size) std::memcpy(buffer, stored, std::min(available, size));
    } else {
        expandLzss(stored, std::min<size_t>(available, entry.storedSize),
                   reinterpret_cast<uint8_t*>(buffer), size);
    }
    return buffer;
}

char* extractMember(const uint8_t* archive, size_t archiveSize, const ArchiveEntry& entry) {
    if (!archive || entry.dataOffset >= archiveSize) return decodeMember(entry, nullptr, 0);
    return decodeMember(entry, archive + entry.dataOffset, archiveSize - entry.dataOffset);
}
