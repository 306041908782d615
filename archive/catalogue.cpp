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
#include <unordered_map>
#include <vector>

#include "archive/archive_reader.h"
#include "platform/ascii_text.h"
#include "platform/message_box.h"

namespace {
// An archive's directory as last read, with the file's size and time at that moment; it is
// read again whenever the file has changed since.
struct CachedDirectory {
    bool valid = false;
    std::uintmax_t fileSize = 0;
    std::filesystem::file_time_type fileTime;
    ArchiveDirectory directory;
};

struct AddOnArchive {
    std::string path;  // "add-ons/" and the file name
    KEYVALUE description;
    CachedDirectory cache;
};

// One archive offering a name, and whether under a "FILE_" key (else only under "ICON_").
struct Offer {
    size_t archive;
    bool asFile;
};

struct Catalogue {
    std::vector<AddOnArchive> archives;  // sorted by file name
    // Every name that some description offers (ASCII lower case) with the archives offering
    // it in catalogue order: the same archives, in the same order, that a walk over all
    // descriptions with offers() would find.
    std::unordered_map<std::string, std::vector<Offer>> offersByName;
};

Catalogue& catalogue() {
    static Catalogue instance;
    return instance;
}

std::vector<AddOnArchive>& archives() {
    return catalogue().archives;
}

std::string foldedName(const char* name) {
    return asciiLowerCopy(name ? name : "");
}

void indexOffers(size_t index, const KEYVALUE& description) {
    for (const char* prefix : {"FILE_", "ICON_"}) {
        const bool asFile = prefix[0] == 'F';
        for (const KeyValuePair* pair = description.findNext(nullptr, prefix); pair;
             pair = description.findNext(pair, prefix)) {
            std::vector<Offer>& offers = catalogue().offersByName[foldedName(pair->value)];
            if (offers.empty() || offers.back().archive != index) {
                offers.push_back({index, asFile});
            } else {
                offers.back().asFile |= asFile;
            }
        }
    }
}

// The archives offering `name`, in catalogue order; null when none does.
const std::vector<Offer>* offersOf(const char* name) {
    if (!name) return nullptr;
    const auto& index = catalogue().offersByName;
    const auto found = index.find(foldedName(name));
    return found == index.end() ? nullptr : &found->second;
}

bool hasArchiveExtension(const std::string& fileName) {
    return endsWith(asciiLowerCopy(fileName), ".tr2");
}

// The archive's directory, or null when the file cannot be read now (its members are absent).
const ArchiveDirectory* directoryOf(AddOnArchive& archive) {
    std::error_code sizeError, timeError;
    const std::uintmax_t size = std::filesystem::file_size(archive.path, sizeError);
    const auto time = std::filesystem::last_write_time(archive.path, timeError);
    CachedDirectory& cache = archive.cache;
    if (sizeError || timeError) {
        cache.valid = false;
        return nullptr;
    }
    if (!cache.valid || cache.fileSize != size || cache.fileTime != time) {
        cache.valid = readArchiveDirectory(archive.path.c_str(), &cache.directory);
        cache.fileSize = size;
        cache.fileTime = time;
    }
    return cache.valid ? &cache.directory : nullptr;
}

uint32_t memberSizeOf(AddOnArchive& archive, const char* name) {
    const ArchiveDirectory* directory = directoryOf(archive);
    const ArchiveEntry* entry = directory ? findMember(*directory, name) : nullptr;
    // A size that the stored bytes cannot give is damage; loadFile refuses that member too.
    if (!entry ||
        !expandedSizeIsPossible(*entry, storedBytesPresent(*entry, archive.cache.fileSize)))
        return 0;
    return entry->expandedSize;
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
    catalogue().offersByName.clear();
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
        indexOffers(list.size(), archive.description);
        list.push_back(std::move(archive));
    }
}

bool addArchiveFirst(const char* path) {
    AddOnArchive archive;
    archive.path = path ? path : "";
    char* text = readDescription(archive.path.c_str());
    if (!text) return false;
    archive.description.parse(text);
    std::free(text);
    std::vector<AddOnArchive>& list = archives();
    list.insert(list.begin(), std::move(archive));
    // The index names archives by position: build it again.
    catalogue().offersByName.clear();
    for (size_t i = 0; i < list.size(); ++i) indexOffers(i, list[i].description);
    return true;
}

bool offers(const KEYVALUE& description, const char* name, bool withIcons) {
    return offersUnder(description, "FILE_", name) ||
           (withIcons && offersUnder(description, "ICON_", name));
}

bool readFileFrom(const char* name, const MemberReader& read) {
    if (const std::vector<Offer>* offers = offersOf(name)) {
        for (const Offer& offer : *offers) {
            AddOnArchive& archive = archives()[offer.archive];
            const ArchiveDirectory* directory = directoryOf(archive);
            const ArchiveEntry* entry = directory ? findMember(*directory, name) : nullptr;
            if (entry && read(archive.path.c_str(), *entry)) return true;
        }
    }
    return false;
}

char* findFile(const char* name, size_t* size) {
    char* buffer = nullptr;
    readFileFrom(name, [&](const char* archivePath, const ArchiveEntry& entry) {
        buffer = readArchiveMember(archivePath, entry, size);
        return buffer != nullptr;
    });
    return buffer;
}

char* loadFile(const char* name, size_t* size) {
    if (char* buffer = findFile(name, size)) return buffer;
    char message[1024];
    // "ファイル %s が見つかりません。"
    std::snprintf(message, sizeof message,
                  "\x83\x74\x83\x40\x83\x43\x83\x8B %s \x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8"
                  "\x82\xDC\x82\xB9\x82\xF1\x81\x42",
                  name ? name : "");
    fatalError(message, "TR2 System");
}

uint32_t fileSize(const char* name) {
    if (const std::vector<Offer>* offers = offersOf(name)) {
        for (const Offer& offer : *offers) {
            if (!offer.asFile) continue;
            if (const uint32_t size = memberSizeOf(archives()[offer.archive], name)) return size;
        }
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
