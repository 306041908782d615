// TCM camera paths: frame numbering, comments, the end line and refused files.
#include "media/camera_path.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "archive/catalogue.h"
#include "tests/media/media_fixtures.h"
#include "tests/support/test_files.h"
#include "tools/writers/tcm_writer.h"

namespace {
int readText(CameraPath* path, const std::string& text) {
    char* block = fileBlock(text);
    const int result = readCameraPath(path, block, text.size());
    std::free(block);
    return result;
}

const std::string kFrame1 = "1 2 3 4 5 6 7\r\n", kFrame2 = "-1 -2 -3 -4 -5 -6 -7\r\n";
}  // namespace

TEST(CameraPath, FramesAreNumberedFromZeroWhateverTheFileSays) {
    const struct {
        const char* what;
        std::string text;
        int result, frames;
    } cases[] = {
        {"0 to 0", "@TCM100\r\ncam\r\n0 0\r\n" + kFrame1 + "<___end___>\r\n", 0, 1},
        {"10 to 11", "@TCM100\r\ncam\r\n10 11\r\n" + kFrame1 + kFrame2 + "<___end___>\r\n", 0, 2},
        {"comments between frames",
         "@TCM100\r\n# c\r\ncam\r\n10 11\r\n" + kFrame1 + "#\r\n\r\n" + kFrame2 + "<___end___>\r\n",
         0, 2},
        {"end without carriage return",
         "@TCM100\r\ncam\r\n0 1\r\n" + kFrame1 + kFrame2 + "<___end___>", 1, 2},
        {"end line missing", "@TCM100\r\ncam\r\n0 1\r\n" + kFrame1 + kFrame2, 1, 2},
        {"a frame line missing",
         "@TCM100\r\ncam\r\n0 2\r\n" + kFrame1 + kFrame2 + "<___end___>\r\n", 1, 3},
    };
    for (const auto& c : cases) {
        CameraPath path;
        EXPECT_EQ(readText(&path, c.text), c.result) << c.what;
        ASSERT_EQ(path.frameCount, c.frames) << c.what;
        ASSERT_EQ(path.eyes.size(), static_cast<size_t>(c.frames));
        EXPECT_EQ(path.eyes[0][2], 3.0f);
        EXPECT_EQ(path.targets[0][0], 4.0f);
        EXPECT_EQ(path.values[0], 7.0f);
    }
    CameraPath two;
    ASSERT_EQ(readText(&two, "@TCM100\r\ncam\r\n10 11\r\n" + kFrame1 + kFrame2 + "<___end___>\r\n"),
              0);
    EXPECT_EQ(two.eyes[1][1], -2.0f);
    EXPECT_EQ(two.targets[1][2], -6.0f);
}

TEST(CameraPath, RefusedFilesAllocateNothingOrStayBounded) {
    const std::string refused[] = {
        "@TCM101\r\ncam\r\n0 0\r\n" + kFrame1 + "<___end___>\r\n",
        "@TCM100\r\ncam\r\n5 4\r\n<___end___>\r\n",
        "@TCM100\r\ncam\r\n0 2000000000\r\n" + kFrame1 + "<___end___>\r\n",
        "@TCM100\r\ncam\r\n-2147483648 2147483647\r\n" + kFrame1 + "<___end___>\r\n",
        "@TCM100\ncam\n0 0\n" + kFrame1 + "<___end___>\n",
    };
    for (const std::string& text : refused) {
        CameraPath path;
        EXPECT_EQ(readText(&path, text), 1) << text;
        EXPECT_EQ(path.frameCount, 0);
        EXPECT_TRUE(path.eyes.empty());
    }
}

TEST(CameraPath, TheWriterAndTheLoaderAgree) {
    const auto folder = freshTestFolder();
    ScopedCurrentPath inFolder(folder);
    CameraPathData data;
    data.firstFrame = 3;
    data.frames = {{{0, 8, 15}, {0, 8, 0}, 0.5f}, {{1.25f, -2, 3}, {4, 5, 6.5f}, 1}};
    const std::string text = writeTcm(data);
    installAddOn({member("orbit.tcm", std::vector<uint8_t>(text.begin(), text.end()))});
    CameraPath path;
    EXPECT_EQ(loadCameraPath(&path, "orbit.tcm"), 0);
    ASSERT_EQ(path.frameCount, 2);
    EXPECT_EQ(path.eyes[1][0], 1.25f);
    EXPECT_EQ(path.targets[1][2], 6.5f);
    EXPECT_EQ(path.values[0], 0.5f);
    std::filesystem::remove_all("add-ons");
    buildCatalogue();
}
