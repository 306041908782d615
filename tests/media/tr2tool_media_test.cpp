// tr2tool model-info, motion-info and render, run as the content author runs them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "archive/catalogue.h"
#include "tests/media/media_fixtures.h"
#include "tests/support/test_files.h"
#include "tests/support/tool_run.h"
#include "tools/writers/png_writer.h"

namespace {
ToolRun tr2tool(const std::string& arguments) {
    return runTool(std::filesystem::current_path(), arguments);
}

class Tr2toolMedia : public ::testing::Test {
protected:
    Tr2toolMedia() : folder_(freshTestFolder()), inFolder_(folder_) {}
    ~Tr2toolMedia() override {
        std::filesystem::remove_all("add-ons");
        buildCatalogue();
    }
    std::filesystem::path folder_;
    ScopedCurrentPath inFolder_;
};

TmbModel twoMeshes() {
    TmbModel m;
    m.textures = {{"skin", 4, 2, {}}};
    m.materials.resize(2);
    m.materials[1].texture = 0;
    m.meshes = {rectangleMesh("torso", 0, 1, 1, 0, 0), rectangleMesh("head", 0, 2, 1, 1, 0, 1)};
    m.boneOffsets = {identity16(), identity16(), identity16()};
    m.placements = {{"hand_r", {1, 2, 3}, {0, 0.5f, 0}, {1, 1, 1}}};
    return m;
}
}  // namespace

TEST_F(Tr2toolMedia, ModelInfoListsWhatTheModelHolds) {
    const std::vector<uint8_t> bytes = writeTmb(twoMeshes());
    writeBytes("figure.tmb", bytes.data(), bytes.size());
    installAddOn({member("packed.tmb", bytes)});
    for (const char* name : {"figure.tmb", "packed.tmb"}) {
        const ToolRun r = tr2tool(std::string("model-info ") + name);
        EXPECT_EQ(r.code, 0) << r.err;
        for (const char* expected :
             {"textures: 1\n  skin 4x2\n", "materials: 2\n", "  1 texture skin",
              "meshes: 2\n  torso: 2 triangles, one-sided\n",
              "    range 0: material 0, vertices from 0, 2 triangles\n", "bones: 3\n",
              "placements: 1\n  hand_r position 1 2 3 rotation 0 0.5 0"})
            EXPECT_NE(r.out.find(expected), std::string::npos) << expected << "\n" << r.out;
    }
}

TEST_F(Tr2toolMedia, MotionInfoReadsBothForms) {
    MotionData m;
    m.boneCount = 4;
    m.frameCount = 90;
    m.loopStart = 30;
    m.locatorNames = {"eye", "loc_mask00"};
    const std::string tss = writeTss(m);
    writeText("walk.tss", tss);
    const std::vector<uint8_t> tsb = writeTsb(m);
    installAddOn({member("walk.tsb", tsb)});
    for (const char* name : {"walk.tss", "walk.tsb"}) {
        const ToolRun r = tr2tool(std::string("motion-info ") + name);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_NE(
            r.out.find("bones: 4\nframes: 90 (2.000 s at 45 frames per second)\nloop start: 30\n"
                       "locators: 2\n  eye\n  loc_mask00\n"),
            std::string::npos)
            << r.out;
    }
    m.loopStart = 90;
    writeText("held.tss", writeTss(m));
    EXPECT_NE(tr2tool("motion-info held.tss").out.find("the last frame holds"), std::string::npos);
}

TEST_F(Tr2toolMedia, BadFilesAndArgumentsAreReportedByName) {
    std::vector<uint8_t> cut = writeTmb(twoMeshes());
    cut.resize(cut.size() / 2);
    writeBytes("cut.tmb", cut.data(), cut.size());
    writeText("broken.tss", "@TSS100\r\nb\r\n1\r\n");
    writeText("short.tsb", "TSB");
    installAddOn({member("other.tmb", writeTmb(twoMeshes()))});
    const struct {
        const char* arguments;
        int code;
        const char* message;
    } cases[] = {
        {"model-info cut.tmb", 1, "cut.tmb: not a well-formed TMB model"},
        {"model-info missing.tmb", 1, "missing.tmb: no such file, and not in ./add-ons/"},
        {"motion-info broken.tss", 1, "broken.tss: not a well-formed TSS motion"},
        {"motion-info short.tsb", 1, "short.tsb: not a well-formed TSB motion"},
        {"model-info", 2, "usage: tr2tool model-info"},
        {"motion-info a b", 2, "usage: tr2tool motion-info"},
        {"render other.tmb", 2, "usage: tr2tool render"},
        {"render -o x.png --size 0x5 other.tmb", 2, "usage: tr2tool render"},
        {"render -o x.png --eye 1,2 other.tmb", 2, "usage: tr2tool render"},
        {"render -o x.png --bogus other.tmb", 2, "usage: tr2tool render"},
        {"render -o x.png --stage other.tmb part.tmb", 2, "usage: tr2tool render"},
        {"render -o x.png missing.tmb", 1, "missing.tmb: no such file, and not in ./add-ons/"},
        {"render -o x.png --motion none.tsb other.tmb", 1,
         "none.tsb: no such file, and not in ./add-ons/"},
    };
    for (const auto& c : cases) {
        const ToolRun r = tr2tool(c.arguments);
        EXPECT_EQ(r.code, c.code) << c.arguments << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.arguments << "\n" << r.err;
    }
    installAddOn({member("cut.tmb", cut)});
    const ToolRun r = tr2tool("render -o x.png cut.tmb");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("cut.tmb: not a well-formed TMB model"), std::string::npos) << r.err;
    EXPECT_EQ(tr2tool("render --help").code, 0);
}

// The figure and the expected pixels come from a separate writer that computes the picture
// from the published fixed-function rules.
TEST_F(Tr2toolMedia, RenderDrawsAnIndependentlyWrittenFigureAsTheFixedFunctionRulesSay) {
    const std::string script = std::string(TR2_SOURCE_FOLDER) + "/tests/media/reference_figure.py";
    ASSERT_EQ(std::system(("/usr/bin/python3 " + script + " .").c_str()), 0);
    installAddOn({member("figure.tmb", readBytes("figure.tmb")),
                  member("figure.tsb", readBytes("figure.tsb"))});
    const ToolRun r = tr2tool(
        "render -o out.png --size 320x240 --light 0,0,-1 --motion figure.tsb --time 1 figure.tmb");
    ASSERT_EQ(r.code, 0) << r.err;
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    ASSERT_TRUE(readPng("out.png", &width, &height, &pixels));
    ASSERT_EQ(width, 320);
    ASSERT_EQ(height, 240);
    std::ifstream expected("expected.txt");
    int x, y, red, green, blue, tolerance, samples = 0;
    while (expected >> x >> y >> red >> green >> blue >> tolerance) {
        ++samples;
        ASSERT_TRUE(x >= 0 && x < width && y >= 0 && y < height);
        const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
        EXPECT_NEAR(static_cast<int>((p >> 16) & 0xFF), red, tolerance) << x << "," << y;
        EXPECT_NEAR(static_cast<int>((p >> 8) & 0xFF), green, tolerance) << x << "," << y;
        EXPECT_NEAR(static_cast<int>(p & 0xFF), blue, tolerance) << x << "," << y;
    }
    EXPECT_GT(samples, 10);

    // The same files named by their paths on disk, with no add-ons at all, draw the same.
    std::filesystem::remove_all("add-ons");
    std::filesystem::create_directories("disk");
    std::filesystem::rename("figure.tmb", "disk/figure.tmb");
    std::filesystem::rename("figure.tsb", "disk/figure.tsb");
    const ToolRun fromDisk = tr2tool(
        "render -o disk.png --size 320x240 --light 0,0,-1 --motion disk/figure.tsb --time 1 "
        "disk/figure.tmb");
    ASSERT_EQ(fromDisk.code, 0) << fromDisk.err;
    std::vector<uint32_t> diskPixels;
    ASSERT_TRUE(readPng("disk.png", &width, &height, &diskPixels));
    EXPECT_EQ(diskPixels, pixels);
}

// A stage object draws unlit: its vertex colour shows as it is, where the lit figure of the same
// model is washed out by the white ambient light.
TEST_F(Tr2toolMedia, RenderWithStageDrawsTheModelUnlit) {
    TmbModel m;
    m.materials.resize(1);
    m.materials[0].texture = -1;
    m.meshes = {rectangleMesh("wall", -3, 11, 3, 5, 0, 0, 0xFF336699)};
    m.meshes[0].oneSided = false;
    installAddOn({member("wall.tmb", writeTmb(m))});
    auto centre = [](const char* png) {
        int width = 0, height = 0;
        std::vector<uint32_t> pixels;
        EXPECT_TRUE(readPng(png, &width, &height, &pixels));
        return pixels.empty() ? 0u : pixels[static_cast<size_t>(height / 2) * width + width / 2];
    };
    ASSERT_EQ(tr2tool("render -o stage.png --size 64x48 --stage wall.tmb").code, 0);
    ASSERT_EQ(tr2tool("render -o figure.png --size 64x48 wall.tmb").code, 0);
    const uint32_t unlit = centre("stage.png"), lit = centre("figure.png");
    EXPECT_NEAR(static_cast<int>((unlit >> 16) & 0xFF), 0x33, 2);
    EXPECT_NEAR(static_cast<int>((unlit >> 8) & 0xFF), 0x66, 2);
    EXPECT_NEAR(static_cast<int>(unlit & 0xFF), 0x99, 2);
    EXPECT_NE(lit & 0xFFFFFF, unlit & 0xFFFFFF);
}
