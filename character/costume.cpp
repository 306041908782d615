// The heroine's costume parts: underwear variant names and half wear.
#include "character/costume.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "archive/catalogue.h"
#include "archive/key_value.h"
#include "media/model_instance.h"

namespace {
const char* partName(const CharacterInstance* figure, int part) {
    const Model* model = figure->parts[part];
    return model ? model->name : nullptr;
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
    const int c2 = variantCode(partName(figure, kPartUnderUpper), &base2);
    const int c3 = variantCode(partName(figure, kPartUnderLower), &base3);
    const KEYVALUE* record = nullptr;
    if (c2 >= 0) record = findUnderwear(base2);
    if (c3 >= 0) record = findUnderwear(base3);
    if (!record) return;

    if (record->find("UPPERONLY")) {
        if (s >= 2) {
            setPart(figure, kPartUnderUpper, "nil.tmb");
            return;
        }
        if (!record->find("HALFWEAR")) return;
        const int k = (c2 & ~(1 << side)) | (s << side);
        if (const char* file = variantFile(record, k)) setPart(figure, kPartUnderUpper, file);
        return;
    }
    const int part = kPartUnderUpper + side;
    if (s >= 2) {
        setPart(figure, part, "nil.tmb");
        return;
    }
    if (!record->find("HALFWEAR")) return;
    if (const char* file = variantFile(record, side + 2 * s)) setPart(figure, part, file);
}
