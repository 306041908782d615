// tr2tool cat: writes a content file to stdout as the game's lookup finds it in ./add-ons/.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "archive/archive_reader.h"
#include "archive/catalogue.h"
#include "platform/encoding.h"
#include "tools/tr2tool/command.h"

namespace {
constexpr const char* kUsage =
    "usage: tr2tool cat NAME\n"
    "\n"
    "Looks NAME up in the archives of ./add-ons/ as the game does and writes its bytes to\n"
    "stdout.\n"
    "\n"
    "arguments:\n"
    "  NAME  a content file name (UTF-8), for example script.txt\n"
    "\n"
    "exit codes:\n"
    "  0  written\n"
    "  1  no archive provides NAME, or stdout cannot be written\n"
    "  2  wrong arguments\n";

int runCat(const std::vector<std::string>& args) {
    if (args.size() != 1) return kToolUsage;
    buildCatalogue();
    // Written a piece at a time: a large member never has to fit in memory whole.
    bool written = true;
    const bool found = readFileFrom(
        utf8ToCp932(args[0]).c_str(), [&](const char* path, const ArchiveEntry& entry) {
            const bool read =
                readArchiveMemberInPieces(path, entry, [&](const uint8_t* bytes, size_t size) {
                    written = std::fwrite(bytes, 1, size, stdout) == size;
                    return written;
                });
            // A write error ends the walk too: nothing more is written.
            return read || !written;
        });
    if (!found) {
        std::fprintf(stderr, "tr2tool cat: %s: no archive in add-ons/ provides it\n",
                     args[0].c_str());
        return kToolFailure;
    }
    if (!written || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "tr2tool cat: cannot write to stdout\n");
        return kToolFailure;
    }
    return kToolOk;
}
}  // namespace

extern const ToolCommand kCatCommand = {"cat", "write a content file from ./add-ons/ to stdout",
                                        kUsage, runCat};
