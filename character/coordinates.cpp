// Coordinates: the heroine's whole outfit saved in and loaded from eight numbered files.
#include "character/coordinates.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "app/frame_timer.h"
#include "archive/key_value.h"
#include "character/scrambled_file.h"
#include "media/model_instance.h"
#include "platform/encoding.h"

namespace {
void setLines(InfoPanelText* panel, const char* title, const char* text) {
    if (!panel) return;
    panel->title = utf8ToCp932(title);
    panel->text = utf8ToCp932(text);
}

constexpr const char kSaveTitle[] = "妹セーブ";
constexpr const char kLoadTitle[] = "妹ロード";
}  // namespace

std::string coordinateFileName(int slot) {
    if (slot < 0 || slot >= kCoordinateSlots) return {};
    char name[32];
    std::snprintf(name, sizeof name, "coordinate%02d.dat", slot);
    return name;
}

std::vector<uint8_t> coordinateBytes(const CharacterInstance* figure) {
    std::vector<uint8_t> bytes(kCoordinateFileSize, 0);
    size_t at = 0;
    for (int part = 0; part < kCharacterParts; ++part) {
        // Names are at most 32 bytes, so 32 lines of 33 bytes and the 0 byte always fit.
        const std::string name = partFileName(figure, part);
        std::memcpy(bytes.data() + at, name.data(), name.size());
        at += name.size();
        bytes[at++] = '\n';
    }
    return bytes;
}

bool saveCoordinate(const CharacterInstance* figure, int slot, InfoPanelText* panel) {
    const std::string fileName = coordinateFileName(slot);
    if (!figure || fileName.empty()) {
        setLines(panel, kSaveTitle, "セーブに失敗しました。");
        return false;
    }
    const std::vector<uint8_t> bytes = coordinateBytes(figure);
    const bool saved = writeScrambledFile(fileName.c_str(), bytes.data(), bytes.size());
    setLines(panel, kSaveTitle, saved ? "セーブ完了しました。" : "セーブに失敗しました。");
    return saved;
}

bool loadCoordinate(CharacterInstance* figure, int slot, SeenModels& seen, const int32_t* variables,
                    InfoPanelText* panel) {
    if (!figure) return false;
    const std::string fileName = coordinateFileName(slot);
    std::vector<uint8_t> bytes;
    if (fileName.empty() || !readScrambledFile(fileName.c_str(), &bytes, kCoordinateFileSize)) {
        setLines(panel, kLoadTitle, "この番号にはセーブされていません。");
        return false;
    }
    for (int part = 1; part < kCharacterParts; ++part) setPart(figure, part, "nil.");

    // The text is what comes before the first 0 byte, within the 2048 bytes an outfit holds.
    const uint8_t* text = bytes.data();
    const size_t length = std::find(text, text + bytes.size(), 0) - text;
    std::vector<std::string> missing;
    size_t at = 0;
    for (int part = 0; part < kCharacterParts && at < length; ++part) {
        const size_t end = std::find(text + at, text + length, '\n') - text;
        const size_t lineLength = end - at;
        if (lineLength > 0 && lineLength <= kCoordinateLineMax) {
            const std::string name(reinterpret_cast<const char*>(text + at), lineLength);
            if (setPartIfPresent(figure, part, name.c_str(), &missing))
                registerModel(seen, variables, name.c_str());
        }
        at = end + 1;
    }
    frameTimer().reset();
    setLines(panel, kLoadTitle, "ロード完了しました。");
    if (panel) panel->text += missingFilesText(missing);
    return true;
}

bool isCoordinateAvailable(int slot) {
    const std::string fileName = coordinateFileName(slot);
    std::error_code error;
    if (fileName.empty() || !std::filesystem::is_regular_file(fileName, error)) return false;
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (!file) return false;
    std::fclose(file);
    return true;
}

bool isCoordinateAvailable(const KEYVALUE* record, const SeenModels& seen,
                           const int32_t* variables) {
    if (!record) return false;
    for (int nn = 0; nn < kCharacterParts; ++nn) {
        char key[16];
        std::snprintf(key, sizeof key, "COORD_%02d", nn);
        const KeyValuePair* pair = record->find(key);
        // "nil" takes a part off and names no model: there is nothing that must have been seen.
        if (!pair || std::strcmp(pair->value, "no_change") == 0 ||
            std::strcmp(pair->value, "nil") == 0)
            continue;
        if (!isModelSeen(seen, variables, pair->value)) return false;
    }
    return true;
}
