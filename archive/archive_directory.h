// The header and directory of a .tr2 archive, decoded from bytes.
//
// Layout (little-endian, offsets from the start of the file):
//   0   16       header, not interpreted
//   16  48 x N   directory; entry 0 describes the archive (its data is KEYVALUE text) and its
//                data offset ends the directory: N = (offset of entry 0's data - 16) / 48
//   ... member data at the offsets the entries give
// Entry (48 bytes): 0 name[32] (NUL-terminated, at most 31 bytes), 32 data offset u32,
//   36 stored size u32, 40 expanded size u32, 44 u32 not interpreted.
// A member is raw when its stored size equals its expanded size, LZSS otherwise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr size_t kArchiveHeaderSize = 16;
constexpr size_t kArchiveEntrySize = 48;
constexpr size_t kArchiveNameSize = 32;
// Header plus entry 0: the bytes every reader reads first.
constexpr size_t kArchivePrefixSize = kArchiveHeaderSize + kArchiveEntrySize;

struct ArchiveEntry {
    char name[kArchiveNameSize + 1];  // always NUL-terminated here, even when the file's is not
    uint32_t dataOffset;
    uint32_t storedSize;
    uint32_t expandedSize;
};

struct ArchiveDirectory {
    // Entry 0 first, then every entry that starts inside the bytes (a cut entry reads as if
    // followed by zeros).
    std::vector<ArchiveEntry> entries;
    uint32_t declaredCount = 0;  // N from entry 0's data offset (0 when that offset is below 16)
};

// The number of entries that entry 0's data offset declares.
uint32_t declaredEntryCount(uint32_t descriptionOffset);

// Decodes the directory from the first `size` bytes of an archive; bytes missing from a short
// buffer read as zeros.
ArchiveDirectory decodeArchiveDirectory(const uint8_t* bytes, size_t size);

inline bool isRawMember(const ArchiveEntry& entry) {
    return entry.storedSize == entry.expandedSize;
}

// ASCII case-insensitive equality of member names (other bytes compare exactly).
bool memberNamesEqual(const char* a, const char* b);

// The first member (entry 1 onwards) called `name`, or null; entry 0 is never found by name.
const ArchiveEntry* findMember(const ArchiveDirectory& directory, const char* name);

// How many of the entry's stored bytes an archive of `archiveSize` bytes holds.
uint64_t storedBytesPresent(const ArchiveEntry& entry, uint64_t archiveSize);

// Whether `present` stored bytes can give the entry's expanded size: a raw member needs all of
// its bytes, an LZSS stream can expand about 8.5 times (lzssMaxExpandedSize). A larger claim is
// damage: readers refuse the member instead of allocating what it claims.
bool expandedSizeIsPossible(const ArchiveEntry& entry, uint64_t present);

// A member's bytes from the `available` stored bytes that could be read: a malloc buffer of
// expanded size + 1 bytes ending in NUL. Null when those bytes cannot give the expanded size
// (expandedSizeIsPossible) or the buffer cannot be allocated.
char* decodeMember(const ArchiveEntry& entry, const uint8_t* stored, size_t available);

// A member of an archive held in memory, the way decodeMember returns it; only the bytes of
// `archive` are read.
char* extractMember(const uint8_t* archive, size_t archiveSize, const ArchiveEntry& entry);
