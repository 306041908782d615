// The archive reader: lookups by name, raw and LZSS members, and archives that are malformed.
#include "archive/archive_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "tests/archive/reference_archive.h"
#include "tests/support/test_files.h"
#include "tools/writers/archive_writer.h"

namespace {
using Bytes = std::vector<uint8_t>;
using reference::Stream;

// A malloc'd reader result as bytes; checks the NUL after them.
struct Read {
    bool found = false;
    Bytes bytes;
};

Read fromBuffer(char* buffer, size_t size) {
    Read r;
    if (!buffer) return r;
    r.found = true;
    r.bytes.assign(buffer, buffer + size);
    EXPECT_EQ(buffer[size], 0) << "no NUL after the data";
    std::free(buffer);
    return r;
}

Read readMember(const std::filesystem::path& archive, const char* name) {
    size_t size = 12345;
    char* buffer = readEntry(archive.c_str(), name, &size);
    return fromBuffer(buffer, buffer ? size : 0);
}

// The member read a piece at a time, joined.
Read readInPieces(const std::filesystem::path& archive, const char* name) {
    Read r;
    ArchiveDirectory directory;
    if (!readArchiveDirectory(archive.c_str(), &directory)) return r;
    const ArchiveEntry* entry = findMember(directory, name);
    if (!entry) return r;
    r.found = readArchiveMemberInPieces(archive.c_str(), *entry, [&](const uint8_t* b, size_t n) {
        EXPECT_LE(n, size_t{1} << 20);
        r.bytes.insert(r.bytes.end(), b, b + n);
        return true;
    });
    if (!r.found) r.bytes.clear();
    return r;
}

bool operator==(const Read& a, const Read& b) {
    return a.found == b.found && a.bytes == b.bytes;
}

Read readDesc(const std::filesystem::path& archive) {
    size_t size = 0;
    char* buffer = readDescription(archive.c_str(), &size);
    return fromBuffer(buffer, size);
}

Bytes bytes(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

uint32_t get32(const Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

Bytes randomBytes(size_t size, uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes b(size);
    for (auto& x : b) x = uint8_t(rng());
    return b;
}

class ArchiveReader : public ::testing::Test {
protected:
    std::filesystem::path folder = freshTestFolder();
    std::filesystem::path write(const std::string& name, const Bytes& file) {
        writeBytes(folder / name, file.data(), file.size());
        return folder / name;
    }
};

TEST_F(ArchiveReader, ReadsMembersOfOurArchives) {
    const std::string text(3000, 'z');
    const Bytes noise = randomBytes(700, 1);
    const std::vector<ArchiveMember> members = {
        archiveMember("script.txt", text),
        {"Noise.BIN", noise},
        archiveMember("empty.dat", ""),
        archiveMember("forced.txt", text, true),
    };
    const std::string description = fileListDescription(members, "TYPE=test");
    ASSERT_TRUE(writeArchiveFile(folder / "a.tr2", description, members));
    const auto path = folder / "a.tr2";

    EXPECT_EQ(readMember(path, "script.txt").bytes, bytes(text));
    EXPECT_EQ(readMember(path, "SCRIPT.TXT").bytes, bytes(text));
    EXPECT_EQ(readMember(path, "noise.bin").bytes, noise);
    EXPECT_EQ(readMember(path, "forced.txt").bytes, bytes(text));
    const Read empty = readMember(path, "empty.dat");
    EXPECT_TRUE(empty.found);
    EXPECT_TRUE(empty.bytes.empty());
    EXPECT_EQ(readDesc(path).bytes, bytes(description));

    EXPECT_EQ(entrySize(path.c_str(), "Script.Txt"), 3000u);
    EXPECT_EQ(entrySize(path.c_str(), "empty.dat"), 0u);
    // Entry 0 is called "KEYVALUE" in our archives and is still never found by name.
    EXPECT_FALSE(readMember(path, "KEYVALUE").found);
    EXPECT_EQ(entrySize(path.c_str(), "KEYVALUE"), 0u);
    EXPECT_FALSE(readMember(path, "script.tx").found);
    EXPECT_FALSE(readMember(path, "").found);
    EXPECT_FALSE(readMember(folder / "missing.tr2", "script.txt").found);
    EXPECT_EQ(entrySize((folder / "missing.tr2").c_str(), "script.txt"), 0u);
    EXPECT_EQ(readDescription((folder / "missing.tr2").c_str()), nullptr);
}

TEST_F(ArchiveReader, ReadsAnotherWritersArchives) {
    // Raw bytes that would mean something else as LZSS, hand-made streams, and entry 0 named
    // like a member.
    const Bytes lzssLooking = Stream().reference(4078, 18).literals("abc").bytes();
    const auto path = write(
        "ref.tr2",
        reference::buildArchive(
            reference::rawEntry("", bytes("FILE_0=x")),
            {reference::rawEntry("looks.lzs", lzssLooking),
             reference::lzssEntry("run.txt", Stream().literal('a').reference(4078, 18).bytes(), 19),
             reference::lzssEntry("INFO", Stream().literals("xy").reference(100, 6).bytes(), 8),
             reference::rawEntry("RUN.TXT", bytes("shadowed"))}));
    EXPECT_EQ(readMember(path, "looks.lzs").bytes, lzssLooking);
    EXPECT_EQ(readMember(path, "Run.txt").bytes, Bytes(19, 'a'));
    // The reference writer names entry 0 "INFO"; the member of that name is the one found.
    EXPECT_EQ(readMember(path, "info").bytes, (Bytes{'x', 'y', 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(readDesc(path).bytes, bytes("FILE_0=x"));
    EXPECT_EQ(entrySize(path.c_str(), "run.TXT"), 19u);
}

// Every prefix of an archive: nothing is read outside the file or the buffers. A raw member
// reads only when all its bytes survived; an LZSS member whose cut stream can still give its
// size reads as that stream's output followed by zeros, and is refused when it cannot.
TEST_F(ArchiveReader, TruncatedAnywhere) {
    const Bytes text = bytes(std::string(400, 'q') + "tail");
    const Bytes noise = randomBytes(90, 2);
    const std::vector<ArchiveMember> members = {{"packed.txt", text}, {"raw.bin", noise}};
    const Bytes whole = writeArchive(fileListDescription(members), members);
    ASSERT_FALSE(whole.empty());
    const uint32_t directoryEnd = 16 + 3 * 48;
    const uint32_t packedAt = get32(whole, 16 + 48 + 32);
    const uint32_t rawAt = get32(whole, 16 + 96 + 32);
    ASSERT_LT(rawAt - packedAt, text.size());  // compressed
    ASSERT_EQ(whole.size(), rawAt + noise.size());

    const uint32_t descriptionEnd = get32(whole, 16 + 32) + get32(whole, 16 + 36);
    for (size_t cut = 0; cut <= whole.size(); ++cut) {
        const auto path = write("cut.tr2", Bytes(whole.begin(), whole.begin() + cut));
        const Read packed = readMember(path, "packed.txt");
        const Read raw = readMember(path, "raw.bin");
        const Read description = readDesc(path);
        EXPECT_TRUE(readInPieces(path, "packed.txt") == packed) << cut;
        EXPECT_TRUE(readInPieces(path, "raw.bin") == raw) << cut;
        if (cut >= 16 + 48) {
            EXPECT_EQ(description.found, cut >= descriptionEnd) << cut;
        }
        if (cut < directoryEnd) continue;
        EXPECT_EQ(raw.found, cut == whole.size()) << cut;
        EXPECT_TRUE(!raw.found || raw.bytes == noise) << cut;
        if (cut <= packedAt || cut >= rawAt) {
            EXPECT_EQ(packed.found, cut >= rawAt) << cut;
        }
        if (!packed.found) continue;
        const Bytes stream(whole.begin() + packedAt, whole.begin() + std::min<size_t>(rawAt, cut));
        Bytes expectedPacked = reference::expand(stream, text.size());
        expectedPacked.resize(text.size(), 0);
        EXPECT_EQ(packed.bytes, expectedPacked) << cut;
    }
}

void put32(Bytes& file, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = uint8_t(v >> (8 * i));
}

struct MalformedCase {
    const char* name;
    std::function<void(Bytes&)> damage;
    std::function<void(const std::filesystem::path&)> expect;
};

void PrintTo(const MalformedCase& c, std::ostream* os) {
    *os << c.name;
}

// Our writer's archive with entry 1 "a.txt" (LZSS), entry 2 "b.bin" (raw 64 bytes).
Bytes sampleArchive() {
    const std::vector<ArchiveMember> members = {archiveMember("a.txt", std::string(200, 'a')),
                                                {"b.bin", randomBytes(64, 3)}};
    return writeArchive(fileListDescription(members), members);
}
constexpr size_t kEntry1 = 16 + 48, kEntry2 = 16 + 96;

std::vector<MalformedCase> malformedCases() {
    // A size that the bytes in the file cannot give is damage: the member is absent.
    auto absent = [](const char* name) {
        return [=](const std::filesystem::path& p) {
            EXPECT_FALSE(readMember(p, name).found);
            EXPECT_EQ(entrySize(p.c_str(), name), 0u);
        };
    };
    return {
        {"RawDataPastTheEnd", [](Bytes& f) { put32(f, kEntry2 + 32, uint32_t(f.size()) + 10); },
         absent("b.bin")},
        {"RawDataOffsetAtFourGiB", [](Bytes& f) { put32(f, kEntry2 + 32, 0xFFFFFFFF); },
         absent("b.bin")},
        {"RawDataCutByTheEnd", [](Bytes& f) { f.resize(f.size() - 1); }, absent("b.bin")},
        {"RawSizeOfFourGiB",
         [](Bytes& f) {
             put32(f, kEntry2 + 36, 0xFFFFFFFF);
             put32(f, kEntry2 + 40, 0xFFFFFFFF);
         },
         absent("b.bin")},
        {"StoredSizePastTheEnd", [](Bytes& f) { put32(f, kEntry1 + 36, 0xFFFFFFF0); },
         [](const auto& p) {
             // The stream runs on into b.bin's bytes; the output stops at 200 bytes.
             EXPECT_EQ(readMember(p, "a.txt").bytes, Bytes(200, 'a'));
         }},
        {"ExpandedSizeBeyondTheStream", [](Bytes& f) { put32(f, kEntry1 + 40, 100000); },
         absent("a.txt")},
        {"ExpandedSizeOfFourGiB", [](Bytes& f) { put32(f, kEntry1 + 40, 0xFFFFFFFF); },
         absent("a.txt")},
        {"ExpandedSizeTheStreamCouldGive", [](Bytes& f) { put32(f, kEntry1 + 40, 210); },
         [](const auto& p) {
             // 26 stored bytes could give 216: the stream's 200 bytes, then zeros.
             Bytes expected(210, 0);
             std::fill_n(expected.begin(), 200, 'a');
             EXPECT_EQ(readMember(p, "a.txt").bytes, expected);
             EXPECT_EQ(entrySize(p.c_str(), "a.txt"), 210u);
         }},
        {"ExpandedSizeSmallerThanTheStream", [](Bytes& f) { put32(f, kEntry1 + 40, 7); },
         [](const auto& p) { EXPECT_EQ(readMember(p, "a.txt").bytes, Bytes(7, 'a')); }},
        {"DirectoryNotWholeEntries", [](Bytes& f) { put32(f, 16 + 32, 16 + 48 * 2 + 20); },
         [](const auto& p) {
             // (116 - 16) / 48 = 2 entries: b.bin is no longer in the directory.
             EXPECT_TRUE(readMember(p, "a.txt").found);
             EXPECT_FALSE(readMember(p, "b.bin").found);
         }},
        {"DescriptionOffsetInsideTheHeader", [](Bytes& f) { put32(f, 16 + 32, 3); },
         [](const auto& p) {
             EXPECT_FALSE(readMember(p, "a.txt").found);
             EXPECT_TRUE(readDesc(p).found);
         }},
        {"DirectoryClaimsFourGiB", [](Bytes& f) { put32(f, 16 + 32, 0xFFFFFFFF); },
         [](const auto& p) {
             EXPECT_TRUE(readMember(p, "b.bin").found);
             EXPECT_FALSE(readMember(p, "not-there").found);
             // The description's bytes now lie past the end of the file.
             EXPECT_FALSE(readDesc(p).found);
         }},
        {"NameWithoutNul", [](Bytes& f) { std::memset(&f[kEntry1], 'n', 32); },
         [](const auto& p) {
             EXPECT_FALSE(readMember(p, std::string(31, 'n').c_str()).found);
             EXPECT_TRUE(readMember(p, std::string(32, 'n').c_str()).found);
             EXPECT_TRUE(readMember(p, "b.bin").found);
         }},
        {"EmptyFile", [](Bytes& f) { f.clear(); },
         [](const auto& p) {
             EXPECT_FALSE(readMember(p, "a.txt").found);
             const Read d = readDesc(p);
             EXPECT_TRUE(d.found);
             EXPECT_TRUE(d.bytes.empty());
         }},
    };
}

class MalformedArchive : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedArchive, ReadsOnlyInsideTheFile) {
    Bytes file = sampleArchive();
    GetParam().damage(file);
    const auto path = freshTestFolder() / "bad.tr2";
    writeBytes(path, file.data(), file.size());
    GetParam().expect(path);
}

INSTANTIATE_TEST_SUITE_P(Cases, MalformedArchive, ::testing::ValuesIn(malformedCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Random damage to the directory and data of a sample archive, read under the sanitizers.
TEST_F(ArchiveReader, SurvivesRandomDamage) {
    const Bytes original = sampleArchive();
    std::mt19937 rng(99);
    for (int round = 0; round < 200; ++round) {
        Bytes file = original;
        for (int k = 0; k < 4; ++k) file[rng() % file.size()] = uint8_t(rng());
        if (round % 4 == 0) put32(file, kEntry1 + 40, rng() % 5000);
        file.resize(rng() % (file.size() + 1));
        const auto path = write("damaged.tr2", file);
        for (const char* name : {"a.txt", "b.bin"}) {
            size_t size = 0;
            char* buffer = readEntry(path.c_str(), name, &size);
            if (buffer) {
                EXPECT_EQ(buffer[size], 0);
            }
            std::free(buffer);
            entrySize(path.c_str(), name);
        }
        std::free(readDescription(path.c_str()));
    }
}

// Members of several pieces, read a piece at a time, equal the members read whole: raw, LZSS
// with references across every piece's edge, and an LZSS stream cut short (zeros after it).
TEST_F(ArchiveReader, LargeMembersReadInPiecesAsWhole) {
    Bytes mixed;
    std::mt19937 rng(5);
    while (mixed.size() < (size_t{7} << 19)) {
        const size_t run = 1 + rng() % 300;
        if (rng() % 3 == 0) {
            for (size_t i = 0; i < run; ++i) mixed.push_back(uint8_t(rng()));
        } else {
            const size_t back = 1 + rng() % 4000;
            for (size_t i = 0; i < run; ++i)
                mixed.push_back(mixed.size() >= back ? mixed[mixed.size() - back] : 'z');
        }
    }
    const std::vector<ArchiveMember> members = {{"mixed.bin", mixed},
                                                {"raw.bin", randomBytes(size_t{5} << 19, 9)}};
    Bytes file = writeArchive(fileListDescription(members), members);
    ASSERT_FALSE(file.empty());
    const auto path = write("large.tr2", file);
    for (const char* name : {"mixed.bin", "raw.bin"}) {
        const Read whole = readMember(path, name);
        ASSERT_TRUE(whole.found) << name;
        EXPECT_TRUE(readInPieces(path, name) == whole) << name;
    }
    // The packed member's stream cut in its second piece.
    const uint32_t packedAt = get32(file, 16 + 48 + 32);
    const uint32_t packedSize = get32(file, 16 + 48 + 36);
    ASSERT_LT(packedSize, mixed.size());
    file.resize(packedAt + (size_t{3} << 19));
    const auto cut = write("cut.tr2", file);
    const Read whole = readMember(cut, "mixed.bin");
    ASSERT_TRUE(whole.found);
    EXPECT_TRUE(readInPieces(cut, "mixed.bin") == whole);
    // A sink that stops the read ends it at once.
    ArchiveDirectory directory;
    ASSERT_TRUE(readArchiveDirectory(path.c_str(), &directory));
    int pieces = 0;
    EXPECT_FALSE(readArchiveMemberInPieces(path.c_str(), directory.entries[1],
                                           [&](const uint8_t*, size_t) { return ++pieces < 2; }));
    EXPECT_EQ(pieces, 2);
}

TEST_F(ArchiveReader, HundredMegabyteMembers) {
    constexpr size_t kSize = 100u << 20;
    Bytes big(kSize);
    for (size_t i = 0; i < kSize; ++i) big[i] = uint8_t(i * 2654435761u >> 24);
    // An LZSS stream of references into the zeros: 100 MB from about 12 MB.
    Stream zeros;
    for (size_t n = 0; n < kSize; n += 18) zeros.reference(4078, 18);
    const auto path =
        write("big.tr2", reference::buildArchive(
                             reference::rawEntry("", {}),
                             {reference::rawEntry("raw.bin", big),
                              reference::lzssEntry("zeros.bin", zeros.bytes(), uint32_t(kSize))}));
    big = {};
    size_t size = 0;
    char* raw = readEntry(path.c_str(), "raw.bin", &size);
    ASSERT_NE(raw, nullptr);
    ASSERT_EQ(size, kSize);
    EXPECT_EQ(uint8_t(raw[kSize - 1]), uint8_t((kSize - 1) * 2654435761u >> 24));
    EXPECT_EQ(raw[kSize], 0);
    std::free(raw);
    char* expanded = readEntry(path.c_str(), "zeros.bin", &size);
    ASSERT_NE(expanded, nullptr);
    ASSERT_EQ(size, kSize);
    EXPECT_TRUE(std::all_of(expanded, expanded + kSize + 1, [](char c) { return c == 0; }));
    std::free(expanded);
    std::filesystem::remove(path);
}
}  // namespace
