// Motions: the frame-for-time rule, TSB and TSS reading, locators and the motion cache.
#include "media/motion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "archive/catalogue.h"
#include "media/model.h"
#include "tests/media/media_fixtures.h"
#include "tests/support/test_files.h"

namespace {
// Two bones, three frames: bone b of frame f is a translation by (f, b, 0); one locator
// "eye" at (f, 10, 0) and one "sight" at (f, 20, 0).
MotionData sampleMotion(int32_t loopStart = 1) {
    MotionData m;
    m.boneCount = 2;
    m.frameCount = 3;
    m.loopStart = loopStart;
    for (int f = 0; f < 3; ++f)
        for (int b = 0; b < 2; ++b)
            m.matrices.push_back(translation16(static_cast<float>(f), static_cast<float>(b), 0));
    m.locatorNames = {"eye", "sight"};
    for (int f = 0; f < 3; ++f)
        for (float y : {10.0f, 20.0f})
            m.locatorValues.push_back({static_cast<float>(f), y, 0, 1, 2, 3, 4, 5, 6});
    return m;
}

void expectSample(const Motion& m, int32_t loopStart) {
    EXPECT_EQ(m.boneCount, 2);
    EXPECT_EQ(m.frameCount, 3);
    EXPECT_EQ(m.loopStart, loopStart);
    const D3DMATRIX* f2 = frameMatrices(&m, 2.5f);
    ASSERT_NE(f2, nullptr);
    EXPECT_EQ(f2[0]._41, 2.0f);
    EXPECT_EQ(f2[1]._42, 1.0f);
    EXPECT_EQ(f2[1]._11, 1.0f);
    ASSERT_EQ(m.locatorCount, 2);
    EXPECT_EQ(findLocator(&m, "sight"), 1);
    EXPECT_EQ(findLocator(&m, "Sight"), -1);
    const float* sight = locatorByName(&m, 1.0f, "sight");
    ASSERT_NE(sight, nullptr);
    EXPECT_EQ(sight[0], 1.0f);
    EXPECT_EQ(sight[1], 20.0f);
    EXPECT_EQ(sight[8], 6.0f);
    EXPECT_EQ(locatorAt(&m, 0, 2), nullptr);
    EXPECT_EQ(locatorAt(&m, 0, -1), nullptr);
}

Motion* motionWithFrames(int32_t frames, int32_t loopStart) {
    static D3DMATRIX matrices[1000];
    auto* m = new Motion;
    m->frameCount = frames;
    m->loopStart = loopStart;
    m->boneCount = 1;
    m->boneMatrices = matrices;
    return m;
}

int readText(Motion* motion, const std::string& text) {
    char* block = fileBlock(text);
    const int result = readTss(motion, block, text.size());
    std::free(block);
    return result;
}
}  // namespace

TEST(MotionFrames, PlayOnceThenRepeatFromTheLoopStart) {
    std::unique_ptr<Motion> m(motionWithFrames(100, 20));
    const struct {
        float time;
        int32_t frame;
    } cases[] = {{0, 0},    {0.99f, 0},   {99.9f, 99}, {100, 20}, {179, 99},
                 {180, 20}, {259.5f, 99}, {-0.5f, 0},  {-7, 0},   {std::nanf(""), 0}};
    for (const auto& c : cases) EXPECT_EQ(frameForTime(m.get(), c.time), c.frame) << c.time;
    const int32_t far = frameForTime(m.get(), std::numeric_limits<float>::max());
    EXPECT_TRUE(far >= 20 && far < 100);
    EXPECT_EQ(frameMatrices(m.get(), 150) - m->boneMatrices, 70);
}

TEST(MotionFrames, LoopStartsOutsideTheFramesNeverDivideByZero) {
    // At or past the frame count the last frame holds; below 0 the whole motion repeats.
    const struct {
        int32_t frames, loop;
        float time;
        int32_t frame;
    } cases[] = {{10, 10, 10, 9}, {10, 10, 55, 9}, {10, 25, 11, 9}, {10, -3, 13, 3},
                 {1, 0, 5, 0},    {1, 1, 5, 0},    {10, 9, 33, 9}};
    for (const auto& c : cases) {
        std::unique_ptr<Motion> m(motionWithFrames(c.frames, c.loop));
        EXPECT_EQ(frameForTime(m.get(), c.time), c.frame)
            << c.frames << " " << c.loop << " " << c.time;
    }
    std::unique_ptr<Motion> empty(motionWithFrames(0, 0));
    EXPECT_EQ(frameMatrices(empty.get(), 3), nullptr);
    Motion none;
    EXPECT_EQ(frameMatrices(&none, 0), nullptr);
    EXPECT_EQ(findLocator(&none, "eye"), -1);
    EXPECT_EQ(locatorByName(&none, 0, "eye"), nullptr);
}

TEST(TsbReader, ReadsCountsMatricesAndLocatorsInPlace) {
    Motion m;
    const std::vector<uint8_t> bytes = writeTsb(sampleMotion(), "any header bytes");
    ASSERT_EQ(readTsb(&m, fileBlock(bytes), bytes.size()), 0);
    expectSample(m, 1);
    EXPECT_STREQ(m.locatorNames[0], "eye");
}

TEST(TsbReader, CountsThatRunPastTheFileAreRefused) {
    const std::vector<uint8_t> bytes = writeTsb(sampleMotion());
    // Blocks as the loader makes them (a NUL after the bytes): every cut before the last name
    // is refused; from there on the NUL ends the name and the motion loads.
    const size_t lastName =
        bytes.size() - std::strlen(sampleMotion().locatorNames.back().c_str()) - 1;
    for (size_t size = 0; size < bytes.size(); ++size) {
        Motion m;
        const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(size));
        const int result = readTsb(&m, fileBlock(cut), size);
        if (size >= lastName) {
            EXPECT_EQ(result, 0) << size;
            continue;
        }
        ASSERT_EQ(result, 1) << size;
        EXPECT_EQ(m.frameCount, 0);
        EXPECT_EQ(frameMatrices(&m, 0), nullptr);
    }
    auto patched = [&](std::vector<std::pair<size_t, int32_t>> fields) {
        std::vector<uint8_t> b = bytes;
        for (auto [at, v] : fields) std::memcpy(b.data() + at, &v, 4);
        Motion m;
        return readTsb(&m, fileBlock(b), b.size());
    };
    EXPECT_EQ(patched({{16, 0x40000000}}), 1);  // bones
    EXPECT_EQ(patched({{20, -1}}), 1);          // frames
    EXPECT_EQ(patched({{28, 5}}), 1);           // locator names past the end
    EXPECT_EQ(patched({{24, 99}}), 0);          // the loop start is only checked when played
    // Frames x bones x 64 is 2^64 for 2^29 each: wrapped to 0 it once passed as nothing to skip.
    EXPECT_EQ(patched({{16, 1 << 29}, {20, 1 << 29}}), 1);
    EXPECT_EQ(patched({{20, 1 << 29}, {28, 1 << 29}}), 1);
}

TEST(TsbReader, ALastNameEndingAtTheEndOfTheFileLoads) {
    std::vector<uint8_t> bytes = writeTsb(sampleMotion());
    ASSERT_EQ(bytes.back(), 0);
    bytes.pop_back();  // the loader's NUL ends the last name
    Motion m;
    ASSERT_EQ(readTsb(&m, fileBlock(bytes), bytes.size()), 0);
    EXPECT_STREQ(m.locatorNames.back(), sampleMotion().locatorNames.back().c_str());
}

TEST(TssReader, ReadsWhatTheTsbFormHolds) {
    Motion m;
    ASSERT_EQ(readText(&m, writeTss(sampleMotion(2))), 0);
    expectSample(m, 2);
}

TEST(TssReader, CommentsAndEmptyLinesMayStandAnywhere) {
    std::string text = writeTss(sampleMotion(2)), spaced;
    for (size_t at = 0, next; (next = text.find("\r\n", at)) != std::string::npos; at = next + 2)
        spaced += text.substr(at, next + 2 - at) + "# comment\r\n\r\n\n";
    Motion m;
    ASSERT_EQ(readText(&m, "\r\n#first\r\n" + spaced), 0);
    expectSample(m, 2);
}

TEST(TssReader, EndAndLoopLinesDecideLocatorsAndLoopStart) {
    const std::string head = "@TSS100\r\nbones\r\n1\r\nroot\r\nframes\r\n10 12\r\n";
    const std::string frames =
        "1 0 0 0 0 1 0 0 0 0 1 0 1 2 3 1\r\n"
        "1 0 0 0 0 1 0 0 0 0 1 0 4 5 6 1\r\n"
        "1 0 0 0 0 1 0 0 0 0 1 0 7 8 9 1\r\n";
    const std::string locators =
        "[LOCATORS]\r\n1\r\neye extra words\r\nh1\r\nh2\r\n"
        "1 2 3 4 5 6 7 8 9\r\n1 2 3 4 5 6 7 8 9\r\n1 2 3 4 5 6 7 8 9\r\n";
    const struct {
        const char* what;
        std::string tail;
        int result, locators, loop;
    } cases[] = {
        {"end right after the frames", "<___end___>\r\n", 0, 0, 0},
        {"locators then end", locators + "<___end___>\r\n", 0, 1, 0},
        {"locators, heading, loop start", locators + "[LOOP]\r\n15\r\n", 0, 1, 15},
        {"another line, heading, loop start", "x\r\nloop\r\n2\r\nignored\r\n", 0, 0, 2},
        {"another line then end", "x\r\n<___end___>\r\n", 0, 0, 0},
        {"end without its carriage return", "<___end___>", 1, 0, 0},
        {"loop start line missing", "x\r\nloop\r\n", 1, 0, 0},
        {"nothing after the frames", "", 1, 0, 0},
        {"locator values missing", "[LOCATORS]\r\n1\r\neye\r\nh1\r\nh2\r\n1 2 3\r\n", 1, 1, 0},
    };
    for (const auto& c : cases) {
        Motion m;
        EXPECT_EQ(readText(&m, head + frames + c.tail), c.result) << c.what;
        EXPECT_EQ(m.frameCount, 3) << c.what;  // frames 10..12, numbered from 0
        EXPECT_EQ(m.locatorCount, c.locators) << c.what;
        EXPECT_EQ(m.loopStart, c.loop) << c.what;
        ASSERT_NE(frameMatrices(&m, 2), nullptr);
        EXPECT_EQ(frameMatrices(&m, 2)->_43, 9.0f) << c.what;
    }
    Motion named;
    ASSERT_EQ(readText(&named, head + frames + locators + "<___end___>\r\n"), 0);
    EXPECT_STREQ(named.locatorNames[0], "eye");
}

TEST(TssReader, MalformedTextIsRefusedAndShortLinesLeaveZeros) {
    const struct {
        const char* what;
        std::string text;
    } refused[] = {
        {"line feeds only", "@TSS100\nb\n0\nf\n0 0\n<___end___>\n"},
        {"wrong first line", "@TSS101\r\nb\r\n0\r\nf\r\n0 0\r\n<___end___>\r\n"},
        {"bone count beyond the data", "@TSS100\r\nb\r\n2000000000\r\nf\r\n0 0\r\n<___end___>\r\n"},
        {"frame count beyond the data",
         "@TSS100\r\nb\r\n1\r\nr\r\nf\r\n0 2000000000\r\n<___end___>\r\n"},
        {"last frame below the first", "@TSS100\r\nb\r\n1\r\nr\r\nf\r\n5 3\r\n<___end___>\r\n"},
        {"negative bone count", "@TSS100\r\nb\r\n-4\r\nf\r\n0 0\r\n<___end___>\r\n"},
        {"a NUL ends the data",
         std::string("@TSS100\r\nb\r\n0\r\nf\r\n0 0\r\n<___end") + '\0' + "___>\r\n"},
    };
    for (const auto& c : refused) {
        Motion m;
        EXPECT_EQ(readText(&m, c.text), 1) << c.what;
    }
    Motion m;
    ASSERT_EQ(readText(&m, "@TSS100\r\nb\r\n1\r\nr\r\nf\r\n0 0\r\n1 2 3\r\n<___end___>\r\n"), 0);
    EXPECT_EQ(m.boneMatrices[0]._13, 3.0f);
    EXPECT_EQ(m.boneMatrices[0]._14, 0.0f);
    EXPECT_EQ(m.boneMatrices[0]._44, 0.0f);

    // Every cut before the end line's carriage return (its line feed does not matter).
    const std::string whole = writeTss(sampleMotion(0));
    for (size_t size = 0; size + 1 < whole.size(); ++size) {
        Motion cut;
        EXPECT_EQ(readText(&cut, whole.substr(0, size)), 1) << size;
    }
}

class MotionCacheTest : public ::testing::Test {
protected:
    MotionCacheTest() : folder_(freshTestFolder()), inFolder_(folder_) {}
    ~MotionCacheTest() override {
        std::filesystem::remove_all("add-ons");
        buildCatalogue();
    }
    std::filesystem::path folder_;
    ScopedCurrentPath inFolder_;
};

TEST_F(MotionCacheTest, LoadsEachNameOnceAndKeepsMalformedMotions) {
    const std::string tss = writeTss(sampleMotion(2));
    installAddOn({member("walk.tsb", writeTsb(sampleMotion())),
                  member("run.tss", std::vector<uint8_t>(tss.begin(), tss.end())),
                  member("bad.tss", std::vector<uint8_t>{'@', 'T', 'S', 'S'})});
    const int before = motionCache().count;
    Motion* walk = getMotion("walk.tsb");
    expectSample(*walk, 1);
    EXPECT_EQ(getMotion("walk.tsb"), walk);
    // Archive lookups ignore case, the cache does not: a second motion from the same file.
    Motion* capital = getMotion("Walk.tsb");
    EXPECT_NE(capital, walk);
    expectSample(*capital, 1);
    expectSample(*getMotion("run.tss"), 2);
    Motion* bad = getMotion("bad.tss");
    EXPECT_EQ(bad->frameCount, 0);
    EXPECT_EQ(getMotion("bad.tss"), bad);
    EXPECT_EQ(motionCache().count, before + 4);
    EXPECT_EQ(motionCache().last, bad);
    EXPECT_STREQ(walk->name, "walk.tsb");

    // The file is not read again: a changed archive does not change a cached motion.
    installAddOn({member("walk.tsb", writeTsb(sampleMotion(0)))});
    EXPECT_EQ(getMotion("walk.tsb")->loopStart, 1);

    Model model;
    EXPECT_EQ(setModelMotion(&model, "walk.tsb"), nullptr);
    EXPECT_EQ(setModelMotion(&model, "run.tss"), walk);
    EXPECT_EQ(model.motion, getMotion("run.tss"));
}

TEST_F(MotionCacheTest, NamesAgreeingInTheirFirst63CharactersShareAMotion) {
    const std::string a = std::string(63, 'm') + "a", b = std::string(63, 'm') + "b";
    installAddOn({member("x.tsb", writeTsb(sampleMotion()))});
    // Archive names are too short for this, so a cached motion is given a long name.
    Motion* first = getMotion("x.tsb");
    EXPECT_EQ(getMotion("x.tsb"), first);
    std::strncpy(first->name, a.c_str(), 63);
    EXPECT_EQ(getMotion(b.c_str()), first);
    std::strncpy(first->name, "x.tsb", 63);
}
