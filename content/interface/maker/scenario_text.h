// Scenario sources: written in UTF-8, stored in the archives as Shift-JIS (CP932).
#pragma once

#include <filesystem>
#include <string>

// The CP932 form of a UTF-8 scenario, or false with the line of the first character that has
// no CP932 form or that would be a half-width katakana (a single byte the engine cannot show).
bool scenarioToCp932(const std::string& utf8, std::string* cp932, std::string* problem);

bool convertScenarioText(const std::filesystem::path& in, const std::filesystem::path& out);
