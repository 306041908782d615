// One tr2tool command: its name, usage text and entry point.
#pragma once

#include <string>
#include <vector>

constexpr int kToolOk = 0;
constexpr int kToolFailure = 1;  // an unreadable or malformed file, reported by name
constexpr int kToolUsage = 2;    // wrong arguments: the usage is printed

struct ToolCommand {
    const char* name;
    const char* summary;  // one line for the command list
    const char* usage;    // the full usage text, starting with "usage: tr2tool NAME ..."
    // Gets the arguments after the command name; returns the exit code. Returning kToolUsage
    // makes the tool print the usage on stderr.
    int (*run)(const std::vector<std::string>& args);
};

// The commands, in the order `tr2tool --help` lists them.
const std::vector<const ToolCommand*>& toolCommands();
