// The seen-model list, the state file and the scrambled files that must survive an interrupted
// save.
#include "character/saved_state.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <thread>

#include "character/scrambled_file.h"
#include "platform/crt_rand.h"
#include "tests/support/test_files.h"

namespace {
class SavedStateTest : public ::testing::Test {
protected:
    ScopedCurrentPath inFolder{freshTestFolder()};
    int32_t variables[256] = {};
    SeenModels seen;
};

std::vector<uint8_t> unscrambled(const char* name) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(readScrambledFile(name, &bytes));
    return bytes;
}
}  // namespace

TEST_F(SavedStateTest, TheExampleFileByteForByte) {
    for (int i = 0; i < 128; ++i) variables[128 + i] = i;
    for (int i = 0; i < 128; ++i) variables[i] = 1000 + i;  // not saved
    seen.names = {"a", "bc"};
    saveState(seen, variables);

    const std::vector<uint8_t> raw = readBytes(kStateFileName);
    ASSERT_EQ(raw.size(), 522u);
    // Scrambled with the C runtime's sequence from seed 7318, a fresh start per file.
    crtSrand(kSaveKeySeed);
    std::vector<uint8_t> plain(raw);
    for (uint8_t& b : plain) b ^= static_cast<uint8_t>(crtRand() % 255);
    EXPECT_EQ(plain, unscrambled(kStateFileName));
    EXPECT_EQ(std::vector<uint8_t>(plain.begin(), plain.begin() + 12),
              (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(std::vector<uint8_t>(plain.begin() + 512, plain.begin() + 516),
              (std::vector<uint8_t>{127, 0, 0, 0}));
    EXPECT_EQ(std::vector<uint8_t>(plain.begin() + 516, plain.end()),
              (std::vector<uint8_t>{0x61, 0x0A, 0x62, 0x63, 0x0A, 0x00}));

    // An empty list gives 517 bytes.
    saveState(SeenModels{}, variables);
    EXPECT_EQ(readBytes(kStateFileName).size(), 517u);
}

TEST_F(SavedStateTest, RoundTripKeepsTheLowerVariablesAndTheOrder) {
    for (int i = 0; i < 256; ++i) variables[i] = i * -7919;
    seen.names = {"hair01", "body", "coord_zz", std::string(63, 'n')};
    saveState(seen, variables);

    int32_t loaded[256];
    for (int32_t& v : loaded) v = 99;
    SeenModels other;
    other.names = {"stale"};
    loadState(other, loaded);
    EXPECT_EQ(other.names, seen.names);
    for (int i = 0; i < 128; ++i) ASSERT_EQ(loaded[i], 99) << i;
    for (int i = 128; i < 256; ++i) ASSERT_EQ(loaded[i], variables[i]) << i;

    // No file: nothing changes.
    std::filesystem::remove(kStateFileName);
    loadState(other, loaded);
    EXPECT_EQ(other.names.size(), 4u);
    EXPECT_EQ(loaded[200], variables[200]);
}

TEST_F(SavedStateTest, SeenNamesMatchByPrefix) {
    EXPECT_FALSE(isModelSeen(seen, variables, "hair01"));
    EXPECT_TRUE(registerModel(seen, variables, "hair01.tmb"));
    EXPECT_EQ(seen.names, std::vector<std::string>{"hair01"});
    const struct {
        const char* name;
        bool seen;
    } cases[] = {{"hair01", true},   {"hair0", true},   {"", true},
                 {"hair012", false}, {"Hair01", false}, {"air01", false}};
    for (const auto& c : cases) EXPECT_EQ(isModelSeen(seen, variables, c.name), c.seen) << c.name;
    // Already seen (a stored name begins with it): nothing is added.
    EXPECT_FALSE(registerModel(seen, variables, "hair01.tmb"));
    EXPECT_FALSE(registerModel(seen, variables, "hair0.tmb"));
    EXPECT_TRUE(registerModel(seen, variables, "hair012.tmb"));
    EXPECT_EQ(seen.names, (std::vector<std::string>{"hair01", "hair012"}));
}

TEST_F(SavedStateTest, UnlockValueMakesEverythingSeenAndAddsNothing) {
    variables[kUnlockVariable] = kUnlockValue;
    EXPECT_TRUE(isModelSeen(seen, variables, "anything"));
    EXPECT_FALSE(registerModel(seen, variables, "shoes07.tmb"));
    EXPECT_TRUE(seen.names.empty());
    variables[kUnlockVariable] = kUnlockValue + 1;
    EXPECT_FALSE(isModelSeen(seen, variables, "anything"));
}

TEST_F(SavedStateTest, ShortAndLongNamesStayInBounds) {
    for (const char* tooShort : {"", "a", "abc", ".tmb"}) {
        EXPECT_FALSE(registerModel(seen, variables, tooShort)) << tooShort;
    }
    EXPECT_FALSE(registerModel(seen, variables, nullptr));
    EXPECT_TRUE(seen.names.empty());
    EXPECT_TRUE(registerModel(seen, variables, "x.tmb"));
    // A long name keeps its first 63 bytes (the extension goes first) and is then seen.
    const std::string longName = std::string(60, 'p') + std::string(40, 'q');
    EXPECT_TRUE(registerModel(seen, variables, (longName + ".tmb").c_str()));
    EXPECT_EQ(seen.names.back(), longName.substr(0, 63));
    EXPECT_TRUE(isModelSeen(seen, variables, longName.c_str()));
}

TEST_F(SavedStateTest, ShortAndUnterminatedFilesUseWhatCanBeRead) {
    auto withNames = [](std::string tail) {
        std::vector<uint8_t> bytes(516, 0);
        bytes[4] = 5;    // variable 128
        bytes[512] = 9;  // variable 255
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        return bytes;
    };
    const struct {
        const char* what;
        std::vector<uint8_t> content;
        int32_t v128, v129, v255;
        std::vector<std::string> names;
    } cases[] = {
        {"empty file", {}, -1, -1, -1, {}},
        {"10 bytes: one whole variable", {0, 0, 0, 0, 5, 0, 0, 0, 6, 0}, 5, -1, -1, {}},
        {"variables only, no terminator", withNames(""), 5, 0, 9, {}},
        {"last name without its line end", withNames("a\nbc"), 5, 0, 9, {"a"}},
        {"no terminating zero", withNames("a\nbc\n"), 5, 0, 9, {"a", "bc"}},
        {"stops at the first zero", withNames(std::string("a\n\0bc\n", 6)), 5, 0, 9, {"a"}},
        {"long name cut to 63",
         withNames(std::string(100, 'z') + "\n"),
         5,
         0,
         9,
         {std::string(63, 'z')}},
        {"empty lines are kept", withNames("\nb\n"), 5, 0, 9, {"", "b"}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(writeScrambledFile(kStateFileName, c.content.data(), c.content.size()));
        int32_t v[256];
        for (int32_t& x : v) x = -1;
        SeenModels list;
        list.names = {"before"};
        loadState(list, v);
        EXPECT_EQ(v[128], c.v128) << c.what;
        EXPECT_EQ(v[129], c.v129) << c.what;
        EXPECT_EQ(v[255], c.v255) << c.what;
        EXPECT_EQ(list.names, c.names) << c.what;
    }
}

TEST_F(SavedStateTest, ScrambledFilesRoundTripAndReseedTheGenerator) {
    std::vector<uint8_t> outfit(2048);
    for (size_t i = 0; i < outfit.size(); ++i) outfit[i] = static_cast<uint8_t>(i * 31);
    const std::vector<uint8_t> original = outfit;
    ASSERT_TRUE(writeScrambledFile("coordinate03.dat", outfit.data(), outfit.size()));
    EXPECT_EQ(outfit, original);  // the caller's buffer is left alone
    EXPECT_NE(readBytes("coordinate03.dat"), original);
    EXPECT_EQ(unscrambled("coordinate03.dat"), original);
    std::vector<uint8_t> none;
    EXPECT_FALSE(readScrambledFile("coordinate04.dat", &none));

    // After a scrambled read the generator runs from the clock, not from the keystream's seed.
    crtSrand(kSaveKeySeed);
    const time_t before = std::time(nullptr);
    unscrambled("coordinate03.dat");
    const int next = crtRand();
    const time_t after = std::time(nullptr);
    bool fromClock = false;
    for (time_t t = before; t <= after; ++t) {
        crtSrand(static_cast<uint32_t>(t));
        fromClock = fromClock || crtRand() == next;
    }
    EXPECT_TRUE(fromClock);
}

TEST_F(SavedStateTest, AnUnwritableFileReturnsFalseAndKeepsTheOldOne) {
    const std::vector<uint8_t> old = {1, 2, 3}, fresh = {4, 5, 6, 7};
    ASSERT_TRUE(writeScrambledFile("state.dat", old.data(), old.size()));
    EXPECT_FALSE(writeScrambledFile("missing/state.dat", fresh.data(), fresh.size()));

    // The temporary file's place is taken by a folder: nothing can be written.
    std::filesystem::create_directory("state.dat.tmp");
    EXPECT_FALSE(writeScrambledFile("state.dat", fresh.data(), fresh.size()));
    EXPECT_EQ(unscrambled("state.dat"), old);
    std::filesystem::remove("state.dat.tmp");

    // A folder in the file's place cannot be replaced; no temporary file is left behind.
    std::filesystem::create_directory("folder.dat");
    EXPECT_FALSE(writeScrambledFile("folder.dat", fresh.data(), fresh.size()));
    EXPECT_TRUE(std::filesystem::is_directory("folder.dat"));
    EXPECT_FALSE(std::filesystem::exists("folder.dat.tmp"));

    // Without write permission on the folder (not a barrier for root).
    if (geteuid() != 0) {
        std::filesystem::create_directory("locked");
        ASSERT_TRUE(writeScrambledFile("locked/state.dat", old.data(), old.size()));
        chmod("locked", 0555);
        EXPECT_FALSE(writeScrambledFile("locked/state.dat", fresh.data(), fresh.size()));
        chmod("locked", 0755);
        EXPECT_EQ(unscrambled("locked/state.dat"), old);
    }
    // saveState skips an unwritable file quietly.
    std::filesystem::create_directory(std::string(kStateFileName) + ".tmp");
    saveState(seen, variables);
    EXPECT_FALSE(std::filesystem::exists(kStateFileName));
}

TEST_F(SavedStateTest, AnInterruptedSaveLeavesTheOldOrTheNewFile) {
    // A leftover temporary file from a save cut short does not disturb the next load or save.
    seen.names = {"old"};
    saveState(seen, variables);
    writeText(std::string(kStateFileName) + ".tmp", "torn");
    SeenModels loaded;
    loadState(loaded, variables);
    EXPECT_EQ(loaded.names, seen.names);
    seen.names = {"new"};
    saveState(seen, variables);
    loadState(loaded, variables);
    EXPECT_EQ(loaded.names, seen.names);

    // A writer killed at an arbitrary moment: whatever survives is one whole version.
    const std::vector<uint8_t> a(1 << 20, 0xAA), b((1 << 20) + 7, 0xBB);
    ASSERT_TRUE(writeScrambledFile("big.dat", a.data(), a.size()));
    for (int round = 0; round < 10; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                writeScrambledFile("big.dat", b.data(), b.size());
                writeScrambledFile("big.dat", a.data(), a.size());
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2 + 5 * round));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const std::vector<uint8_t> now = unscrambled("big.dat");
        EXPECT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
    }
}
