// The Ogg source: its output against oggdec, looping, and bad files.
#include "audio/ogg_source.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/audio/audio_fixtures.h"
#include "tools/writers/ogg_writer.h"

namespace {
struct OpenSource {
    std::unique_ptr<MemoryStream> file;
    std::unique_ptr<OggSource> source;
    bool opened = false;
};

OpenSource openSource(const std::vector<uint8_t>& bytes, bool loop) {
    OpenSource s;
    s.file.reset(memoryStreamOf(bytes));
    s.source = std::make_unique<OggSource>(s.file.get(), loop, &s.opened);
    return s;
}

// Everything a source gives, read in blocks of `block` bytes, up to `limit` bytes.
std::vector<uint8_t> readAll(OggSource& source, size_t block, size_t limit) {
    std::vector<uint8_t> out;
    std::vector<uint8_t> buffer(block);
    while (out.size() < limit) {
        const size_t n = source.read(buffer.data(), block);
        if (n == 0) break;
        EXPECT_LE(n, block);
        out.insert(out.end(), buffer.begin(), buffer.begin() + n);
    }
    return out;
}

struct Format {
    int channels;
    int rate;
};
class OggSourceFormats : public ::testing::TestWithParam<Format> {};
}  // namespace

TEST_P(OggSourceFormats, DeliversWhatOggdecDecodes) {
    const Format f = GetParam();
    const std::vector<uint8_t> ogg = toneOgg(1.3, f.channels, f.rate, 330);
    const std::vector<uint8_t> reference = sampleBytes(oggdecSamples(ogg));
    ASSERT_EQ(reference.size(), static_cast<size_t>(1.3 * f.rate) * f.channels * 2);

    OpenSource s = openSource(ogg, false);
    ASSERT_TRUE(s.opened);
    EXPECT_EQ(s.source->channels(), f.channels);
    EXPECT_EQ(s.source->rate(), f.rate);
    EXPECT_TRUE(s.source->isReady());
    // A block the file's length is not a multiple of: the last read is short, then 0.
    EXPECT_EQ(readAll(*s.source, 10000, SIZE_MAX), reference);
    EXPECT_EQ(s.source->read(std::vector<uint8_t>(64).data(), 64), 0u);
}

TEST_P(OggSourceFormats, LoopingWrapsExactlyToTheStart) {
    const Format f = GetParam();
    const std::vector<uint8_t> ogg = toneOgg(0.7, f.channels, f.rate, 550);
    const std::vector<uint8_t> once = sampleBytes(oggdecSamples(ogg));
    OpenSource s = openSource(ogg, true);
    ASSERT_TRUE(s.opened);
    // One read larger than the file twice over: it wraps within the read and fills it all.
    const size_t frame = 2 * f.channels;
    const size_t asked = once.size() * 2 + once.size() / 3 / frame * frame + 5 * frame;
    std::vector<uint8_t> out(asked + 1);
    ASSERT_EQ(s.source->read(out.data(), asked + 1), asked) << "whole frames only";
    for (size_t i = 0; i < asked; ++i) ASSERT_EQ(out[i], once[i % once.size()]) << "byte " << i;
    // And reads keep going across later wraps.
    std::vector<uint8_t> more(once.size());
    ASSERT_EQ(s.source->read(more.data(), more.size()), more.size());
    for (size_t i = 0; i < more.size(); ++i)
        ASSERT_EQ(more[i], once[(asked + i) % once.size()]) << "byte " << i;
}

INSTANTIATE_TEST_SUITE_P(Formats, OggSourceFormats,
                         ::testing::Values(Format{2, 44100}, Format{1, 22050}, Format{1, 8000}),
                         [](const auto& info) {
                             return std::to_string(info.param.channels) + "ch" +
                                    std::to_string(info.param.rate);
                         });

TEST(OggSource, FilesThatAreNotOggVorbisDoNotOpenAndReleaseTheirData) {
    const std::vector<uint8_t> tone = toneOgg(0.2, 1, 8000);
    const std::vector<std::vector<uint8_t>> notOgg = {
        {},
        {'O', 'g', 'g', 'S'},
        std::vector<uint8_t>(5000, 0x5A),
        std::vector<uint8_t>(tone.begin(), tone.begin() + 40),  // cut inside the headers
    };
    for (const auto& bytes : notOgg) {
        OpenSource s = openSource(bytes, true);
        EXPECT_FALSE(s.opened);
        EXPECT_EQ(s.source->channels(), 0);
        EXPECT_EQ(s.source->rate(), 0);
        char out[8];
        EXPECT_EQ(s.source->read(out, sizeof out), 0u);
        s.file->rewind();
        EXPECT_EQ(s.file->read(out, sizeof out), 0u) << "the data should be released";
    }
}

TEST(OggSource, TruncatedOrCorruptFilesEndEarlyOrRestartWithoutHanging) {
    const std::vector<uint8_t> ogg = toneOgg(6.0, 2, 44100);
    const std::vector<uint8_t> full = sampleBytes(oggdecSamples(ogg));
    std::vector<uint8_t> truncated(ogg.begin(), ogg.begin() + ogg.size() * 6 / 10);
    std::vector<uint8_t> corrupt = ogg;
    for (size_t i = corrupt.size() / 2; i < corrupt.size() / 2 + 400; ++i) corrupt[i] ^= 0xA5;

    for (const auto* bytes : {&truncated, &corrupt}) {
        OpenSource once = openSource(*bytes, false);
        ASSERT_TRUE(once.opened);
        const std::vector<uint8_t> got = readAll(*once.source, 4096, full.size() * 2);
        EXPECT_GT(got.size(), 0u);
        EXPECT_LT(got.size(), full.size());

        OpenSource looping = openSource(*bytes, true);
        ASSERT_TRUE(looping.opened);
        std::vector<uint8_t> out(full.size() * 3);
        EXPECT_EQ(looping.source->read(out.data(), out.size()), out.size());
    }
}

// The headers alone: the file opens and ends at once; looping must not restart it for ever.
TEST(OggSource, AFileWithoutSamplesGivesNothingEvenWhenLooping) {
    const std::vector<uint8_t> empty = writeOggVorbis(nullptr, 0, 2, 44100);
    ASSERT_FALSE(empty.empty());
    for (bool loop : {false, true}) {
        OpenSource s = openSource(empty, loop);
        ASSERT_TRUE(s.opened);
        char out[4096];
        EXPECT_EQ(s.source->read(out, sizeof out), 0u);
        EXPECT_EQ(s.source->read(out, sizeof out), 0u);
    }
}
