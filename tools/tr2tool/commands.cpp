// The table of tr2tool commands.
#include "tools/tr2tool/command.h"

extern const ToolCommand kModelInfoCommand;
extern const ToolCommand kMotionInfoCommand;
extern const ToolCommand kRenderCommand;

const std::vector<const ToolCommand*>& toolCommands() {
    static const std::vector<const ToolCommand*> commands = {
        &kModelInfoCommand,
        &kMotionInfoCommand,
        &kRenderCommand,
    };
    return commands;
}
