// Coordinates: the heroine's whole outfit saved in and loaded from eight numbered files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "character/costume.h"
#include "character/saved_state.h"

class CharacterInstance;
class KEYVALUE;

constexpr int kCoordinateSlots = 8;
constexpr size_t kCoordinateFileSize = 2048;
// Longest line the loader takes; a longer one is damage and is skipped.
constexpr size_t kCoordinateLineMax = 55;

// "coordinate%02d.dat" for slot 0..7, empty for any other slot.
std::string coordinateFileName(int slot);
// The unscrambled 2048 bytes of an outfit: for parts 0..31 the model's file name (nothing for an
// empty part) and "\n", then one 0 byte, then zeros.
std::vector<uint8_t> coordinateBytes(const CharacterInstance* figure);

// Saves figure's outfit as "coordinate%02d.dat" (slot 0..7) through a temporary file, so a crash
// leaves the old outfit or the new one; `panel` gets the message lines. False, with the failure
// message, when the file cannot be written, the slot is out of range or there is no figure.
bool saveCoordinate(const CharacterInstance* figure, int slot, InfoPanelText* panel);
// Loads slot 0..7 onto the figure, registering the models as seen; `panel` gets the message
// lines. A slot never saved changes nothing and returns false. A short or damaged file loads
// what it holds: the text ends at the first 0 byte or after 2048 bytes, missing lines are empty
// parts, and lines longer than kCoordinateLineMax are skipped. A model that no add-on provides
// is skipped (the body stays; other parts stay empty) and named in the panel's text.
bool loadCoordinate(CharacterInstance* figure, int slot, SeenModels& seen, const int32_t* variables,
                    InfoPanelText* panel);
// Whether an outfit was saved under slot 0..7 (its file is a file that can be opened).
bool isCoordinateAvailable(int slot);
// Whether a "COORDINATE" item is choosable: every "COORD_%02d" value is "no_change" or a seen
// model. False for a null record.
bool isCoordinateAvailable(const KEYVALUE* record, const SeenModels& seen,
                           const int32_t* variables);
