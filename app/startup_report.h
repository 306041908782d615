// Start-up timing on request: with TR2_STARTUP_REPORT set, the program notes when each stage of
// its start ended and, at its first presented game frame, prints them and closes.
#pragma once

#include <string>

// True when TR2_STARTUP_REPORT is set (read once).
bool startupReportRequested();

// Notes that the stage `name` ended now (ignored unless a report was requested).
void noteStartupStage(const char* name);

// "startup: catalogue 3.1 ms, window 40.2 ms, ..., total 212.4 ms": each stage's own time,
// then the time since the first note's clock started (the start of the program's main).
std::string startupReport();
