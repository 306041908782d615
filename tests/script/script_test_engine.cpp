// The recording test engine.
#include "tests/script/script_test_engine.h"

#include <cstdlib>
#include <cstring>

#include "tests/support/test_files.h"

void TestEngine::begin(const std::string& cp932) {
    start(fileBlock(cp932));
    run(16.0f);
}

void TestEngine::frames(int count, float ms) {
    for (int i = 0; i < count; ++i) run(ms);
}
