// The add-on catalogue: every .tr2 archive of "add-ons/" and content lookup by bare file name.
#include "archive/catalogue.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "archive/archive_reader.h"
#include "platform/message_box.h"

namespace {
struct AddOnArchive {
    std::string path;  // "add-ons/" and the file name
    KEYVALUE description;
};

std::vector<AddOnArchive>& archives() {
    static std::vector<AddOnArchive> instance;
    return instance;
}

bool hasArchiveExtension(const std::string& fileName) {
    if (fileName.size() < 4) return false;
    std::string extension = fileName.substr(fileName.size() - 4);
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
    return extension == ".tr2";
}

bool offersUnder(const KEYVALUE& description, const char* prefix, const char* name) {
    for (const KeyValuePair* pair = description.findNext(nullptr, prefix); pair;
         pair = description.findNext(pair, prefix)) {
        if (memberNamesEqual(pair->value, name)) return true;
    }
    return false;
}
}  // namespace

void buildCatalogue() {
    std::vector<AddOnArchive>& list = archives();
    list.clear();
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it("add-ons", error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (hasArchiveExtension(name) && it->is_regular_file(error)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        AddOnArchive archive;
        archive.path = "add-ons/" + name;
        char* text = readDescription(archive.path.c_str());
        if (!text) continue;  // vanished or unreadable since it was listed
        archive.description.parse(text);
        std::free(text);
        list.push_back(std::move(archive));
    }
}

bool offers(const KEYVALUE& description, const char* name, bool withIcons) {
    return offersUnder(description, "FILE_", name) ||
           (withIcons && offersUnder(description, "ICON_", name));
}

char* loadFile(const char* name, size_t* size) {
    for (const AddOnArchive& archive : archives()) {
        if (!offers(archive.description, name)) continue;
        if (char* buffer = readEntry(archive.path.c_str(), name, size)) return buffer;
    }
    char message[1024];
    // "ファイル %s が見つかりません。"
    std::snprintf(message, sizeof message,
                  "\x83\x74\x83\x40\x83\x43\x83\x8B %s \x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8"
                  "\x82\xDC\x82\xB9\x82\xF1\x81\x42",
                  name ? name : "");
    messageBox(message, "TR2 System", MB_ICONERROR);
    std::exit(-1);
}

uint32_t fileSize(const char* name) {
    for (const AddOnArchive& archive : archives()) {
        if (!offers(archive.description, name, false)) continue;
        if (const uint32_t size = entrySize(archive.path.c_str(), name)) return size;
    }
    return 0;
}

const KEYVALUE* const* listArchives(const char* type, int* count) {
    static std::array<const KEYVALUE*, kArchiveListSize> table;
    table.fill(nullptr);
    int filled = 0;
    for (const AddOnArchive& archive : archives()) {
        if (filled == kArchiveListSize) break;
        if (type) {
            const KeyValuePair* pair = archive.description.find("TYPE");
            if (!pair || std::string_view(pair->value) != type) continue;
        }
        table[filled++] = &archive.description;
    }
    if (count) *count = filled;
    return table.data();
}
