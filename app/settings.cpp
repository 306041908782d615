// The process-wide settings and their accessors.
#include "app/settings.h"

#include <cstring>

const char kDefaultPlayerName[] = "\x82\xA8\x82\xC9\x82\xA2\x82\xBF\x82\xE1\x82\xF1";  // おにいちゃん
const char kDefaultHeroineName[] = "\x8E\xE1\x97\x74";                                  // 若葉

namespace {
Settings& instance() {
    static Settings settings = [] {
        Settings s;
        std::strcpy(s.playerName, kDefaultPlayerName);
        std::strcpy(s.heroineName, kDefaultHeroineName);
        return s;
    }();
    return settings;
}
}  // namespace

Settings& mutableSettings() { return instance(); }

void resetSettings() {
    Settings s;
    std::strcpy(s.playerName, kDefaultPlayerName);
    std::strcpy(s.heroineName, kDefaultHeroineName);
    instance() = s;
}

int screenWidth() { return instance().screenWidth; }
int screenHeight() { return instance().screenHeight; }
bool isWindowed() { return instance().windowed; }
int musicVolume() { return instance().musicVolume; }
int voiceVolume() { return instance().voiceVolume; }
int effectsVolume() { return instance().effectsVolume; }
bool isSoundDisabled() { return instance().noSound; }
const char* playerName() { return instance().playerName; }
const char* heroineName() { return instance().heroineName; }

void fillDefaultNames() {
    Settings& s = instance();
    if (!s.playerName[0]) std::strcpy(s.playerName, kDefaultPlayerName);
    if (!s.heroineName[0]) std::strcpy(s.heroineName, kDefaultHeroineName);
}
