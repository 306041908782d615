// The header and directory of a .tr2 archive, decoded from bytes.
#include "archive/archive_directory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "archive/byte_cursor.h"
#include "archive/lzss.h"
#include "platform/ascii_text.h"

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
    return a && b && equalsIgnoringAsciiCase(a, b);
}

const ArchiveEntry* findMember(const ArchiveDirectory& directory, const char* name) {
    for (size_t i = 1; i < directory.entries.size(); ++i)
        if (memberNamesEqual(directory.entries[i].name, name)) return &directory.entries[i];
    return nullptr;
}

uint64_t storedBytesPresent(const ArchiveEntry& entry, uint64_t archiveSize) {
    if (entry.dataOffset >= archiveSize) return 0;
    return std::min<uint64_t>(entry.storedSize, archiveSize - entry.dataOffset);
}

bool expandedSizeIsPossible(const ArchiveEntry& entry, uint64_t present) {
    present = std::min<uint64_t>(present, entry.storedSize);
    if (isRawMember(entry)) return entry.expandedSize <= present;
    return entry.expandedSize <= lzssMaxExpandedSize(present);
}

char* decodeMember(const ArchiveEntry& entry, const uint8_t* stored, size_t available) {
    if (!stored) available = 0;
    if (!expandedSizeIsPossible(entry, available)) return nullptr;
    const size_t size = entry.expandedSize;
    auto* buffer = static_cast<char*>(std::calloc(size + 1, 1));
    if (!buffer) return nullptr;
    if (isRawMember(entry)) {
        if (size && stored) std::memcpy(buffer, stored, size);
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
