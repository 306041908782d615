// tr2tool list: prints an archive's description pairs and its members with their sizes.
#include <cstdio>
#include <string>
#include <vector>

#include "archive/key_value.h"
#include "platform/encoding.h"
#include "tools/tr2tool/archive_inspection.h"
#include "tools/tr2tool/command.h"

namespace {
constexpr const char* kUsage =
    "usage: tr2tool list ARCHIVE\n"
    "\n"
    "Prints the description's pairs as KEY=VALUE, an empty line, then one line per member:\n"
    "name, stored size and expanded size, separated by tabs (text converted to UTF-8).\n"
    "\n"
    "arguments:\n"
    "  ARCHIVE  a .tr2 archive\n"
    "\n"
    "exit codes:\n"
    "  0  listed\n"
    "  1  ARCHIVE is unreadable, not an archive, damaged or has a malformed description (the\n"
    "     problems are printed on stderr)\n"
    "  2  wrong arguments\n";

int runList(const std::vector<std::string>& args) {
    if (args.size() != 1) return kToolUsage;
    const std::string& path = args[0];
    LoadedArchive archive;
    if (!loadArchive(path, &archive)) {
        std::fprintf(stderr, "tr2tool list: cannot read %s\n", path.c_str());
        return kToolFailure;
    }
    const std::vector<std::string> problems = layoutProblems(archive);
    std::string description;
    std::string descriptionProblem;
    if (problems.empty()) {
        const std::vector<uint8_t> text = entryBytes(archive, archive.directory.entries[0]);
        description.assign(text.begin(), text.end());
        checkKeyValueText(description.c_str(), &descriptionProblem);
    }
    if (!problems.empty() || !descriptionProblem.empty()) {
        for (const std::string& p : problems)
            std::fprintf(stderr, "%s: %s\n", path.c_str(), p.c_str());
        if (!descriptionProblem.empty())
            std::fprintf(stderr, "%s: description %s\n", path.c_str(), descriptionProblem.c_str());
        return kToolFailure;
    }
    KEYVALUE record;
    record.parse(description.c_str());
    for (const KeyValuePair* p = record.pairs(); p->key; ++p)
        std::printf("%s=%s\n", cp932ToUtf8(p->key).c_str(), cp932ToUtf8(p->value).c_str());
    std::printf("\n");
    const std::vector<ArchiveEntry>& entries = archive.directory.entries;
    for (size_t i = 1; i < entries.size(); ++i)
        std::printf("%s\t%u\t%u\n", displayName(entries[i].name).c_str(), entries[i].storedSize,
                    entries[i].expandedSize);
    return kToolOk;
}
}  // namespace

extern const ToolCommand kListCommand = {"list", "print an archive's description and members",
                                         kUsage, runList};
