// Files scrambled with the save keystream: the saved state and the outfit files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Seed of the save keystream.
constexpr uint32_t kSaveKeySeed = 7318;

// XORs byte i of `data` with r(i + 1) mod 255 of the C runtime's generator seeded with 7318.
// Scrambling and unscrambling are the same operation; every file starts the sequence afresh.
void scrambleBytes(uint8_t* data, size_t length);

// Writes the scrambled bytes through a temporary file in the same folder that is flushed to disk
// and then renamed over `fileName`, so the file is always the old or the new one, never a torn
// mix. False (and the old file untouched) when it cannot be written.
bool writeScrambledFile(const char* fileName, const uint8_t* data, size_t length);
// The whole file (or its first `limit` bytes), unscrambled; false when it cannot be opened or
// read.
bool readScrambledFile(const char* fileName, std::vector<uint8_t>* bytes, size_t limit = SIZE_MAX);
