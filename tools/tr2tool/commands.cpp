// The table of tr2tool commands.
#include "tools/tr2tool/command.h"

const std::vector<const ToolCommand*>& toolCommands() {
    static const std::vector<const ToolCommand*> commands = {
    };
    return commands;
}
