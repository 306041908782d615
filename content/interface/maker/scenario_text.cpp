// Converts a UTF-8 scenario to CP932 line by line, naming the first line that cannot be stored.
#include "content/interface/maker/scenario_text.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/encoding.h"

bool scenarioToCp932(const std::string& utf8, std::string* cp932, std::string* problem) {
    cp932->clear();
    std::istringstream lines(utf8);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        const std::string converted = utf8ToCp932(line);
        bool ok = cp932ToUtf8(converted) == line;
        for (size_t i = 0; ok && i < converted.size(); ++i) {
            const auto byte = static_cast<unsigned char>(converted[i]);
            if (isCp932LeadByte(byte)) {
                ++i;
            } else if (byte >= 0x80) {
                ok = false;  // half-width katakana
            }
        }
        if (!ok) {
            *problem = "line " + std::to_string(number) + ": " + line;
            return false;
        }
        *cp932 += converted;
        *cp932 += '\n';
    }
    return true;
}

bool convertScenarioText(const std::filesystem::path& in, const std::filesystem::path& out) {
    std::ifstream source(in, std::ios::binary);
    if (!source) {
        std::fprintf(stderr, "interface-maker: cannot read %s\n", in.c_str());
        return false;
    }
    std::stringstream text;
    text << source.rdbuf();
    std::string cp932, problem;
    if (!scenarioToCp932(text.str(), &cp932, &problem)) {
        std::fprintf(stderr, "interface-maker: %s: no Shift-JIS form for %s\n", in.c_str(),
                     problem.c_str());
        return false;
    }
    std::ofstream target(out, std::ios::binary);
    target << cp932;
    if (!target) {
        std::fprintf(stderr, "interface-maker: cannot write %s\n", out.c_str());
        return false;
    }
    return true;
}
