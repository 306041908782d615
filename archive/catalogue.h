// The add-on catalogue: every .tr2 archive of "add-ons/" and content lookup by bare file name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "archive/archive_directory.h"
#include "archive/key_value.h"

// Lists "add-ons/*.tr2" of the current folder, sorted by name, and parses each archive's
// description. Calling it again rebuilds the catalogue from scratch. A malformed description
// ends the process (exit code -1), as KEYVALUE::parse does.
void buildCatalogue();

// The file `name` from the first archive that offers it and holds it: a malloc buffer of its
// size + 1 bytes ending in NUL, owned by the caller; `*size` gets the size. Never null: a name
// that no archive provides shows "ファイル %s が見つかりません。" and ends the process with -1.
char* loadFile(const char* name, size_t* size = nullptr);

// Puts the archive at `path` (in any folder) before every other archive, until the next
// buildCatalogue, so that the names it offers are found there first. Tools use it to hand files
// from disk to code that loads by name. False when the archive cannot be read.
bool addArchiveFirst(const char* path);

// loadFile for callers that handle a missing file themselves: null when no archive provides it.
char* findFile(const char* name, size_t* size = nullptr);

// findFile's walk with a reader of the caller's: `read` is called for each archive that offers
// `name` and holds it, in lookup order, until it returns true. False when none did.
using MemberReader = std::function<bool(const char* archivePath, const ArchiveEntry& entry)>;
bool readFileFrom(const char* name, const MemberReader& read);

// The size of `name` in the first archive that lists it under a "FILE_" key and holds it, or 0.
uint32_t fileSize(const char* name);

// The descriptions of the archives whose "TYPE" is `type` (every archive when null), in
// catalogue order, in a table of kArchiveListSize entries that is zero-filled and rewritten by
// each call; `*count` gets the number of entries filled.
constexpr int kArchiveListSize = 16384;
const KEYVALUE* const* listArchives(const char* type, int* count);

// Whether a description offers `name` (ASCII case-insensitive) under a "FILE_" key or, with
// `withIcons`, under an "ICON_" key.
bool offers(const KEYVALUE& description, const char* name, bool withIcons = true);
