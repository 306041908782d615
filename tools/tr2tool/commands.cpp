// The table of tr2tool commands.
#include "tools/tr2tool/command.h"

extern const ToolCommand kPackCommand;
extern const ToolCommand kUnpackCommand;
extern const ToolCommand kListCommand;
extern const ToolCommand kCheckCommand;
extern const ToolCommand kCatCommand;
extern const ToolCommand kPsdExportCommand;
extern const ToolCommand kFontBuildCommand;
extern const ToolCommand kScriptRunCommand;
extern const ToolCommand kPlayCommand;
extern const ToolCommand kModelInfoCommand;
extern const ToolCommand kMotionInfoCommand;
extern const ToolCommand kRenderCommand;

const std::vector<const ToolCommand*>& toolCommands() {
    static const std::vector<const ToolCommand*> commands = {
        &kPackCommand,      &kUnpackCommand,     &kListCommand,      &kCheckCommand,
        &kCatCommand,       &kPsdExportCommand,  &kFontBuildCommand, &kModelInfoCommand,
        &kMotionInfoCommand, &kRenderCommand,    &kScriptRunCommand, &kPlayCommand,
    };
    return commands;
}
