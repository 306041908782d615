// The table of tr2tool commands.
#include "tools/tr2tool/command.h"

extern const ToolCommand kPsdExportCommand;
extern const ToolCommand kFontBuildCommand;

const std::vector<const ToolCommand*>& toolCommands() {
    static const std::vector<const ToolCommand*> commands = {
        &kPsdExportCommand,
        &kFontBuildCommand,
    };
    return commands;
}
