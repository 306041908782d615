// Helpers for tests that write and read real files in their working folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// A fresh, empty folder under the test's working folder, named after the running test.
std::filesystem::path freshTestFolder();

std::vector<uint8_t> readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const void* data, size_t size);
void writeText(const std::filesystem::path& path, std::string_view text);

// A copy of `bytes` as loadFile hands content out: a malloc block with one NUL after it.
char* fileBlock(const std::vector<uint8_t>& bytes);
char* fileBlock(std::string_view text);

// A CP932 byte string from UTF-8 source text, for inline scripts and names in tests.
std::string sjis(std::string_view utf8);

// Changes the current folder for the lifetime of the object.
class ScopedCurrentPath {
public:
    explicit ScopedCurrentPath(const std::filesystem::path& path);
    ~ScopedCurrentPath();

private:
    std::filesystem::path previous_;
};
