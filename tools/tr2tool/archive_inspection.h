// Reading a whole archive for the archive commands, and what is wrong with its layout.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/archive_directory.h"

struct LoadedArchive {
    std::vector<uint8_t> bytes;
    ArchiveDirectory directory;
};

// False when the file cannot be read.
bool loadArchive(const std::string& path, LoadedArchive* archive);

// A member's (or, for entry 0, the description's) bytes as the game reads them.
std::vector<uint8_t> entryBytes(const LoadedArchive& archive, const ArchiveEntry& entry);

// Why the file cannot be an archive at all: shorter than a header and entry 0, entry 0's data
// offset not ending a directory of whole entries, or a directory past the end of the file.
// Empty when it can be one.
std::string notAnArchiveReason(const LoadedArchive& archive);

// Everything that makes a reader see something other than what the entries claim: names
// without their NUL, data past the end of the file, LZSS streams that do not expand to the
// expanded size. A file that is no archive gives the one line "not a TR2 archive: REASON".
std::vector<std::string> layoutProblems(const LoadedArchive& archive);

// A member name as terminal and file-system text (UTF-8), from its CP932 bytes.
std::string displayName(const char* cp932);
