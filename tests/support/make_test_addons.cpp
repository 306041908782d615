// Writes the test add-on set into a folder, for the end-to-end runs of the real program.
// usage: tr2_make_test_addons FOLDER [SCRIPT.txt...]  (scripts in UTF-8, named by their file name)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/game_addons.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: tr2_make_test_addons FOLDER [SCRIPT.txt...]\n");
        return 2;
    }
    std::vector<std::pair<std::string, std::string>> scripts;
    for (int i = 2; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "tr2_make_test_addons: cannot read %s\n", argv[i]);
            return 1;
        }
        std::ostringstream text;
        text << in.rdbuf();
        scripts.emplace_back(std::filesystem::path(argv[i]).filename().string(), text.str());
    }
    writeGameAddOns(argv[1], scripts);
    return 0;
}
