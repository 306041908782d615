// Content files for the inspection and render commands: from disk, or from ./add-ons/ as the game
// finds them.
#pragma once

#include <string>
#include <vector>

// Whether the archives of ./add-ons/ hold `cp932Name` (the catalogue is built on first use).
bool addOnsHold(const std::string& cp932Name);

// The bytes of `name` (UTF-8, as typed): the disk file of that path when one exists, else the
// add-on file of that name. False with a message in `error` when neither exists.
bool readContentFile(const std::string& name, std::vector<uint8_t>* bytes, std::string* error);

// A malloc'd copy with a final NUL, as the archive lookup hands files to the readers.
char* mallocBlock(const std::vector<uint8_t>& bytes);
