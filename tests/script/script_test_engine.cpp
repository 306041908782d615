// The recording test engine.
#include "tests/script/script_test_engine.h"

#include <cstdlib>
#include <cstring>

void TestEngine::begin(const std::string& cp932) {
    char* text = static_cast<char*>(std::malloc(cp932.size() + 1));
    std::memcpy(text, cp932.c_str(), cp932.size() + 1);
    start(text);
    run(16.0f);
}

void TestEngine::frames(int count, float ms) {
    for (int i = 0; i < count; ++i) run(ms);
}
