// The process-wide settings: screen size, window mode, volumes, sound switch and the two names.
#pragma once

constexpr int kNameFieldSize = 33;  // at most 32 bytes of CP932 text and a NUL

struct Settings {
    int screenWidth = 800;
    int screenHeight = 600;
    bool windowed = false;
    int musicVolume = 90;
    int voiceVolume = 95;
    int effectsVolume = 95;
    bool noSound = false;
    bool optionsGiven = false;
    char playerName[kNameFieldSize] = {};
    char heroineName[kNameFieldSize] = {};
};

// Written only by the command line and the settings dialog; everything else reads the accessors.
Settings& mutableSettings();
// Back to the built-in defaults (every start begins from them; tests use it between cases).
void resetSettings();

int screenWidth();
int screenHeight();
bool isWindowed();
int musicVolume();
int voiceVolume();
int effectsVolume();
bool isSoundDisabled();
const char* playerName();
const char* heroineName();

// "おにいちゃん" and "若葉" in CP932: what an empty name becomes.
extern const char kDefaultPlayerName[];
extern const char kDefaultHeroineName[];
// Puts the defaults into names left empty.
void fillDefaultNames();
