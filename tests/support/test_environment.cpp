// Every test program runs headless with its folders known, however it is started.
#include <cstdlib>

namespace {
const bool environmentSet = [] {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("TR2_NO_DIALOGS", "1", 0);
    setenv("TR2_SOURCE_DIR", TR2_SOURCE_DIR, 0);
    setenv("TR2_BINARY_DIR", TR2_BINARY_DIR, 0);
    return true;
}();
}  // namespace
