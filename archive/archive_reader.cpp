// Reading members of a .tr2 archive file by name.
#include "archive/archive_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {
// An archive opened for binary reading, with its length.
class ArchiveFile {
public:
    explicit ArchiveFile(const char* path)
        : path_(path ? path : ""), file_(path ? std::fopen(path, "rb") : nullptr) {
        if (file_ && std::fseek(file_, 0, SEEK_END) == 0) {
            const long end = std::ftell(file_);
            length_ = end > 0 ? static_cast<uint64_t>(end) : 0;
        }
    }
    ~ArchiveFile() {
        if (file_) std::fclose(file_);
    }
    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    bool isOpen() const { return file_ != nullptr; }

    // The bytes at `offset` that the file holds, up to `count`; returns how many were read.
    size_t readAt(uint64_t offset, void* buffer, size_t count) {
        if (offset >= length_ || count == 0) return 0;
        count = static_cast<size_t>(std::min<uint64_t>(count, length_ - offset));
        if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) return 0;
        return std::fread(buffer, 1, count, file_);
    }

    // Header and directory: entry 0, then the entries it declares that start inside the file.
    ArchiveDirectory readDirectory() {
        std::vector<uint8_t> bytes(kArchivePrefixSize, 0);
        const size_t got = readAt(0, bytes.data(), bytes.size());
        const ArchiveDirectory first = decodeArchiveDirectory(bytes.data(), got);
        if (first.declaredCount <= 1 || got < kArchivePrefixSize) return first;
        const uint64_t declaredEnd =
            kArchiveHeaderSize + uint64_t{first.declaredCount} * kArchiveEntrySize;
        bytes.resize(static_cast<size_t>(std::min(declaredEnd, length_)));
        const size_t rest = readAt(kArchivePrefixSize, bytes.data() + kArchivePrefixSize,
                                   bytes.size() - kArchivePrefixSize);
        return decodeArchiveDirectory(bytes.data(), kArchivePrefixSize + rest);
    }

    uint64_t length() const { return length_; }

    // Null, with a line on stderr, when the bytes the file holds cannot give the size the entry
    // claims: such a claim is damage and is never allocated.
    char* readMember(const ArchiveEntry& entry, size_t* size) {
        const uint64_t present = storedBytesPresent(entry, length_);
        if (!expandedSizeIsPossible(entry, present)) {
            std::fprintf(stderr,
                         "%s: member '%s' claims %u bytes, more than its %llu stored bytes can "
                         "give; it is treated as absent\n",
                         path_.c_str(), entry.name, entry.expandedSize,
                         static_cast<unsigned long long>(present));
            return nullptr;
        }
        char* buffer = nullptr;
        if (isRawMember(entry)) {
            buffer = static_cast<char*>(std::calloc(size_t{entry.expandedSize} + 1, 1));
            if (buffer) readAt(entry.dataOffset, buffer, entry.expandedSize);
        } else {
            // Only the stored bytes that the file holds are read; an LZSS stream cut short
            // leaves the rest of the member zero. The stream's buffer is not zeroed first:
            // only the bytes read are expanded.
            const auto stored = std::make_unique_for_overwrite<uint8_t[]>(size_t(present));
            const size_t got = readAt(entry.dataOffset, stored.get(), size_t(present));
            buffer = decodeMember(entry, stored.get(), got);
        }
        if (buffer && size) *size = entry.expandedSize;
        return buffer;
    }

private:
    std::string path_;
    std::FILE* file_;
    uint64_t length_ = 0;
};
}  // namespace

char* readEntry(const char* archivePath, const char* name, size_t* size) {
    ArchiveFile file(archivePath);
    if (!file.isOpen()) return nullptr;
    const ArchiveDirectory directory = file.readDirectory();
    const ArchiveEntry* entry = findMember(directory, name);
    return entry ? file.readMember(*entry, size) : nullptr;
}

uint32_t entrySize(const char* archivePath, const char* name) {
    ArchiveFile file(archivePath);
    if (!file.isOpen()) return 0;
    const ArchiveDirectory directory = file.readDirectory();
    const ArchiveEntry* entry = findMember(directory, name);
    if (!entry || !expandedSizeIsPossible(*entry, storedBytesPresent(*entry, file.length())))
        return 0;
    return entry->expandedSize;
}

char* readDescription(const char* archivePath, size_t* size) {
    ArchiveFile file(archivePath);
    if (!file.isOpen()) return nullptr;
    uint8_t prefix[kArchivePrefixSize] = {};
    const size_t got = file.readAt(0, prefix, sizeof prefix);
    const ArchiveDirectory directory = decodeArchiveDirectory(prefix, got);
    return file.readMember(directory.entries[0], size);
}

bool readArchiveDirectory(const char* archivePath, ArchiveDirectory* directory) {
    ArchiveFile file(archivePath);
    if (!file.isOpen() || !directory) return false;
    *directory = file.readDirectory();
    return true;
}

char* readArchiveMember(const char* archivePath, const ArchiveEntry& entry, size_t* size) {
    ArchiveFile file(archivePath);
    return file.isOpen() ? file.readMember(entry, size) : nullptr;
}
