// Runs the real tr2tool program in a test's folder and collects what it printed.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct ToolRun {
    int code = -1;  // the exit code, -1 when the tool did not exit normally
    std::string out;
    std::string err;
    double seconds = 0;
};

// `arguments` is shell text after "tr2tool"; `environment` is prepended ("A=1 B=2").
ToolRun runTool(const std::filesystem::path& folder, const std::string& arguments,
                const std::string& environment = "");
// Each argument is passed as it stands (quoted for the shell).
ToolRun runTool(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                const std::string& environment = "");
