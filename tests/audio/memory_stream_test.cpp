// The in-memory file stream: seeks, reads and the end of its data.
#include "audio/memory_stream.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {
MemoryStream* streamOfTenBytes() {
    char* data = static_cast<char*>(std::malloc(11));
    std::memcpy(data, "0123456789", 11);
    return new MemoryStream(data, 10);
}

struct SeekCase {
    uint32_t from;
    int32_t offset;
    int origin;
    int64_t result;
    uint32_t position;
};

class MemoryStreamSeek : public ::testing::TestWithParam<SeekCase> {};
}  // namespace

TEST_P(MemoryStreamSeek, MovesAndClampsToTheSize) {
    const SeekCase& c = GetParam();
    MemoryStream* s = streamOfTenBytes();
    s->seek(static_cast<int32_t>(c.from), 0);
    EXPECT_EQ(s->seek(c.offset, c.origin), c.result);
    EXPECT_EQ(s->tell(), c.position);
    delete s;
}

INSTANTIATE_TEST_SUITE_P(Cases, MemoryStreamSeek,
                         ::testing::Values(SeekCase{0, 4, 0, 4, 4},     // from the start
                                           SeekCase{3, 4, 1, 7, 7},     // from the position
                                           SeekCase{3, -2, 1, 1, 1},    // back from the position
                                           SeekCase{3, -2, 2, 8, 8},    // back from the end
                                           SeekCase{3, 0, 2, 10, 10},   // the end itself
                                           SeekCase{3, 25, 0, 10, 10},  // past the end: clamped
                                           SeekCase{8, 5, 1, 10, 10},
                                           SeekCase{3, -4, 1, 10, 10},  // before the start wraps
                                           SeekCase{3, -1, 0, 10, 10},  // unsigned, so clamped
                                           SeekCase{3, 1, 3, -1, 3},    // unknown origin
                                           SeekCase{3, 1, -1, -1, 3}));

TEST(MemoryStream, ReadsUpToTheEndThenNothing) {
    MemoryStream* s = streamOfTenBytes();
    char out[16] = {};
    EXPECT_EQ(s->read(out, 4), 4u);
    EXPECT_EQ(std::string(out, 4), "0123");
    EXPECT_EQ(s->read(out, 16), 6u);
    EXPECT_EQ(std::string(out, 6), "456789");
    EXPECT_EQ(s->read(out, 16), 0u);
    s->seek(0, 2);
    EXPECT_EQ(s->read(out, 1), 0u);
    s->rewind();
    EXPECT_EQ(s->tell(), 0u);
    EXPECT_EQ(s->write(out, 4), 0u);
    EXPECT_EQ(s->read(out, 2), 2u);
    EXPECT_EQ(std::string(out, 2), "01");
    s->close();  // the data is freed: nothing more to read
    s->rewind();
    EXPECT_EQ(s->read(out, 2), 0u);
    delete s;
}

TEST(MemoryStream, WithoutDataReadsNothing) {
    MemoryStream s(nullptr, 100);
    char out[4];
    EXPECT_EQ(s.size(), 0u);
    EXPECT_EQ(s.read(out, 4), 0u);
    EXPECT_EQ(s.seek(50, 0), 0);
}
