// Whole-file reading and writing for tr2tool commands.
#include "tools/tr2tool/tool_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

bool readWholeFile(const std::filesystem::path& path, std::vector<uint8_t>* bytes) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    // Read straight into a buffer of the size the file has now (a large document would
    // otherwise be copied again at every doubling), then on in chunks should it have grown.
    const uintmax_t expected = std::filesystem::file_size(path, error);
    bytes->assign(error ? 0 : static_cast<size_t>(expected), 0);
    const size_t first = bytes->empty() ? 0 : std::fread(bytes->data(), 1, bytes->size(), file);
    bytes->resize(first);
    uint8_t chunk[1 << 16];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes->insert(bytes->end(), chunk, chunk + got);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

bool writeWholeFile(const std::filesystem::path& path, const void* data, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written) {
        std::remove(path.c_str());
        return false;
    }
    return true;
}

bool writeNewFile(const std::filesystem::path& path, const void* data, size_t size) {
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const auto* p = static_cast<const uint8_t*>(data);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, p + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    if (::close(fd) != 0 || done != size) {
        ::unlink(path.c_str());
        return false;
    }
    return true;
}
