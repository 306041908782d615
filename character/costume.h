// The heroine's costume parts: underwear variant names and half wear.
#pragma once

#include <string>

class CharacterInstance;
class KEYVALUE;

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
