// tr2tool play, run as a program on SDL's disk driver: the samples it writes, its shut-down, and
// what it says about files it cannot play.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/audio/audio_fixtures.h"
#include "tests/support/test_files.h"
#include "tests/support/tool_run.h"
#include "tools/writers/archive_writer.h"

namespace {
namespace fs = std::filesystem;

class Tr2toolPlay : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = freshTestFolder();
        tone_ = toneOgg(1.4, 2, 44100, 370);
        const std::vector<uint8_t> mono = toneOgg(0.3, 1, 22050);
        std::vector<ArchiveMember> members = {
            archiveMember("tone.ogg", std::string(tone_.begin(), tone_.end())),
            archiveMember("mono.ogg", std::string(mono.begin(), mono.end())),
            archiveMember("noise.ogg", std::string(3000, 'x')),
            archiveMember("tone.wav", std::string(tone_.begin(), tone_.end())),
        };
        std::string error;
        std::filesystem::create_directories(folder_ / "add-ons");
        ASSERT_TRUE(writeArchiveFile(folder_ / "add-ons" / "sounds.tr2",
                                     fileListDescription(members), members, &error))
            << error;
    }

    ToolRun run(const std::vector<std::string>& args) {
        fs::remove(folder_ / "out.raw");
        std::vector<std::string> arguments = {"play"};
        arguments.insert(arguments.end(), args.begin(), args.end());
        return runTool(folder_, arguments, "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=out.raw");
    }

    std::vector<int16_t> output() const {
        const std::vector<uint8_t> raw = readBytes(folder_ / "out.raw");
        std::vector<int16_t> samples(raw.size() / 2);
        std::memcpy(samples.data(), raw.data(), samples.size() * 2);
        return samples;
    }

    fs::path folder_;
    std::vector<uint8_t> tone_;
};
}  // namespace

TEST_F(Tr2toolPlay, WritesExactlyTheDecodedSamplesAndEnds) {
    const ToolRun r = run({"tone.ogg"});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::vector<int16_t> decoded = oggdecSamples(tone_);
    const std::vector<int16_t> out = output();
    // Silence until the stream starts, on a whole frame, then every decoded sample.
    size_t start = 0;
    while (start < out.size() && out[start] == 0) ++start;
    size_t lead = 0;
    while (lead < decoded.size() && decoded[lead] == 0) ++lead;
    ASSERT_GE(start, lead);
    start -= lead;
    EXPECT_EQ(start % 2, 0u);
    ASSERT_GE(out.size(), start + decoded.size()) << "the output stops before the sound ends";
    for (size_t i = 0; i < decoded.size(); ++i)
        ASSERT_EQ(out[start + i], decoded[i]) << "sample " << i;
    EXPECT_LT(r.seconds, 8) << "it ends once the stream has drained";
}

TEST_F(Tr2toolPlay, PlaysALoopForTheGivenSeconds) {
    const ToolRun r = run({"--loop", "--volume", "60", "--seconds", "0.5", "mono.ogg"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_LT(r.seconds, 4);
    const std::vector<int16_t> out = output();
    size_t loud = 0;
    for (int16_t s : out) loud += std::abs(s) > 8;
    EXPECT_GT(loud, 0u);
}

TEST_F(Tr2toolPlay, SaysWhatItCannotPlay) {
    const std::pair<const char*, const char*> cases[] = {
        {"noise.ogg", "not an Ogg Vorbis file"},
        {"missing.ogg", "not found"},
        {"tone.wav", "not an .ogg name"},
    };
    for (auto [name, says] : cases) {
        const ToolRun r = run({name});
        EXPECT_EQ(r.code, 1) << name;
        EXPECT_NE(r.err.find(name), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(says), std::string::npos) << r.err;
    }
}

TEST_F(Tr2toolPlay, WrongArgumentsPrintTheUsage) {
    const std::vector<std::vector<std::string>> wrong = {{},
                                                         {"--volume", "101", "tone.ogg"},
                                                         {"--volume", "x", "tone.ogg"},
                                                         {"--seconds", "0", "tone.ogg"},
                                                         {"--seconds"},
                                                         {"--fast", "tone.ogg"},
                                                         {"tone.ogg", "mono.ogg"}};
    for (const auto& args : wrong) {
        const ToolRun r = run(args);
        EXPECT_EQ(r.code, 2) << testing::PrintToString(args);
        EXPECT_NE(r.err.find("usage: tr2tool play"), std::string::npos);
    }
    EXPECT_EQ(run({"--help"}).code, 0);
}
