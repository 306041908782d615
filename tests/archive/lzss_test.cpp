// LZSS: the expander against hand-made and random streams, the compressor by round trips.
#include "archive/lzss.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "tests/archive/reference_archive.h"
#include "tools/writers/lzss_writer.h"

namespace {
using Bytes = std::vector<uint8_t>;

Bytes expandExactly(const Bytes& stream, size_t size, size_t* written = nullptr) {
    // The buffer is exactly `size` bytes so that AddressSanitizer sees any write past it.
    auto buffer = std::make_unique<uint8_t[]>(size);
    const size_t n = expandLzss(stream.data(), stream.size(), buffer.get(), size);
    if (written) *written = n;
    return Bytes(buffer.get(), buffer.get() + n);
}

Bytes randomBytes(size_t size, uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes b(size);
    for (auto& x : b) x = uint8_t(rng());
    return b;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

// Words, numbers and line ends, like scripts and descriptions.
Bytes textLike(size_t size) {
    static const char* words[] = {"the ",  "camera ", "FILE_0=", "hair",  ".tmb\n",   "se101 ",
                                  "wait ", "500\n",   "@",       "name ", "\x82\xA0", "\x83\x41"};
    std::mt19937 rng(7);
    Bytes b;
    while (b.size() < size) {
        const std::string w = words[rng() % 12];
        b.insert(b.end(), w.begin(), w.end());
    }
    b.resize(size);
    return b;
}

// Greedy parse with the longest match found by brute force over the whole window, counting
// the bytes of the stream it would make. Ties do not change the size, so a compressor that
// finds the longest match every time produces a stream of exactly this size.
size_t bruteForceStreamSize(const Bytes& data) {
    Bytes text(4096, 0);
    text.insert(text.end(), data.begin(), data.end());
    size_t items = 0, bytes = 0;
    for (size_t c = 4096; c < text.size();) {
        size_t best = 0;
        const size_t limit = std::min<size_t>(18, text.size() - c);
        for (size_t d = 1; d <= 4096; ++d) {
            size_t n = 0;
            while (n < limit && text[c - d + n] == text[c + n]) ++n;
            best = std::max(best, n);
        }
        const size_t step = best >= 3 ? best : 1;
        bytes += best >= 3 ? 2 : 1;
        ++items;
        c += step;
    }
    return bytes + (items + 7) / 8;
}

struct RoundTripCase {
    const char* name;
    Bytes data;
    bool checkLongest;  // small enough for the brute-force comparison
};

void PrintTo(const RoundTripCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<RoundTripCase> roundTripCases() {
    const Bytes block = randomBytes(4096, 1);
    const Bytes shortBlock = randomBytes(300, 2);
    return {
        {"Empty", {}, true},
        {"OneByte", {0x41}, true},
        {"OneZero", {0}, true},
        {"RunLongerThan18", Bytes(1000, 'a'), true},
        {"LeadingZeros", concat({Bytes(40, 0), randomBytes(100, 3)}), true},
        {"ShortRepeats", textLike(6000), true},
        {"Incompressible", randomBytes(5000, 4), true},
        // The same 4096 bytes twice: every match is exactly at the edge of the window.
        {"MatchAtWindowEdge", concat({block, block}), false},
        // Repeats 4095, 4096 and 4097 bytes back (the last out of reach).
        {"AroundTheEdge",
         concat({shortBlock, randomBytes(3795, 5), shortBlock, Bytes{9}, randomBytes(3795, 6),
                 shortBlock}),
         false},
        {"LongMixed",
         concat({textLike(30000), Bytes(5000, 0), randomBytes(20000, 8), textLike(20000)}), false},
    };
}

class LzssRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(LzssRoundTrip, ExpandsBackToTheInput) {
    const Bytes& data = GetParam().data;
    const Bytes stream = compressLzss(data.data(), data.size());
    EXPECT_EQ(expandExactly(stream, data.size()), data);
    EXPECT_EQ(reference::expand(stream, data.size()), data);
    if (GetParam().checkLongest) {
        EXPECT_EQ(stream.size(), bruteForceStreamSize(data));
    }
}

INSTANTIATE_TEST_SUITE_P(Data, LzssRoundTrip, ::testing::ValuesIn(roundTripCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LzssCompressor, FindsMatchesAtTheWindowEdge) {
    const Bytes block = randomBytes(4096, 11);
    const Bytes data = concat({block, block});
    const Bytes stream = compressLzss(data.data(), data.size());
    // The first copy costs 9 bits a byte; the second must be references (2 bytes per 18).
    EXPECT_LT(stream.size(), 4096 * 9 / 8 + 4096 / 18 * 2 + 64);
}

TEST(LzssCompressor, IncompressibleDataGrows) {
    const Bytes data = randomBytes(1000, 12);
    EXPECT_GT(compressLzss(data.data(), data.size()).size(), data.size());
}

struct StreamCase {
    const char* name;
    Bytes stream;
    size_t outputSize;
    Bytes expected;
};

void PrintTo(const StreamCase& c, std::ostream* os) {
    *os << c.name;
}

Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

std::vector<StreamCase> streamCases() {
    using reference::Stream;
    return {
        {"ReferenceIntoInitialZeros", Stream().reference(4078, 18).bytes(), 18, Bytes(18, 0)},
        {"ReferenceAtRingStart", Stream().reference(0, 5).literal('x').bytes(), 6,
         concat({Bytes(5, 0), text("x")})},
        {"OverlappingRun", Stream().literal('a').reference(4078, 18).bytes(), 19, Bytes(19, 'a')},
        {"OverlappingPair", Stream().literals("ab").reference(4078, 10).bytes(), 12,
         text("abababababab")},
        {"ReferenceHalfIntoZeros", Stream().literals("xy").reference(4076, 6).bytes(), 8,
         Bytes{'x', 'y', 0, 0, 'x', 'y', 0, 0}},
        {"CutAtExpandedSize", Stream().literals("abcdef").reference(4078, 18).bytes(), 10,
         text("abcdefabcd")},
        {"EndsAfterFlagByte", Bytes{0xFF}, 4, {}},
        {"EndsInsideReference", Bytes{0x00, 0x12}, 4, {}},
        {"EndsBetweenLiterals", Bytes{0xFF, 'a', 'b'}, 5, text("ab")},
        {"NineItemsUseTwoFlagBytes", Stream().literals("123456789").bytes(), 9, text("123456789")},
        {"NothingToWriteInto", Stream().literals("abc").bytes(), 0, {}},
    };
}

class LzssStream : public ::testing::TestWithParam<StreamCase> {};

TEST_P(LzssStream, ExpandsAsTheRingDictates) {
    const StreamCase& c = GetParam();
    size_t written = 0;
    EXPECT_EQ(expandExactly(c.stream, c.outputSize, &written), c.expected);
    EXPECT_EQ(written, c.expected.size());
}

INSTANTIATE_TEST_SUITE_P(HandMade, LzssStream, ::testing::ValuesIn(streamCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Random streams exercise every kind of reference (into the zeros, overlapping, after the
// ring has wrapped) against the step-by-step expander, with exact-size output buffers.
TEST(LzssExpander, MatchesTheRingExpanderOnRandomStreams) {
    std::mt19937 rng(2024);
    for (int round = 0; round < 300; ++round) {
        Bytes stream = randomBytes(rng() % 3000, rng());
        // Mostly literals or mostly references, to reach past the ring's first wrap.
        if (round % 3 == 0 && !stream.empty()) stream[0] = 0;
        const size_t outputSize = rng() % 20000;
        const Bytes expected = reference::expand(stream, outputSize);
        size_t written = 0;
        ASSERT_EQ(expandExactly(stream, outputSize, &written), expected) << "round " << round;
        ASSERT_EQ(written, expected.size());
    }
}

// Long streams of the items that take the block path's shortcuts: references of every length
// at distances of 1 to 40 (overlapping, the 18-byte copy, the fill of a repeated byte), some
// reaching back into the initial zeros, and whole groups of literals; cut at every kind of
// place near the end, where the item-by-item tail takes over.
TEST(LzssExpander, MatchesTheRingExpanderOnShortDistancesAndLiteralRuns) {
    std::mt19937 rng(7);
    for (int round = 0; round < 40; ++round) {
        reference::Stream stream;
        size_t produced = 0;
        for (int item = 0; item < 4000; ++item) {
            if (rng() % 4 == 0) {
                for (int i = 0; i < 8; ++i, ++produced) stream.literal(uint8_t(rng()));
                continue;
            }
            const unsigned length = 3 + rng() % 16;
            const unsigned distance = 1 + rng() % 40;
            // Ring position of the byte `distance` back from the next one written.
            stream.reference((4078 + produced - distance) % 4096, length);
            produced += length;
        }
        const Bytes bytes = stream.bytes();
        for (const size_t outputSize :
             {produced, produced - 1, produced - 17, produced + 5, size_t(rng() % produced)}) {
            const Bytes expected = reference::expand(bytes, outputSize);
            ASSERT_EQ(expandExactly(bytes, outputSize), expected)
                << "round " << round << " size " << outputSize;
        }
        const size_t cut = rng() % bytes.size();
        const Bytes shortened(bytes.begin(), bytes.begin() + cut);
        ASSERT_EQ(expandExactly(shortened, produced), reference::expand(shortened, produced))
            << "round " << round << " cut at " << cut;
    }
}

// Expansion in pieces with small windows and the stream handed over in small random parts
// gives the whole expansion: references cross every piece's edge and every input part's edge.
TEST(LzssExpander, InPiecesEqualsWhole) {
    std::mt19937 rng(11);
    for (int round = 0; round < 60; ++round) {
        Bytes data;
        while (data.size() < 30000) {
            const size_t run = 1 + rng() % 40;
            const size_t back = 1 + rng() % 5000;
            for (size_t i = 0; i < run; ++i)
                data.push_back(rng() % 4 == 0 || data.size() < back ? uint8_t(rng() % 4)
                                                                    : data[data.size() - back]);
        }
        Bytes stream = compressLzss(data.data(), data.size());
        if (round % 4 == 1) stream.resize(stream.size() * 2 / 3);  // ends early
        if (round % 4 == 2) stream = randomBytes(stream.size(), rng());
        const uint64_t total = round % 4 == 3 ? data.size() - 7 : data.size();  // cut short
        const Bytes whole = reference::expand(stream, size_t(total));

        const size_t windowSize = kLzssRingSize + kLzssMaxMatch + rng() % 300;
        Bytes window(windowSize), joined, input;
        LzssExpansion state;
        size_t history = 0, given = 0;
        for (int step = 0; step < 100000 && state.produced < total; ++step) {
            const size_t part = std::min<size_t>(rng() % 64, stream.size() - given);
            input.insert(input.end(), stream.begin() + given, stream.begin() + given + part);
            given += part;
            const size_t made = expandLzssPiece(state, input.data(), input.size(), window.data(),
                                                history, windowSize, total);
            ASSERT_LE(state.in, input.size());
            joined.insert(joined.end(), window.begin() + history, window.begin() + history + made);
            input.erase(input.begin(), input.begin() + state.in);
            const size_t end = history + made;
            history = std::min(end, kLzssRingSize);
            std::copy(window.begin() + end - history, window.begin() + end, window.begin());
            if (made == 0 && given == stream.size()) break;
        }
        ASSERT_EQ(joined, whole) << "round " << round;
        EXPECT_EQ(state.produced, whole.size());
    }
}

// The bound that tells a damaged size claim from a real one is reached exactly: every stream
// of n bytes gives at most lzssMaxExpandedSize(n), and all-reference streams give that much.
TEST(LzssExpander, MaxExpandedSizeIsTight) {
    for (size_t n = 0; n < 60; ++n) {
        Bytes best;
        size_t left = n;
        while (left > 0) {
            --left;  // a flag byte: references, and a literal for an odd byte left over
            uint8_t flags = 0;
            Bytes items;
            for (int bit = 0; bit < 8 && left > 0; ++bit) {
                if (left >= 2) {
                    items.insert(items.end(), {0xEE, 0xFF});  // position 4078, 18 bytes
                    left -= 2;
                } else {
                    flags |= uint8_t(1 << bit);
                    items.push_back('x');
                    left -= 1;
                }
            }
            best.push_back(flags);
            best.insert(best.end(), items.begin(), items.end());
        }
        ASSERT_EQ(best.size(), n);
        const uint64_t bound = lzssMaxExpandedSize(n);
        EXPECT_EQ(reference::expand(best, bound + 100).size(), bound) << n;
        std::mt19937 rng{uint32_t(n)};
        for (int round = 0; round < 50; ++round)
            EXPECT_LE(reference::expand(randomBytes(n, rng()), bound + 100).size(), bound) << n;
    }
    EXPECT_EQ(lzssMaxExpandedSize(17), 144u);
    EXPECT_EQ(lzssMaxExpandedSize(uint64_t{0xFFFFFFFF} + 3), uint64_t{0xFFFFFFFF} / 17 * 144 + 18);
}

TEST(LzssExpander, ToleratesNullBuffers) {
    uint8_t out[4] = {1, 2, 3, 4};
    EXPECT_EQ(expandLzss(nullptr, 10, out, sizeof out), 0u);
    const uint8_t in[] = {0xFF, 'a'};
    EXPECT_EQ(expandLzss(in, sizeof in, nullptr, 10), 0u);
}
}  // namespace
