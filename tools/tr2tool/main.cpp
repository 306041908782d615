// tr2tool: the content author's toolkit (archives, images, models, motions, fonts, scripts, sound).
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/tr2tool/command.h"

namespace {
void printCommandList(FILE* out) {
    std::fprintf(out, "usage: tr2tool COMMAND [ARGS...]\n       tr2tool COMMAND --help\n\ncommands:\n");
    for (const ToolCommand* c : toolCommands()) std::fprintf(out, "  %-12s %s\n", c->name, c->summary);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        printCommandList(stderr);
        return kToolUsage;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printCommandList(stdout);
        return kToolOk;
    }
    for (const ToolCommand* c : toolCommands()) {
        if (name != c->name) continue;
        std::vector<std::string> args(argv + 2, argv + argc);
        if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
            std::fputs(c->usage, stdout);
            return kToolOk;
        }
        const int code = c->run(args);
        if (code == kToolUsage) std::fputs(c->usage, stderr);
        return code;
    }
    std::fprintf(stderr, "tr2tool: unknown command '%s'\n\n", name.c_str());
    printCommandList(stderr);
    return kToolUsage;
}
