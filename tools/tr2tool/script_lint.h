// The scenario lint of tr2tool script-run: what a script names that the add-ons lack, labels
// it jumps to that it never defines, and half-width text that the game does not show.
#pragma once

#include <string>
#include <vector>

struct LintWarning {
    std::string file;  // the script's name
    int line = 0;      // from 1
    std::string text;  // UTF-8
};

// Checks the CP932 script `text` called `name` against the add-ons of the catalogue, and every
// script it reaches with "%G" the same way (each once).
std::vector<LintWarning> lintScenario(const std::string& name);
