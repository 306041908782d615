// The settings dialog "SETTINGS": resolution list, current-size search and what 開始 stores.
#include "app/settings_dialog.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/command_line.h"
#include "app/settings.h"
#include "platform/encoding.h"
#include "platform/settings_dialog_view.h"
#include "resources/icon.h"

namespace {
// A name typed in the dialog is read into a 32-byte field: at most 31 bytes and a NUL.
constexpr size_t kDialogNameBytes = 31;

std::string sizeText(int width, int height) {
    char text[32];
    std::snprintf(text, sizeof text, "%dx%d", width, height);
    return text;
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool beginsWith(const std::string& item, const std::string& text) {
    if (item.size() < text.size()) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (asciiLower(item[i]) != asciiLower(text[i])) return false;
    return true;
}
}  // namespace

std::vector<std::string> resolutionItems(const std::vector<DisplayMode>& modes) {
    std::vector<std::string> items;
    bool any = false;
    DisplayMode last;
    for (const DisplayMode& mode : modes) {
        if (mode.width < 320 || mode.height < 240 || mode.bitsPerPixel < 16) continue;
        if (any && mode.width == last.width && mode.height == last.height) continue;
        items.push_back(sizeText(mode.width, mode.height));
        last = mode;
        any = true;
    }
    return items;
}

int findItemWithPrefix(const std::vector<std::string>& items, int start, const std::string& text) {
    const int count = static_cast<int>(items.size());
    if (start < 0 || start >= count) start = -1;
    for (int step = 1; step <= count; ++step) {
        const int index = (start + step) % count;
        if (beginsWith(items[index], text)) return index;
    }
    return -1;
}

bool parseResolutionItem(const std::string& item, int* width, int* height) {
    const size_t x = item.find('x');
    if (x == std::string::npos) return false;
    *width = std::atoi(item.substr(0, x).c_str());
    *height = std::atoi(item.c_str() + x + 1);
    return true;
}

SettingsDialogValues settingsDialogValues(const std::vector<DisplayMode>& modes) {
    SettingsDialogValues v;
    v.resolutions = resolutionItems(modes);
    v.selected = findItemWithPrefix(v.resolutions, 0, sizeText(screenWidth(), screenHeight()));
    v.windowed = isWindowed();
    v.voiceVolume = voiceVolume();
    v.effectsVolume = effectsVolume();
    v.musicVolume = musicVolume();
    v.noSound = isSoundDisabled();
    v.playerName = cp932ToUtf8(playerName());
    v.heroineName = cp932ToUtf8(heroineName());
    const IconImage icon = loadIconResource("AppIcon");
    v.icon = {icon.width, icon.height, icon.argb};
    return v;
}

void applySettingsDialogValues(const SettingsDialogValues& v) {
    Settings& s = mutableSettings();
    int width = 0, height = 0;
    if (v.selected >= 0 && v.selected < static_cast<int>(v.resolutions.size()) &&
        parseResolutionItem(v.resolutions[v.selected], &width, &height)) {
        s.screenWidth = width;
        s.screenHeight = height;
    }
    s.windowed = v.windowed;
    s.voiceVolume = v.voiceVolume;
    s.effectsVolume = v.effectsVolume;
    s.musicVolume = v.musicVolume;
    s.noSound = v.noSound;
    storeName(s.playerName, utf8ToCp932(v.playerName), kDialogNameBytes);
    storeName(s.heroineName, utf8ToCp932(v.heroineName), kDialogNameBytes);
}

int showSettingsDialog() {
    SettingsDialogValues values = settingsDialogValues(displayModes());
    switch (runSettingsDialog(values)) {
        case SettingsDialogOutcome::accepted:
            applySettingsDialogValues(values);
            return 1;
        case SettingsDialogOutcome::cancelled:
            return 2;
        case SettingsDialogOutcome::unavailable:
            break;
    }
    std::fprintf(stderr,
                 "tr2: no display for the settings dialog; starting with the default settings "
                 "(800x600 full screen). Use -window or -WIDTHxHEIGHT for a window.\n");
    return 0;
}

std::string describeSettings() {
    char text[512];
    std::snprintf(text, sizeof text,
                  "width=%d\nheight=%d\nwindowed=%d\nmusic=%d\nvoice=%d\neffects=%d\nnosound=%d\n"
                  "player=%s\nheroine=%s\n",
                  screenWidth(), screenHeight(), isWindowed() ? 1 : 0, musicVolume(), voiceVolume(),
                  effectsVolume(), isSoundDisabled() ? 1 : 0, cp932ToUtf8(playerName()).c_str(),
                  cp932ToUtf8(heroineName()).c_str());
    return text;
}
