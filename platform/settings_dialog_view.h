// The settings dialog's window: the values it opens with and the ones the player chose.
#pragma once

#include <string>
#include <vector>

#include "platform/window.h"

struct SettingsDialogValues {
    std::vector<std::string> resolutions;  // the drop-down's items, in order
    int selected = -1;                     // the selected item, -1 for none
    bool windowed = false;
    int voiceVolume = 0;    // 0..100
    int effectsVolume = 0;  // 0..100
    int musicVolume = 0;    // 0..100
    bool noSound = false;
    std::string playerName;   // UTF-8
    std::string heroineName;  // UTF-8
    WindowIcon icon;
};

enum class SettingsDialogOutcome {
    unavailable,  // no display, or the toolkit could not start: nothing was shown
    accepted,     // 開始: `values` hold the player's choice
    cancelled,    // 中止, Escape or the close box: `values` are unchanged
};

// Shows the modal dialog and returns when the player has closed it.
SettingsDialogOutcome runSettingsDialog(SettingsDialogValues& values);
