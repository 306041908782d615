// Reading a whole archive for the archive commands, and what is wrong with its layout.
#include "tools/tr2tool/archive_inspection.h"

#include <cstdlib>
#include <cstring>

#include "archive/lzss.h"
#include "platform/encoding.h"
#include "tools/tr2tool/tool_files.h"

namespace {
std::string entryLabel(const ArchiveDirectory& directory, size_t index) {
    if (index == 0) return "entry 0 (description)";
    return "entry " + std::to_string(index) + " '" + displayName(directory.entries[index].name) +
           "'";
}

// How many bytes a stream really expands to, up to `expandedSize`.
size_t expandedLength(const uint8_t* stream, size_t streamSize, uint32_t expandedSize) {
    std::vector<uint8_t> out(expandedSize);
    return expandLzss(stream, streamSize, out.data(), out.size());
}
}  // namespace

bool loadArchive(const std::string& path, LoadedArchive* archive) {
    if (!readWholeFile(path, &archive->bytes)) return false;
    archive->directory = decodeArchiveDirectory(archive->bytes.data(), archive->bytes.size());
    return true;
}

std::vector<uint8_t> entryBytes(const LoadedArchive& archive, const ArchiveEntry& entry) {
    char* data = extractMember(archive.bytes.data(), archive.bytes.size(), entry);
    if (!data) return {};
    std::vector<uint8_t> bytes(data, data + entry.expandedSize);
    std::free(data);
    return bytes;
}

std::string notAnArchiveReason(const LoadedArchive& archive) {
    const uint64_t size = archive.bytes.size();
    if (size < kArchivePrefixSize) {
        return "the file (" + std::to_string(size) +
               " bytes) is shorter than its header and first entry (64 bytes)";
    }
    const ArchiveDirectory& directory = archive.directory;
    const uint32_t descriptionOffset = directory.entries[0].dataOffset;
    if (descriptionOffset < kArchivePrefixSize) {
        return "entry 0's data offset " + std::to_string(descriptionOffset) +
               " lies inside the header or entry 0";
    }
    if ((descriptionOffset - kArchiveHeaderSize) % kArchiveEntrySize != 0) {
        return "the directory length " + std::to_string(descriptionOffset - kArchiveHeaderSize) +
               " is not a multiple of 48";
    }
    const uint64_t directoryEnd =
        kArchiveHeaderSize + uint64_t{directory.declaredCount} * kArchiveEntrySize;
    if (directoryEnd > size) {
        return "the directory (" + std::to_string(directory.declaredCount) +
               " entries) runs past the end of the file (" + std::to_string(size) + " bytes)";
    }
    return "";
}

std::vector<std::string> layoutProblems(const LoadedArchive& archive) {
    const std::string notAnArchive = notAnArchiveReason(archive);
    if (!notAnArchive.empty()) return {"not a TR2 archive: " + notAnArchive};
    std::vector<std::string> problems;
    const uint64_t size = archive.bytes.size();
    const ArchiveDirectory& directory = archive.directory;
    for (size_t i = 0; i < directory.entries.size(); ++i) {
        const ArchiveEntry& entry = directory.entries[i];
        const std::string label = entryLabel(directory, i);
        if (std::strlen(entry.name) == kArchiveNameSize)
            problems.push_back(label + ": the name has no terminating NUL within 32 bytes");
        if (i > 0 && entry.name[0] == 0) problems.push_back(label + ": the name is empty");
        const uint64_t end = uint64_t{entry.dataOffset} + entry.storedSize;
        if (end > size) {
            problems.push_back(label + ": data at " + std::to_string(entry.dataOffset) + " of " +
                               std::to_string(entry.storedSize) +
                               " bytes runs past the end of the file (" + std::to_string(size) +
                               " bytes)");
            continue;
        }
        if (isRawMember(entry)) continue;
        if (!expandedSizeIsPossible(entry, entry.storedSize)) {
            problems.push_back(label + ": an LZSS stream of " + std::to_string(entry.storedSize) +
                               " bytes cannot give " + std::to_string(entry.expandedSize) +
                               " bytes");
            continue;
        }
        const size_t got = expandedLength(archive.bytes.data() + entry.dataOffset, entry.storedSize,
                                          entry.expandedSize);
        if (got < entry.expandedSize) {
            problems.push_back(label + ": the LZSS stream gives " + std::to_string(got) +
                               " of its " + std::to_string(entry.expandedSize) + " bytes");
        }
    }
    return problems;
}

std::string displayName(const char* cp932) {
    return cp932ToUtf8(cp932 ? cp932 : "");
}
