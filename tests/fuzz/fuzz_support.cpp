// What every fuzz harness shares: default limits, content blocks and fatal conditions.
#include "tests/fuzz/fuzz_support.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/message_box.h"

namespace {
volatile uint8_t touched;

[[noreturn]] void throwFatal(const char*, const char*) {
    throw FatalCondition{};
}
}  // namespace

// libFuzzer calls this before it reads its flags: the limits the game can afford per input
// come first, so that flags given on the command line still override them. A reader that
// needs more memory or time than this for one file is a finding, not a slow run.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static std::vector<char*> args;
    static char rss[] = "-rss_limit_mb=512";
    static char malloc[] = "-malloc_limit_mb=512";
    static char timeout[] = "-timeout=2";
    args.assign(*argv, *argv + 1);
    args.insert(args.end(), {rss, malloc, timeout});
    args.insert(args.end(), *argv + 1, *argv + *argc);
    args.push_back(nullptr);
    *argc = static_cast<int>(args.size() - 1);
    *argv = args.data();
    setFatalErrorHandler(throwFatal);
    return 0;
}

// A smaller quarantine of freed memory than AddressSanitizer's 256 MB, so that the 512 MB limit
// measures the reader, not the sanitizer.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=32";
}

char* contentBlock(const uint8_t* data, size_t size) {
    auto* block = static_cast<char*>(std::malloc(size + 1));
    if (size) std::memcpy(block, data, size);
    block[size] = 0;
    return block;
}

void touch(const void* bytes, size_t size) {
    const auto* p = static_cast<const volatile uint8_t*>(bytes);
    uint8_t sum = 0;
    for (size_t i = 0; i < size; ++i) sum = static_cast<uint8_t>(sum + p[i]);
    touched = sum;
}
