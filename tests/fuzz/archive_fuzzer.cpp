// Fuzz harness: an archive held in memory (header, directory, raw and LZSS members) and a bare
// LZSS stream.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "archive/archive_directory.h"
#include "archive/lzss.h"
#include "tests/fuzz/fuzz_support.h"

namespace {
// The most that n bytes of LZSS can give: a flag byte and eight 2-byte references of 18 bytes
// each, 144 bytes for every 17.
uint64_t lzssBound(uint64_t n) {
    return n / 17 * 144 + 144;
}

// Whether a member's claimed size is one its stored bytes can give (a larger claim is damage
// that the reader reports; it is not asked for here).
bool claimIsPossible(const ArchiveEntry& entry, size_t archiveSize) {
    const uint64_t inFile = entry.dataOffset < archiveSize ? archiveSize - entry.dataOffset : 0;
    const uint64_t stored = entry.storedSize < inFile ? entry.storedSize : inFile;
    return entry.expandedSize <= (isRawMember(entry) ? stored : lzssBound(stored));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ArchiveDirectory directory = decodeArchiveDirectory(data, size);
    for (const ArchiveEntry& entry : directory.entries) {
        if (findMember(directory, entry.name) == nullptr && &entry != &directory.entries[0])
            std::abort();  // every member's own name must find a member
        if (!claimIsPossible(entry, size)) continue;
        char* member = extractMember(data, size, entry);
        if (member && member[entry.expandedSize] != 0) std::abort();
        std::free(member);
    }

    std::vector<uint8_t> expanded(static_cast<size_t>(lzssBound(size)));
    const size_t got = expandLzss(data, size, expanded.data(), expanded.size());
    if (got > expanded.size()) std::abort();

    // The same stream in pieces through a small window, handed over 7 bytes at a time, must
    // give the same bytes.
    std::vector<uint8_t> window(kLzssRingSize + 64), joined, input;
    LzssExpansion state;
    size_t history = 0, given = 0;
    for (;;) {
        const size_t part = std::min<size_t>(7, size - given);
        input.insert(input.end(), data + given, data + given + part);
        given += part;
        const size_t made = expandLzssPiece(state, input.data(), input.size(), window.data(),
                                            history, window.size(), expanded.size());
        if (state.in > input.size()) std::abort();
        joined.insert(joined.end(), window.begin() + history, window.begin() + history + made);
        input.erase(input.begin(), input.begin() + state.in);
        const size_t end = history + made;
        history = std::min<size_t>(end, kLzssRingSize);
        std::copy(window.begin() + end - history, window.begin() + end, window.begin());
        if (made == 0 && given == size) break;
    }
    expanded.resize(got);
    if (joined != expanded) std::abort();
    return 0;
}
