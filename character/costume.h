// The heroine's costume parts: putting items on, underwear variant names and half wear.
#pragma once

#include <string>
#include <vector>

class CharacterInstance;
class KEYVALUE;
struct SoundRequests;

// Heroine part numbers by category.
enum CostumePart {
    kPartBody = 0,
    kPartEyes = 1,
    kPartUnderUpper = 2,  // or the one-piece
    kPartUnderLower = 3,
    kPartSocks = 4,
    kPartCostumeUpper = 5,
    kPartCostumeLower = 6,
    kPartHead = 7,
    kPartFace = 8,
    kPartNeck = 9,
    kPartArm = 10,
    kPartShoes = 11,
    kPartHair = 12,
};

// The variant code of an underwear file name ("A" 0 worn, "HA" 1, "HB" 2, "HC" 3, else 0) read
// after its last digit; `base` gets the name cut after that digit. -1 for a null or empty name.
int variantCode(const char* fileName, std::string* base);
// The first "UNDER" description whose "NAME" equals `base`, or null.
const KEYVALUE* findUnderwear(const std::string& base);
// Half wear of the figure's underwear: `piece` bit 0 picks upper (0) or lower (1); `state`'s
// low two bits are worn (0), half worn (1) or taken off (2, 3).
void setHalfWear(CharacterInstance* figure, int piece, int state);

// The info panel's two lines (CP932).
struct InfoPanelText {
    std::string title, text;
};

// The callback of every item cell and remove cell of item windows 1..13: `record` is the item's
// description, null for the remove cell. Does nothing (returns false) when `figure` is null.
// Plays "se101" through `sound`, fills `panel` (the captions, or empty for the remove cell),
// applies the category table row of `window`, and resets the frame timer. A model file that no
// add-on provides any more is skipped (that part keeps what it wears) and named in the panel's
// text; a key the item lacks never fails: a missing "FILE_" key leaves its part removed.
bool putOnItem(CharacterInstance* figure, int window, const KEYVALUE* record, SoundRequests& sound,
               InfoPanelText* panel);

// The file name a part's model keeps (index 0: the body), empty when the part is empty.
std::string partFileName(const CharacterInstance* figure, int part);
// setPart, unless `fileName` is a model that no add-on provides: then nothing changes, the name
// is appended to `missing` (when given) and the result is false. Names starting with "nil." and
// names that setPart does not load are passed on as they are.
bool setPartIfPresent(CharacterInstance* figure, int index, const char* fileName,
                      std::vector<std::string>* missing);
// "ファイル <names> が見つかりません。" with the names in full width (the panel draws only
// double-byte text), or empty when nothing is missing.
std::string missingFilesText(const std::vector<std::string>& missing);
