// The saved state: the upper 128 script variables and the list of models the player has seen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Names in the order they were added, each at most kSeenNameMax bytes.
struct SeenModels {
    std::vector<std::string> names;
};

constexpr int kUnlockVariable = 132;
constexpr int32_t kUnlockValue = 7318;
constexpr size_t kSeenNameMax = 63;
constexpr int kFirstSavedVariable = 128;
constexpr int kSavedVariableCount = 128;
constexpr const char kStateFileName[] = "tr2state.dat";

// `variables` are the engine's 256. Adds the model file name `name` without its four-byte
// extension unless it is already seen; true when added. Names of four bytes or fewer have
// nothing left to add.
bool registerModel(SeenModels& seen, const int32_t* variables, const char* name);
// True while the unlock variable holds the unlock value, or when a stored name begins with
// `name` (names are compared in their first kSeenNameMax bytes).
bool isModelSeen(const SeenModels& seen, const int32_t* variables, const char* name);

// The unscrambled bytes of the state file: 4 zero bytes, variables 128 to 255 (little-endian),
// each name followed by "\n", then one 0 byte.
std::vector<uint8_t> stateBytes(const SeenModels& seen, const int32_t* variables);
// Takes variables 128 to 255 as far as whole values are present, and replaces the list with the
// names ended by "\n" before the first 0 byte or the end.
void applyStateBytes(const std::vector<uint8_t>& bytes, SeenModels& seen, int32_t* variables);

// Writes "tr2state.dat" in the current folder; a file that cannot be written is skipped.
void saveState(const SeenModels& seen, const int32_t* variables);
// Reads "tr2state.dat" from the current folder; without one, nothing changes.
void loadState(SeenModels& seen, int32_t* variables);
