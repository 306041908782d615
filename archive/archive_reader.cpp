// Reading members of a .tr2 archive file by name.
#include "archive/archive_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "archive/lzss.h"

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

    // False, with a line on stderr, when the bytes the file holds cannot give the size the
    // entry claims: such a claim is damage and is never allocated.
    bool sizeIsPossible(const ArchiveEntry& entry) const {
        const uint64_t present = storedBytesPresent(entry, length_);
        if (expandedSizeIsPossible(entry, present)) return true;
        std::fprintf(stderr,
                     "%s: member '%s' claims %u bytes, more than its %llu stored bytes can "
                     "give; it is treated as absent\n",
                     path_.c_str(), entry.name, entry.expandedSize,
                     static_cast<unsigned long long>(present));
        return false;
    }

    // Null when the entry's size is not possible (see sizeIsPossible).
    char* readMember(const ArchiveEntry& entry, size_t* size) {
        if (!sizeIsPossible(entry)) return nullptr;
        const uint64_t present = storedBytesPresent(entry, length_);
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

    // readMember's bytes handed to `sink` a piece at a time, never holding more than a piece
    // of the stream and a piece of the output.
    bool readMemberInPieces(const ArchiveEntry& entry, const MemberSink& sink) {
        if (!sizeIsPossible(entry)) return false;
        constexpr size_t kPiece = size_t{1} << 20;
        uint64_t offset = entry.dataOffset;
        uint64_t left = storedBytesPresent(entry, length_);
        const auto input = std::make_unique_for_overwrite<uint8_t[]>(kPiece);
        uint64_t written = 0;
        if (isRawMember(entry)) {
            while (written < entry.expandedSize) {
                const size_t got =
                    readAt(offset, input.get(), size_t(std::min<uint64_t>(left, kPiece)));
                if (got == 0) break;
                if (!sink(input.get(), got)) return false;
                offset += got;
                left -= got;
                written += got;
            }
        } else {
            const size_t windowSize = kLzssRingSize + kPiece;
            const auto window = std::make_unique_for_overwrite<uint8_t[]>(windowSize);
            LzssExpansion state;
            size_t have = 0, history = 0;
            bool ended = false;
            while (state.produced < entry.expandedSize) {
                if (!ended && have < kPiece) {
                    const size_t got =
                        left == 0 ? 0
                                  : readAt(offset, input.get() + have,
                                           size_t(std::min<uint64_t>(left, kPiece - have)));
                    offset += got;
                    left -= got;
                    have += got;
                    ended = got == 0 || left == 0;
                }
                const size_t made = expandLzssPiece(state, input.get(), have, window.get(), history,
                                                    history + kPiece, entry.expandedSize);
                if (made && !sink(window.get() + history, made)) return false;
                std::memmove(input.get(), input.get() + state.in, have - state.in);
                have -= state.in;
                // The last 4096 bytes written stay as the ring of the next piece.
                const size_t end = history + made;
                history = std::min(end, kLzssRingSize);
                std::memmove(window.get(), window.get() + end - history, history);
                if (made == 0 && ended) break;
            }
            written = state.produced;
        }
        // What the file does not hold reads as zeros, as readMember leaves it.
        std::memset(input.get(), 0, kPiece);
        while (written < entry.expandedSize) {
            const size_t n = size_t(std::min<uint64_t>(entry.expandedSize - written, kPiece));
            if (!sink(input.get(), n)) return false;
            written += n;
        }
        return true;
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

bool readArchiveMemberInPieces(const char* archivePath, const ArchiveEntry& entry,
                               const MemberSink& sink) {
    ArchiveFile file(archivePath);
    return file.isOpen() && file.readMemberInPieces(entry, sink);
}
