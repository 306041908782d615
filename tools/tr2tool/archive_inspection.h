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

// Everything that makes a reader see something other than what the entries claim: a short
// file, a directory that is cut or not made of whole entries, names without their NUL, data
// past the end of the file, LZSS streams that do not expand to the expanded size.
std::vector<std::string> layoutProblems(const LoadedArchive& archive);

// A member name as terminal and file-system text (UTF-8), from its CP932 bytes.
std::string displayName(const char* cp932);
