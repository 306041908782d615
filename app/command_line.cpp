// Start-up options: resolution, window mode, volumes, sound switch and names.
#include "app/command_line.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "app/settings.h"
#include "platform/encoding.h"
#include "platform/system.h"

namespace {
int clampVolume(const char* digits) { return std::clamp(std::atoi(digits), 0, 100); }

// The longest prefix of at most `limit` bytes that does not split a double-byte character.
size_t wholeCharacters(const char* text, size_t length, size_t limit) {
    size_t end = 0;
    while (end < length) {
        const size_t width = isCp932LeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + width > limit || end + width > length) break;
        end += width;
    }
    return end;
}

void setResolution(const std::string& token) {
    Settings& s = mutableSettings();
    const char* p = token.c_str();
    int width = std::atoi(p);
    while (*p >= '0' && *p <= '9') ++p;
    if (*p) ++p;  // the one character after the width, normally the "x"
    int height = std::atoi(p);
    width = std::max(width, 320);
    height = std::max(height, 240);
    const DisplayMode desktop = desktopMode();
    if (desktop.width > 0) width = std::min(width, desktop.width);
    if (desktop.height > 0) height = std::min(height, desktop.height);
    s.screenWidth = width;
    s.screenHeight = height;
    s.windowed = true;
}

bool startsWith(const std::string& token, const char* prefix) {
    return token.compare(0, std::strlen(prefix), prefix) == 0;
}
}  // namespace

void toFullWidth(char* field) {
    const std::string wide = toFullWidthCp932(std::string_view(field, strnlen(field, kNameFieldSize)));
    const size_t n = wholeCharacters(wide.data(), wide.size(), kNameFieldSize - 1);
    std::memset(field, 0, kNameFieldSize);
    std::memcpy(field, wide.data(), n);
}

void storeName(char* field, std::string_view cp932, size_t limit) {
    const size_t n =
        wholeCharacters(cp932.data(), cp932.size(), std::min<size_t>(limit, kNameFieldSize - 1));
    std::memset(field, 0, kNameFieldSize);
    std::memcpy(field, cp932.data(), n);
    toFullWidth(field);
}

void parseCommandLine(const char* text) {
    Settings& s = mutableSettings();
    const char* p = text;
    while ((p = std::strchr(p, '-')) != nullptr) {
        ++p;
        const char* end = p;
        while (*end && static_cast<unsigned char>(*end) > 32) ++end;
        const std::string token(p, end);
        p = end;
        bool matched = true;
        if (token.find('x') != std::string::npos) setResolution(token);
        else if (startsWith(token, "se")) s.effectsVolume = clampVolume(token.c_str() + 2);
        else if (startsWith(token, "vo")) s.voiceVolume = clampVolume(token.c_str() + 2);
        else if (startsWith(token, "bgm")) s.musicVolume = clampVolume(token.c_str() + 3);
        else if (token == "window") s.windowed = true;
        else if (token == "fullscreen") s.windowed = false;
        else if (token == "nosound") s.noSound = true;
        else if (startsWith(token, "ani")) storeName(s.playerName, token.substr(3), kNameFieldSize - 1);
        else if (startsWith(token, "imo")) storeName(s.heroineName, token.substr(3), kNameFieldSize - 1);
        else matched = false;
        if (matched) s.optionsGiven = true;
    }
}

std::string commandLineText(int argc, char** argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) text += ' ';
        text += utf8ToCp932(argv[i]);
    }
    return text;
}
