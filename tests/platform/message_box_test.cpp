// Message boxes reach stderr and the installed display; fatal errors exit with -1.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/encoding.h"
#include "platform/message_box.h"

TEST(MessageBox, WritesUtf8ToStderrAndTheDisplay) {
    std::string shown;
    setMessageBoxDisplay([&](const char* text, const char* caption, unsigned style) {
        shown = std::string(caption) + "|" + text + "|" + std::to_string(style);
    });
    ::testing::internal::CaptureStderr();
    messageBox(utf8ToCp932("終了します。").c_str(), "TR2 System", MB_ICONERROR);
    const std::string err = ::testing::internal::GetCapturedStderr();
    setMessageBoxDisplay(nullptr);
    EXPECT_EQ(shown, "TR2 System|終了します。|16");
    EXPECT_NE(err.find("終了します。"), std::string::npos);
}

TEST(MessageBoxDeathTest, FatalErrorExitsWithMinusOne) {
    EXPECT_EXIT(fatalError("boom", "TR2 System"), ::testing::ExitedWithCode(255), "boom");
}

TEST(TestHarness, RunsEveryTestHeadlessWithItsFolders) {
    // Each variable must reach the test, not only the first of the list.
    for (const char* name : {"SDL_VIDEODRIVER", "SDL_AUDIODRIVER", "TR2_SOURCE_DIR", "TR2_BINARY_DIR"})
        EXPECT_NE(std::getenv(name), nullptr) << name;
}
