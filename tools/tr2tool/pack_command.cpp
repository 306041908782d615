// tr2tool pack: builds an archive from a KEYVALUE description and files.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/archive_directory.h"
#include "archive/key_value.h"
#include "platform/encoding.h"
#include "tools/tr2tool/command.h"
#include "tools/tr2tool/tool_files.h"
#include "tools/writers/archive_writer.h"

namespace {
constexpr const char* kUsage =
    "usage: tr2tool pack [--utf8] [--allow-unlisted] OUT.tr2 DESCRIPTION FILE...\n"
    "\n"
    "Writes an archive whose description is the KEYVALUE text file DESCRIPTION and whose\n"
    "members are the FILEs, each under its base name, LZSS-compressed unless that does not\n"
    "make it smaller. Lookups find only members that the description lists under a FILE_ or\n"
    "ICON_ key.\n"
    "\n"
    "arguments:\n"
    "  OUT.tr2           the archive to write (nothing is written when anything is refused)\n"
    "  DESCRIPTION       KEYVALUE text, stored byte for byte (Shift-JIS) unless --utf8\n"
    "  FILE...           the members; names over 31 bytes or equal ignoring case are refused\n"
    "\n"
    "options:\n"
    "  --utf8            read DESCRIPTION as UTF-8 and store it as Shift-JIS\n"
    "  --allow-unlisted  pack members that no key lists, or no member at all (warnings only)\n"
    "\n"
    "exit codes:\n"
    "  0  written\n"
    "  1  a file cannot be read or written, a name or the description is refused\n"
    "  2  wrong arguments, no FILE, or a FILE the description does not list\n";

// CP932 text from UTF-8, or false when some character has no CP932 form.
bool toCp932(const std::string& utf8, std::string* cp932) {
    *cp932 = utf8ToCp932(utf8);
    return cp932ToUtf8(*cp932) == utf8;
}

// Names that the description lists under FILE_ or ICON_ keys.
std::vector<std::string> listedNames(const std::string& description) {
    KEYVALUE record;
    record.parse(description.c_str());
    std::vector<std::string> names;
    for (const char* prefix : {"FILE_", "ICON_"})
        for (const KeyValuePair* p = record.findNext(nullptr, prefix); p;
             p = record.findNext(p, prefix))
            names.push_back(p->value);
    return names;
}

// Warns about listed names without a member; reports members that no key lists, which lookups
// never reach (warnings with `allowUnlisted`). Returns how many members are unlisted.
int checkListing(const std::string& description, const std::vector<ArchiveMember>& members,
                 bool allowUnlisted) {
    const std::vector<std::string> listed = listedNames(description);
    for (const std::string& name : listed) {
        bool present = false;
        for (const ArchiveMember& m : members)
            present |= memberNamesEqual(m.name.c_str(), name.c_str());
        if (!present)
            std::fprintf(stderr, "tr2tool pack: warning: '%s' is listed but not packed\n",
                         cp932ToUtf8(name).c_str());
    }
    int unlisted = 0;
    for (const ArchiveMember& m : members) {
        bool isListed = false;
        for (const std::string& name : listed)
            isListed |= memberNamesEqual(m.name.c_str(), name.c_str());
        if (isListed) continue;
        ++unlisted;
        std::fprintf(stderr, "tr2tool pack: %s'%s' is not listed under a FILE_ or ICON_ key\n",
                     allowUnlisted ? "warning: " : "", cp932ToUtf8(m.name).c_str());
    }
    return unlisted;
}

int runPack(const std::vector<std::string>& args) {
    size_t first = 0;
    bool utf8 = false;
    bool allowUnlisted = false;
    for (; first < args.size() && args[first].rfind("--", 0) == 0; ++first) {
        if (args[first] == "--utf8")
            utf8 = true;
        else if (args[first] == "--allow-unlisted")
            allowUnlisted = true;
        else
            return kToolUsage;
    }
    if (args.size() < first + 2) return kToolUsage;
    const std::string& outPath = args[first];
    const std::string& descriptionPath = args[first + 1];

    std::vector<uint8_t> bytes;
    if (!readWholeFile(descriptionPath, &bytes)) {
        std::fprintf(stderr, "tr2tool pack: cannot read %s\n", descriptionPath.c_str());
        return kToolFailure;
    }
    std::string description(bytes.begin(), bytes.end());
    if (utf8 && !toCp932(std::string(description), &description)) {
        std::fprintf(stderr, "tr2tool pack: %s: some text has no Shift-JIS form\n",
                     descriptionPath.c_str());
        return kToolFailure;
    }

    std::vector<ArchiveMember> members;
    for (size_t i = first + 2; i < args.size(); ++i) {
        ArchiveMember member;
        const std::string baseName = std::filesystem::path(args[i]).filename().string();
        if (!toCp932(baseName, &member.name)) {
            std::fprintf(stderr, "tr2tool pack: %s: the name has no Shift-JIS form\n",
                         args[i].c_str());
            return kToolFailure;
        }
        if (!readWholeFile(args[i], &member.data)) {
            std::fprintf(stderr, "tr2tool pack: cannot read %s\n", args[i].c_str());
            return kToolFailure;
        }
        members.push_back(std::move(member));
    }

    std::string error;
    const std::vector<uint8_t> archive = writeArchive(description, members, &error);
    if (archive.empty()) {
        std::fprintf(stderr, "tr2tool pack: %s: %s; nothing written\n", outPath.c_str(),
                     error.c_str());
        return kToolFailure;
    }
    if (members.empty() && !allowUnlisted) {
        std::fprintf(stderr,
                     "tr2tool pack: %s: no member files given (--allow-unlisted packs the "
                     "description alone); nothing written\n",
                     outPath.c_str());
        return kToolUsage;
    }
    if (checkListing(description, members, allowUnlisted) > 0 && !allowUnlisted) {
        std::fprintf(stderr,
                     "tr2tool pack: %s: members that no FILE_ or ICON_ key lists are never "
                     "found (--allow-unlisted packs them anyway); nothing written\n",
                     outPath.c_str());
        return kToolUsage;
    }
    if (!writeWholeFile(outPath, archive.data(), archive.size())) {
        std::fprintf(stderr, "tr2tool pack: cannot write %s\n", outPath.c_str());
        return kToolFailure;
    }
    size_t input = description.size();
    for (const ArchiveMember& m : members) input += m.data.size();
    std::printf("%s: %zu member%s, %zu bytes packed into %zu\n", outPath.c_str(), members.size(),
                members.size() == 1 ? "" : "s", input, archive.size());
    return kToolOk;
}
}  // namespace

extern const ToolCommand kPackCommand = {"pack", "build an archive from a description and files",
                                         kUsage, runPack};
