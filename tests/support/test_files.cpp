// Helpers for tests that write and read real files in their working folder.
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/encoding.h"

std::filesystem::path freshTestFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "test";
    for (char& c : name)
        if (c == '/') c = '_';
    auto path = std::filesystem::current_path() / "scratch" / name;
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path;
}

std::vector<uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::filesystem::path& path, const void* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void writeText(const std::filesystem::path& path, std::string_view text) {
    writeBytes(path, text.data(), text.size());
}

char* fileBlock(const std::vector<uint8_t>& bytes) {
    return fileBlock(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

char* fileBlock(std::string_view text) {
    auto* block = static_cast<char*>(std::malloc(text.size() + 1));
    if (!text.empty()) std::memcpy(block, text.data(), text.size());
    block[text.size()] = 0;
    return block;
}

std::string sjis(std::string_view utf8) { return utf8ToCp932(utf8); }

ScopedCurrentPath::ScopedCurrentPath(const std::filesystem::path& path)
    : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(path);
}

ScopedCurrentPath::~ScopedCurrentPath() { std::filesystem::current_path(previous_); }
