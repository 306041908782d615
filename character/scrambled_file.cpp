// The save keystream and crash-safe writing of scrambled files.
#include "character/scrambled_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <string>

#include "platform/crt_rand.h"

namespace {
// The keystream is a fixed sequence; later random choices must not repeat it.
void reseedFromClock() {
    crtSrand(static_cast<uint32_t>(std::time(nullptr)));
}

bool writeAll(int fd, const uint8_t* data, size_t length) {
    while (length > 0) {
        const ssize_t n = ::write(fd, data, length);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        length -= static_cast<size_t>(n);
    }
    return true;
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the rename itself durable; a folder that cannot be opened or synced does not undo it.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}
}  // namespace

void scrambleBytes(uint8_t* data, size_t length) {
    // The C runtime's generator, run locally so that scrambling leaves the shared one alone.
    uint32_t state = kSaveKeySeed;
    for (size_t i = 0; i < length; ++i) {
        state = state * 214013u + 2531011u;
        const uint32_t r = (state >> 16) & 0x7FFF;
        data[i] ^= static_cast<uint8_t>(r % 255);
    }
}

bool writeScrambledFile(const char* fileName, const uint8_t* data, size_t length) {
    if (!fileName || !*fileName || (!data && length > 0)) return false;
    std::vector<uint8_t> scrambled(data, data + length);
    scrambleBytes(scrambled.data(), scrambled.size());

    const std::string target = fileName;
    const std::string temporary = target + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = writeAll(fd, scrambled.data(), scrambled.size());
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = std::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolder(folderOf(target));
    reseedFromClock();
    return true;
}

bool readScrambledFile(const char* fileName, std::vector<uint8_t>* bytes, size_t limit) {
    if (!fileName || !bytes) return false;
    std::FILE* file = std::fopen(fileName, "rb");
    if (!file) return false;
    // Read in pieces: the size is whatever the file delivers, never a count taken on trust.
    std::vector<uint8_t> content;
    uint8_t piece[65536];
    size_t n;
    while (content.size() < limit &&
           (n = std::fread(piece, 1, std::min(sizeof piece, limit - content.size()), file)) > 0)
        content.insert(content.end(), piece, piece + n);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return false;
    scrambleBytes(content.data(), content.size());
    *bytes = std::move(content);
    reseedFromClock();
    return true;
}
