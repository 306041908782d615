// Reading members of a .tr2 archive file by name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "archive/archive_directory.h"

// The member called `name` (ASCII case-insensitive; entry 0 is never found by name) as a malloc
// buffer of its expanded size + 1 bytes, the last one NUL, owned by the caller; `*size` gets the
// expanded size. Null when the archive cannot be opened or has no such member. Bytes that the
// file does not hold (a cut archive, an offset past its end, an LZSS stream that ends early)
// stay zero.
char* readEntry(const char* archivePath, const char* name, size_t* size = nullptr);

// The expanded size of the member called `name`, or 0 when there is none.
uint32_t entrySize(const char* archivePath, const char* name);

// Entry 0's data (the archive's KEYVALUE text) the way readEntry returns a member.
char* readDescription(const char* archivePath, size_t* size = nullptr);

// For callers that keep a directory between lookups: the directory of an archive file (false
// when it cannot be opened) and one entry's data read as readEntry does.
bool readArchiveDirectory(const char* archivePath, ArchiveDirectory* directory);
char* readArchiveMember(const char* archivePath, const ArchiveEntry& entry, size_t* size = nullptr);

// Takes the next piece of a member's bytes; false stops the read.
using MemberSink = std::function<bool(const uint8_t* bytes, size_t size)>;

// readArchiveMember's bytes handed to `sink` in pieces of at most 1 MiB, for members too large
// to hold at once. False when the archive cannot be opened, the entry's size is not possible,
// or the sink stopped the read.
bool readArchiveMemberInPieces(const char* archivePath, const ArchiveEntry& entry,
                               const MemberSink& sink);
