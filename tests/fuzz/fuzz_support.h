// What every fuzz harness shares: the game's limits, content blocks as the loader hands them
// out, and fatal conditions turned into an exception the harness catches.
#pragma once

#include <cstddef>
#include <cstdint>

// Thrown by fatalError inside a harness: the game would show a message and end here.
struct FatalCondition {};

// A malloc copy of `size` bytes with a NUL after them, the way loadFile returns a member.
char* contentBlock(const uint8_t* data, size_t size);

// Reads every byte of `bytes` so that AddressSanitizer sees a read outside its block.
void touch(const void* bytes, size_t size);
