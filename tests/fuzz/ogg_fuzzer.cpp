// Fuzz harness: Ogg Vorbis files decoded from memory, once straight and once looping.
#include <cstdlib>
#include <vector>

#include "audio/memory_stream.h"
#include "audio/ogg_source.h"
#include "tests/fuzz/fuzz_support.h"

namespace {
// The bytes of one stream buffer half at 44100 Hz stereo: what the player asks for at once.
constexpr size_t kRequest = 88200 * 2;

void decode(const uint8_t* data, size_t size, bool loop) {
    auto* stream = new MemoryStream(contentBlock(data, size), static_cast<uint32_t>(size));
    bool opened = false;
    {
        OggSource source(stream, loop, &opened);
        if (opened) {
            std::vector<uint8_t> out(kRequest);
            // Two requests: enough to pass the end of a short file and wrap when looping.
            for (int i = 0; i < 2; ++i)
                if (source.read(out.data(), out.size()) > out.size()) std::abort();
            source.channels();
            source.rate();
        }
    }
    delete stream;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    decode(data, size, false);
    decode(data, size, true);
    return 0;
}
