// The settings dialog "SETTINGS": its resolution list, the search for the current size, and
// what 開始 stores in the settings.
#pragma once

#include <string>
#include <vector>

#include "platform/system.h"

struct SettingsDialogValues;

// "%dx%d" for every mode of at least 320 x 240 and 16 bits per pixel, in the display's order;
// a size equal to the one added last is left out (repeats are only suppressed back to back).
std::vector<std::string> resolutionItems(const std::vector<DisplayMode>& modes);

// The index of the first item that begins with `text` (ignoring ASCII case), searching from the
// item after `start` to the end and then from the top back to `start`; -1 when none matches.
// A `start` outside the list searches the whole list from the top.
int findItemWithPrefix(const std::vector<std::string>& items, int start, const std::string& text);

// The size of a resolution item: the numbers before and after its first "x"; false (and nothing
// written) when it has no "x".
bool parseResolutionItem(const std::string& item, int* width, int* height);

// The dialog's opening values: the current settings, the display's modes, the size selected.
SettingsDialogValues settingsDialogValues(const std::vector<DisplayMode>& modes);
// What 開始 stores: size of the selected item (kept when none or no "x"), window mode, volumes,
// sound switch, and the names cut to 31 bytes at a whole character and made full width.
void applySettingsDialogValues(const SettingsDialogValues& values);

// Shows the dialog over the current settings. Returns 1 when accepted, 2 when cancelled, and 0
// when no dialog could be shown (a note goes to stderr and the settings stay as they are).
int showSettingsDialog();

// The settings as "key=value" lines, names in UTF-8 (for scripts and tests).
std::string describeSettings();
