// The .tr2 archive writer: a KEYVALUE description and members, each LZSS-compressed or raw.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

struct ArchiveMember {
    std::string name;  // flat name of 1 to 31 bytes (CP932), unique ignoring ASCII case
    std::vector<uint8_t> data;
    bool forceRaw = false;  // store raw even when LZSS would be smaller
};

// A member from text or other bytes held in a string.
ArchiveMember archiveMember(std::string name, std::string_view bytes, bool forceRaw = false);

// "FILE_0=name0\nFILE_1=name1\n..." for every member, after `extra` (further KEYVALUE lines).
std::string fileListDescription(const std::vector<ArchiveMember>& members,
                                std::string_view extra = {});

// Why `name` cannot name a member, or empty when it can.
std::string memberNameProblem(std::string_view name);

// The archive's bytes: a zero header, the directory (entry 0 "KEYVALUE" for the description),
// then the description's data and the members' data in order. Every entry is compressed unless
// that does not make it smaller. Empty, with the reason in `error`, for a bad member name, two
// names equal ignoring ASCII case, a description that does not parse, or an archive over 4 GiB.
std::vector<uint8_t> writeArchive(std::string_view description,
                                  const std::vector<ArchiveMember>& members,
                                  std::string* error = nullptr);

// writeArchive into a file; false (and nothing written) on a refusal or a write error.
bool writeArchiveFile(const std::filesystem::path& path, std::string_view description,
                      const std::vector<ArchiveMember>& members, std::string* error = nullptr);
