// The heroine's costume parts: putting items on, underwear variant names and half wear.
#include "character/costume.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "app/frame_timer.h"
#include "archive/catalogue.h"
#include "archive/key_value.h"
#include "game/sound_requests_interface.h"
#include "media/model_instance.h"
#include "platform/encoding.h"

namespace {
constexpr const char kRemove[] = "nil.";

bool startsWithNil(const char* name) {
    for (int i = 0; i < 4; ++i) {
        if (std::tolower(static_cast<unsigned char>(name[i])) != kRemove[i]) return false;
    }
    return true;
}

bool endsWithTmb(const char* name) {
    const size_t length = std::strlen(name);
    return length >= 4 && std::strcmp(name + length - 4, ".tmb") == 0;
}

const char* value(const KEYVALUE* record, const char* key) {
    const KeyValuePair* pair = record ? record->find(key) : nullptr;
    return pair ? pair->value : nullptr;
}

// The variant file FILE_k of a record, or null when it is missing or "nil".
const char* variantFile(const KEYVALUE* record, int k) {
    char key[16];
    std::snprintf(key, sizeof key, "FILE_%d", k);
    const KeyValuePair* pair = record->find(key);
    if (!pair || std::strcmp(pair->value, "nil") == 0) return nullptr;
    return pair->value;
}
}  // namespace

int variantCode(const char* fileName, std::string* base) {
    if (!fileName || !*fileName) return -1;
    const size_t length = std::strlen(fileName);
    size_t digit = length;
    while (digit > 0 && !std::isdigit(static_cast<unsigned char>(fileName[digit - 1]))) --digit;
    if (digit == 0) {
        if (base) *base = fileName;
        return 0;
    }
    if (base) base->assign(fileName, digit);
    const char* rest = fileName + digit;
    if (rest[0] == 'A') return 0;
    if (rest[0] == 'H' && rest[1] >= 'A' && rest[1] <= 'C') return rest[1] - 'A' + 1;
    return 0;
}

const KEYVALUE* findUnderwear(const std::string& base) {
    int count = 0;
    const KEYVALUE* const* records = listArchives("UNDER", &count);
    for (int i = 0; i < count; ++i) {
        const KeyValuePair* name = records[i] ? records[i]->find("NAME") : nullptr;
        if (name && base == name->value) return records[i];
    }
    return nullptr;
}

void setHalfWear(CharacterInstance* figure, int piece, int state) {
    if (!figure) return;
    const int side = piece & 1;
    const int s = state & 3;
    std::string base2, base3;
    const std::string name2 = partFileName(figure, kPartUnderUpper);
    const std::string name3 = partFileName(figure, kPartUnderLower);
    const int c2 = variantCode(name2.c_str(), &base2);
    const int c3 = variantCode(name3.c_str(), &base3);
    const KEYVALUE* record = nullptr;
    if (c2 >= 0) record = findUnderwear(base2);
    if (c3 >= 0) record = findUnderwear(base3);
    if (!record) return;

    if (record->find("UPPERONLY")) {
        if (s >= 2) {
            setPart(figure, kPartUnderUpper, kRemove);
            return;
        }
        if (!record->find("HALFWEAR")) return;
        const int k = (c2 & ~(1 << side)) | (s << side);
        if (const char* file = variantFile(record, k))
            setPartIfPresent(figure, kPartUnderUpper, file, nullptr);
        return;
    }
    const int part = kPartUnderUpper + side;
    if (s >= 2) {
        setPart(figure, part, kRemove);
        return;
    }
    if (!record->find("HALFWEAR")) return;
    if (const char* file = variantFile(record, side + 2 * s))
        setPartIfPresent(figure, part, file, nullptr);
}

std::string partFileName(const CharacterInstance* figure, int part) {
    if (!figure || part < 0 || part >= kCharacterParts) return {};
    const Model* model = part == 0 ? figure->body : figure->parts[part];
    if (!model) return {};
    return std::string(model->name, strnlen(model->name, sizeof model->name));
}

bool setPartIfPresent(CharacterInstance* figure, int index, const char* fileName,
                      std::vector<std::string>* missing) {
    if (!figure || !fileName) return false;
    if (!startsWithNil(fileName) && endsWithTmb(fileName) && fileSize(fileName) == 0) {
        if (missing) missing->push_back(fileName);
        return false;
    }
    setPart(figure, index, fileName);
    return true;
}

std::string missingFilesText(const std::vector<std::string>& missing) {
    if (missing.empty()) return {};
    std::string names;
    for (const std::string& name : missing) {
        if (!names.empty()) names += utf8ToCp932("、");
        names += toFullWidthCp932(name);
    }
    return utf8ToCp932("ファイル ") + names + utf8ToCp932(" が見つかりません。");
}

namespace {
// Part and "FILE_" key of the windows whose row is "part n := FILE_k".
struct SingleSlot {
    int window, part;
    const char* fileKey;
};
constexpr SingleSlot kSingleSlots[] = {
    {1, kPartHair, "FILE_0"},         {2, kPartEyes, "FILE_0"}, {5, kPartCostumeUpper, "FILE_0"},
    {6, kPartCostumeLower, "FILE_1"}, {7, kPartHead, "FILE_0"}, {8, kPartFace, "FILE_0"},
    {9, kPartNeck, "FILE_0"},         {10, kPartArm, "FILE_0"}, {11, kPartSocks, "FILE_0"},
    {12, kPartShoes, "FILE_0"},
};
constexpr int kCoordinateWindow = 13;

// Remove part n, then put the record's file in: a missing key leaves the part removed, a file
// that no add-on provides leaves the part as it was.
void replacePart(CharacterInstance* figure, int part, const char* fileName,
                 std::vector<std::string>* missing) {
    if (fileName)
        setPartIfPresent(figure, part, fileName, missing);
    else
        setPart(figure, part, kRemove);
}

void putOnCoordinate(CharacterInstance* figure, const KEYVALUE* record,
                     std::vector<std::string>* missing) {
    for (int nn = 0; nn < kCharacterParts; ++nn) {
        char key[16];
        std::snprintf(key, sizeof key, "COORD_%02d", nn);
        const char* model = value(record, key);
        if (!model || std::strcmp(model, "no_change") == 0) continue;
        setPartIfPresent(figure, nn, (std::string(model) + ".tmb").c_str(), missing);
    }
}

void applyWindow(CharacterInstance* figure, int window, const KEYVALUE* record,
                 std::vector<std::string>* missing) {
    for (const SingleSlot& slot : kSingleSlots) {
        if (slot.window != window) continue;
        replacePart(figure, slot.part, record ? value(record, slot.fileKey) : nullptr, missing);
        return;
    }
    if (window == 3) {
        if (const char* body = value(record, "FILE_0"))
            setPartIfPresent(figure, kPartBody, body, missing);
    } else if (window == 4) {
        setPart(figure, kPartUnderUpper, kRemove);
        setPart(figure, kPartUnderLower, kRemove);
        if (!record) return;
        if (const char* upper = value(record, "FILE_0"))
            setPartIfPresent(figure, kPartUnderUpper, upper, missing);
        if (record->find("UPPERONLY")) return;
        if (const char* lower = value(record, "FILE_1"))
            setPartIfPresent(figure, kPartUnderLower, lower, missing);
    } else if (window == kCoordinateWindow && record) {
        putOnCoordinate(figure, record, missing);
    }
}
}  // namespace

bool putOnItem(CharacterInstance* figure, int window, const KEYVALUE* record, SoundRequests& sound,
               InfoPanelText* panel) {
    if (!figure) return false;
    sound.playSystemEffect("se101");
    InfoPanelText lines;
    if (record) {
        // A lacking caption shows as an empty line; window 6 keeps the upper captions when the
        // item has no lower ones.
        const char* title = value(record, "CAPTION_0");
        const char* text = value(record, "CAPTION_1");
        if (window == 6 && value(record, "CAPTION_3")) title = value(record, "CAPTION_3");
        if (window == 6 && value(record, "CAPTION_4")) text = value(record, "CAPTION_4");
        lines.title = title ? title : "";
        lines.text = text ? text : "";
    }
    std::vector<std::string> missing;
    applyWindow(figure, window, record, &missing);
    if (!missing.empty()) lines.text = missingFilesText(missing);
    if (panel) *panel = std::move(lines);
    frameTimer().reset();
    return true;
}
