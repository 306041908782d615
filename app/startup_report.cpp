// Start-up stage timing, printed on request.
#include "app/startup_report.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

struct Stage {
    const char* name;
    Clock::time_point end;
};

// The clock starts with the program's statics, before main.
const Clock::time_point kStart = Clock::now();
std::vector<Stage>& stages() {
    static std::vector<Stage> list;
    return list;
}

double millisecondsBetween(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}
}  // namespace

bool startupReportRequested() {
    static const bool requested = std::getenv("TR2_STARTUP_REPORT") != nullptr;
    return requested;
}

void noteStartupStage(const char* name) {
    // A handful of stages: the list never grows past what the start notes.
    if (startupReportRequested() && stages().size() < 32) stages().push_back({name, Clock::now()});
}

std::string startupReport() {
    std::string line = "startup:";
    Clock::time_point previous = kStart;
    char part[96];
    for (const Stage& stage : stages()) {
        std::snprintf(part, sizeof part, " %s %.1f ms,", stage.name,
                      millisecondsBetween(previous, stage.end));
        line += part;
        previous = stage.end;
    }
    std::snprintf(part, sizeof part, " total %.1f ms", millisecondsBetween(kStart, previous));
    return line + part;
}
