// tr2tool check: reports what is wrong with archives (layout, description, listing).
#include <cstdio>
#include <string>
#include <vector>

#include "archive/archive_directory.h"
#include "archive/catalogue.h"
#include "archive/key_value.h"
#include "platform/encoding.h"
#include "tools/tr2tool/archive_inspection.h"
#include "tools/tr2tool/command.h"

namespace {
constexpr const char* kUsage =
    "usage: tr2tool check ARCHIVE...\n"
    "\n"
    "Checks that each archive's offsets and sizes lie inside the file and its LZSS streams\n"
    "give their expanded sizes, that its description parses, that every FILE_ and ICON_ name\n"
    "is in the directory, and that every member is listed and reachable. Prints one line per\n"
    "problem, or \"ARCHIVE: ok\".\n"
    "\n"
    "arguments:\n"
    "  ARCHIVE...  the .tr2 archives to check\n"
    "\n"
    "exit codes:\n"
    "  0  every archive is ok\n"
    "  1  some archive is unreadable, not an archive or has a problem\n"
    "  2  wrong arguments\n";

std::vector<std::string> listingProblems(const LoadedArchive& archive) {
    std::vector<std::string> problems;
    const ArchiveEntry& first = archive.directory.entries[0];
    // A description whose size is damage is reported with the layout; nothing is listed then.
    if (!expandedSizeIsPossible(first, storedBytesPresent(first, archive.bytes.size())))
        return problems;
    const std::vector<uint8_t> text = entryBytes(archive, first);
    const std::string description(text.begin(), text.end());
    std::string problem;
    if (!checkKeyValueText(description.c_str(), &problem)) {
        problems.push_back("the description does not parse: " + problem);
        return problems;
    }
    KEYVALUE record;
    record.parse(description.c_str());
    for (const char* prefix : {"FILE_", "ICON_"}) {
        for (const KeyValuePair* p = record.findNext(nullptr, prefix); p;
             p = record.findNext(p, prefix)) {
            if (!findMember(archive.directory, p->value))
                problems.push_back(cp932ToUtf8(p->key) + "=" + cp932ToUtf8(p->value) +
                                   " is not in the directory");
        }
    }
    const std::vector<ArchiveEntry>& entries = archive.directory.entries;
    for (size_t i = 1; i < entries.size(); ++i) {
        const std::string name = "member '" + displayName(entries[i].name) + "'";
        if (findMember(archive.directory, entries[i].name) != &entries[i])
            problems.push_back(name + " repeats an earlier name and is never found");
        else if (!offers(record, entries[i].name))
            problems.push_back(name + " is not listed under a FILE_ or ICON_ key");
    }
    return problems;
}

int runCheck(const std::vector<std::string>& args) {
    if (args.empty()) return kToolUsage;
    int code = kToolOk;
    for (const std::string& path : args) {
        LoadedArchive archive;
        if (!loadArchive(path, &archive)) {
            std::printf("%s: cannot read the file\n", path.c_str());
            code = kToolFailure;
            continue;
        }
        std::vector<std::string> problems = layoutProblems(archive);
        if (notAnArchiveReason(archive).empty()) {
            for (std::string& p : listingProblems(archive)) problems.push_back(std::move(p));
        }
        for (const std::string& p : problems) std::printf("%s: %s\n", path.c_str(), p.c_str());
        if (problems.empty()) std::printf("%s: ok\n", path.c_str());
        if (!problems.empty()) code = kToolFailure;
    }
    return code;
}
}  // namespace

extern const ToolCommand kCheckCommand = {"check", "report what is wrong with archives", kUsage,
                                          runCheck};
