// tr2tool unpack: writes every member of an archive, and its description, into a folder.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "archive/archive_directory.h"
#include "platform/encoding.h"
#include "tools/tr2tool/archive_inspection.h"
#include "tools/tr2tool/command.h"
#include "tools/tr2tool/tool_files.h"

namespace {
constexpr const char* kUsage =
    "usage: tr2tool unpack ARCHIVE DIR\n"
    "\n"
    "Writes every member of ARCHIVE as DIR/NAME (names converted from Shift-JIS to UTF-8) and\n"
    "its description as DIR/KEYVALUE. A member that a lookup never reaches (the later of two\n"
    "names equal ignoring case) is skipped with a warning.\n"
    "\n"
    "arguments:\n"
    "  ARCHIVE  a .tr2 archive\n"
    "  DIR      the folder to write into (created when missing)\n"
    "\n"
    "exit codes:\n"
    "  0  written\n"
    "  1  ARCHIVE is unreadable, not an archive or damaged (then nothing is written), or a member\n"
    "     cannot be written\n"
    "  2  wrong arguments\n";

constexpr const char* kDescriptionFile = "KEYVALUE";

// The file name for a member: UTF-8 when the name converts both ways, its own bytes otherwise.
std::string fileNameFor(const char* memberName) {
    const std::string utf8 = cp932ToUtf8(memberName);
    return utf8ToCp932(utf8) == memberName ? utf8 : std::string(memberName);
}

// Whether a member name can be written inside DIR without leaving it or replacing the
// description.
bool isSafeFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name != kDescriptionFile &&
           name.find('/') == std::string::npos && name.find('\\') == std::string::npos;
}

int runUnpack(const std::vector<std::string>& args) {
    if (args.size() != 2) return kToolUsage;
    const std::string& path = args[0];
    const std::filesystem::path folder = args[1];
    LoadedArchive archive;
    if (!loadArchive(path, &archive)) {
        std::fprintf(stderr, "tr2tool unpack: cannot read %s\n", path.c_str());
        return kToolFailure;
    }
    const std::vector<std::string> problems = layoutProblems(archive);
    if (!problems.empty()) {
        for (const std::string& p : problems)
            std::fprintf(stderr, "%s: %s\n", path.c_str(), p.c_str());
        if (notAnArchiveReason(archive).empty())
            std::fprintf(stderr, "tr2tool unpack: %s is malformed; nothing written\n",
                         path.c_str());
        return kToolFailure;
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);

    const std::vector<ArchiveEntry>& entries = archive.directory.entries;
    int code = kToolOk;
    auto write = [&](const std::string& name, const ArchiveEntry& entry) {
        const std::vector<uint8_t> data = entryBytes(archive, entry);
        std::error_code linkError;
        if (std::filesystem::is_symlink(folder / name, linkError)) {
            std::fprintf(stderr, "tr2tool unpack: %s is a symbolic link; not followed\n",
                         (folder / name).c_str());
            code = kToolFailure;
        } else if (!writeNewFile(folder / name, data.data(), data.size())) {
            std::fprintf(stderr, "tr2tool unpack: cannot write %s\n", (folder / name).c_str());
            code = kToolFailure;
        }
    };
    write(kDescriptionFile, entries[0]);
    for (size_t i = 1; i < entries.size(); ++i) {
        const ArchiveEntry& entry = entries[i];
        const std::string name = fileNameFor(entry.name);
        if (findMember(archive.directory, entry.name) != &entry) {
            std::fprintf(stderr,
                         "tr2tool unpack: warning: %s: '%s' repeats an earlier name; skipped\n",
                         path.c_str(), name.c_str());
        } else if (!isSafeFileName(name)) {
            std::fprintf(stderr, "tr2tool unpack: %s: the member name '%s' cannot be a file name\n",
                         path.c_str(), name.c_str());
            code = kToolFailure;
        } else {
            write(name, entry);
        }
    }
    return code;
}
}  // namespace

extern const ToolCommand kUnpackCommand = {"unpack", "write an archive's members into a folder",
                                           kUsage, runUnpack};
