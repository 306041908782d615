// Whole-file reading and writing for tr2tool commands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

// False when the path is not a regular file or cannot be read completely.
bool readWholeFile(const std::filesystem::path& path, std::vector<uint8_t>* bytes);
// False when the file cannot be created or written completely (a partial file is removed).
bool writeWholeFile(const std::filesystem::path& path, const void* data, size_t size);
// The same for a file made from an archive: a symbolic link already at `path` is never
// followed (false, and the link and what it points to stay as they were).
bool writeNewFile(const std::filesystem::path& path, const void* data, size_t size);
