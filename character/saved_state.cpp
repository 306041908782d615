// The seen-model list and the state file that keeps it with the upper script variables.
#include "character/saved_state.h"

#include <cstring>

#include "character/scrambled_file.h"

namespace {
constexpr size_t kVariablesOffset = 4;
constexpr size_t kNamesOffset = kVariablesOffset + 4 * kSavedVariableCount;  // 516

bool unlocked(const int32_t* variables) {
    return variables && variables[kUnlockVariable] == kUnlockValue;
}
}  // namespace

bool isModelSeen(const SeenModels& seen, const int32_t* variables, const char* name) {
    if (unlocked(variables)) return true;
    if (!name) return false;
    const size_t length = strnlen(name, kSeenNameMax);
    for (const std::string& stored : seen.names)
        if (stored.size() >= length && stored.compare(0, length, name, length) == 0) return true;
    return false;
}

bool registerModel(SeenModels& seen, const int32_t* variables, const char* name) {
    if (!name) return false;
    const size_t length = std::strlen(name);
    if (length <= 4) return false;
    // The extension goes first, so that a long name keeps its own bytes.
    std::string shortened(name, length - 4);
    if (shortened.size() > kSeenNameMax) shortened.resize(kSeenNameMax);
    if (isModelSeen(seen, variables, shortened.c_str())) return false;
    seen.names.push_back(std::move(shortened));
    return true;
}

std::vector<uint8_t> stateBytes(const SeenModels& seen, const int32_t* variables) {
    std::vector<uint8_t> bytes(kNamesOffset, 0);
    for (int i = 0; i < kSavedVariableCount; ++i) {
        const uint32_t v = static_cast<uint32_t>(variables[kFirstSavedVariable + i]);
        for (int b = 0; b < 4; ++b)
            bytes[kVariablesOffset + 4 * i + b] = static_cast<uint8_t>(v >> (8 * b));
    }
    for (const std::string& name : seen.names) {
        bytes.insert(bytes.end(), name.begin(), name.end());
        bytes.push_back('\n');
    }
    bytes.push_back(0);
    return bytes;
}

void applyStateBytes(const std::vector<uint8_t>& bytes, SeenModels& seen, int32_t* variables) {
    for (int i = 0; i < kSavedVariableCount; ++i) {
        const size_t at = kVariablesOffset + 4 * static_cast<size_t>(i);
        if (at + 4 > bytes.size()) break;
        uint32_t v = 0;
        for (int b = 0; b < 4; ++b) v |= static_cast<uint32_t>(bytes[at + b]) << (8 * b);
        variables[kFirstSavedVariable + i] = static_cast<int32_t>(v);
    }
    seen.names.clear();
    std::string name;
    for (size_t i = kNamesOffset; i < bytes.size() && bytes[i] != 0; ++i) {
        if (bytes[i] == '\n') {
            seen.names.push_back(name);
            name.clear();
        } else if (name.size() < kSeenNameMax) {
            name.push_back(static_cast<char>(bytes[i]));
        }
    }
    // A last name without its "\n" is not a name.
}

void saveState(const SeenModels& seen, const int32_t* variables) {
    if (!variables) return;
    const std::vector<uint8_t> bytes = stateBytes(seen, variables);
    writeScrambledFile(kStateFileName, bytes.data(), bytes.size());
}

void loadState(SeenModels& seen, int32_t* variables) {
    if (!variables) return;
    std::vector<uint8_t> bytes;
    if (!readScrambledFile(kStateFileName, &bytes)) return;
    applyStateBytes(bytes, seen, variables);
}
