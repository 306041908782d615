// Runs the real tr2tool program in a test's folder and collects what it printed.
#include "tests/support/tool_run.h"

#include <sys/wait.h>

#include <chrono>
#include <cstdlib>

#include "tests/support/test_files.h"

namespace {
std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string text(const std::filesystem::path& path) {
    const std::vector<uint8_t> bytes = readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}
}  // namespace

ToolRun runTool(const std::filesystem::path& folder, const std::string& arguments,
                const std::string& environment) {
    const std::string command = "cd " + quoted(folder.string()) + " && " + environment + " " +
                                quoted(TR2TOOL_PATH) + " " + arguments +
                                " >tool.out 2>tool.err";
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    ToolRun run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = text(folder / "tool.out");
    run.err = text(folder / "tool.err");
    std::filesystem::remove(folder / "tool.out");
    std::filesystem::remove(folder / "tool.err");
    return run;
}

ToolRun runTool(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                const std::string& environment) {
    std::string joined;
    for (const std::string& a : arguments) joined += " " + quoted(a);
    return runTool(folder, joined, environment);
}
