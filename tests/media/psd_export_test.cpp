// tr2tool psd-export, run as a program, against ImageMagick's own reading of the same files.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/test_files.h"
#include "tests/support/tool_run.h"
#include "tools/writers/png_writer.h"
#include "tools/writers/psd_writer.h"

namespace {
ToolRun run(const std::filesystem::path& folder, const std::string& args) {
    return runTool(folder, args);
}

std::vector<uint32_t> png(const std::filesystem::path& path, int* width = nullptr,
                          int* height = nullptr) {
    int w = 0, h = 0;
    std::vector<uint32_t> pixels;
    EXPECT_TRUE(readPng(path.string(), &w, &h, &pixels)) << path;
    if (width) *width = w;
    if (height) *height = h;
    return pixels;
}

std::vector<uint32_t> noise(int width, int height, uint32_t seed) {
    std::vector<uint32_t> p(size_t(width) * height);
    for (size_t i = 0; i < p.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        p[i] = i % 9 == 0 ? (seed & 0x00FFFFFF) : seed;  // some pixels fully transparent
    }
    return p;
}
}  // namespace

// For a document it has never seen, the export gives the layers ImageMagick reads from it.
TEST(PsdExport, GivesTheLayersImageMagickReads) {
    const auto folder = freshTestFolder();
    struct Source {
        const char* name;
        int left, top, width, height;
    } sources[] = {{"sky", 0, 0, 300, 200}, {"btn_ok", 120, 150, 61, 23}, {"dot", 7, 9, 1, 1}};
    std::string command = "/usr/bin/convert -size 300x200 xc:'rgb(90,30,200)'";
    for (int i = 0; i < 3; ++i) {
        const Source& s = sources[i];
        const std::string file = (folder / (std::string(s.name) + ".png")).string();
        ASSERT_TRUE(writePng(file, s.width, s.height, noise(s.width, s.height, 3 + i).data()));
        command += " \\( " + file + " -set label " + s.name + " -repage +" +
                   std::to_string(s.left) + "+" + std::to_string(s.top) + " \\)";
    }
    ASSERT_EQ(
        std::system(
            (command + " -depth 8 -compress RLE '" + (folder / "doc.psd").string() + "'").c_str()),
        0);

    const ToolRun r = run(folder, "psd-export doc.psd layers");
    ASSERT_EQ(r.code, 0) << r.err;
    std::string expected;
    for (int i = 0; i < 3; ++i) {
        const Source& s = sources[i];
        expected += std::to_string(i) + "\t" + s.name + "\t" + std::to_string(s.left) + "\t" +
                    std::to_string(s.top) + "\t" + std::to_string(s.width) + "\t" +
                    std::to_string(s.height) + "\t255\n";
        char name[16];
        std::snprintf(name, sizeof name, "%03d.png", i);
        const std::string reference =
            (folder / ("reference" + std::to_string(i) + ".png")).string();
        ASSERT_EQ(std::system(("/usr/bin/convert '" + (folder / "doc.psd").string() + "[" +
                               std::to_string(i + 1) + "]' '" + reference + "'")
                                  .c_str()),
                  0);
        std::vector<uint32_t> theirs = png(reference);
        for (uint32_t& v : theirs)
            if ((v >> 24) == 0) v = 0;
        int w = 0, h = 0;
        EXPECT_EQ(png(folder / "layers" / name, &w, &h), theirs) << s.name;
        EXPECT_EQ(w, s.width);
        EXPECT_EQ(h, s.height);
    }
    EXPECT_EQ(r.out, expected);
}

TEST(PsdExport, NamesInUtf8EmptyLayersAndErrors) {
    const auto folder = freshTestFolder();
    PsdDocument doc;
    doc.layers = {psdLayer(sjis("ボタン"), 3, 4, 2, 1, {0xFF102030, 0x00FFFFFF}, 128),
                  psdLayer("empty", 5, 6, 0, 0, {})};
    ASSERT_TRUE(writePsdFile(folder / "ours.psd", doc));
    ToolRun r = run(folder, "psd-export ours.psd out");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "0\tボタン\t3\t4\t2\t1\t128\n1\tempty\t5\t6\t0\t0\t255\n");
    EXPECT_EQ(png(folder / "out" / "000.png"), (std::vector<uint32_t>{0xFF102030, 0}));
    EXPECT_EQ(png(folder / "out" / "001.png"), std::vector<uint32_t>{0});

    std::vector<uint8_t> grey = writePsd(doc);
    grey[25] = 1;
    writeBytes(folder / "grey.psd", grey.data(), grey.size());
    std::vector<uint8_t> deep = writePsd(doc);
    deep[23] = 16;  // ImageMagick's default depth
    writeBytes(folder / "deep.psd", deep.data(), deep.size());
    writeText(folder / "text.psd", "not a picture");
    const struct {
        const char* name;
        const char* message;
    } errors[] = {
        {"grey.psd", "not a layered 8-bit RGB PSD document"},
        {"text.psd", "not a layered 8-bit RGB PSD document"},
        {"deep.psd", "16-bit PSD: save it with 8 bits per channel"},
        {"absent.psd", "no such file"},
    };
    for (const auto& e : errors) {
        r = run(folder, std::string("psd-export ") + e.name + " bad");
        EXPECT_EQ(r.code, 1) << e.name;
        const std::string line = std::string("tr2tool psd-export: ") + e.name + ": " + e.message;
        EXPECT_EQ(r.err.rfind(line, 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    EXPECT_EQ(run(folder, "psd-export ours.psd").code, 2);
    r = run(folder, "psd-export --help");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out.rfind("usage: tr2tool psd-export", 0), 0u);
}

// Our writer's documents read the same in ImageMagick: content and fixtures are real PSDs.
TEST(PsdExport, WrittenDocumentsReadTheSameInImageMagick) {
    const auto folder = freshTestFolder();
    PsdDocument doc;
    doc.width = 200;
    doc.height = 100;
    doc.layers = {psdLayer("rle", 10, 5, 150, 60, noise(150, 60, 1)),
                  psdLayer("raw", 0, 0, 33, 17, noise(33, 17, 2)),
                  psdLayer("opaque", 50, 50, 20, 20, noise(20, 20, 3))};
    doc.layers[1].rle = false;
    doc.layers[2].alpha = false;
    ASSERT_TRUE(writePsdFile(folder / "ours.psd", doc));
    ASSERT_EQ(run(folder, "psd-export ours.psd out").code, 0);
    for (int i = 0; i < 3; ++i) {
        const std::string reference = (folder / ("im" + std::to_string(i) + ".png")).string();
        ASSERT_EQ(std::system(("/usr/bin/convert '" + (folder / "ours.psd").string() + "[" +
                               std::to_string(i + 1) + "]' '" + reference + "'")
                                  .c_str()),
                  0);
        std::vector<uint32_t> theirs = png(reference);
        for (uint32_t& v : theirs)
            if ((v >> 24) == 0) v = 0;
        char name[16];
        std::snprintf(name, sizeof name, "%03d.png", i);
        EXPECT_EQ(png(folder / "out" / name), theirs) << i;
    }
}

// Layers are exported side by side, yet the lines come in layer order and the first failing
// layer's error ends the export as if they went one by one: the layers before it are listed,
// nothing after it is printed, and the exit code is 1.
TEST(PsdExport, AFailingLayerEndsTheListingInLayerOrder) {
    const auto folder = freshTestFolder();
    PsdDocument doc;
    for (int i = 0; i < 6; ++i)
        doc.layers.push_back(psdLayer("l" + std::to_string(i), i, 0, 40 + i, 30,
                                      noise(40 + i, 30, 10 + uint32_t(i))));
    // Layer 3's only channel holds no pixel bytes.
    doc.layers[3].channels = {{0, {0, 0}}};
    ASSERT_TRUE(writePsdFile(folder / "cut.psd", doc));
    std::string listed;
    for (int i = 0; i < 3; ++i)
        listed += std::to_string(i) + "\tl" + std::to_string(i) + "\t" + std::to_string(i) +
                  "\t0\t" + std::to_string(40 + i) + "\t30\t255\n";

    ToolRun r = run(folder, "psd-export cut.psd out");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, listed);
    EXPECT_EQ(r.err,
              "tr2tool psd-export: cut.psd: layer 3 is larger than 16384 x 16384 pixels or its "
              "channels are cut short; not decoded\n");
    for (int i = 0; i < 3; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "%03d.png", i);
        std::vector<uint32_t> expected = noise(40 + i, 30, 10 + uint32_t(i));
        for (uint32_t& v : expected)
            if ((v >> 24) == 0) v = 0;
        EXPECT_EQ(png(folder / "out" / name), expected) << name;
    }

    // A file that cannot be written: layer 1's name is taken by a folder.
    doc.layers[3].channels.clear();
    ASSERT_TRUE(writePsdFile(folder / "whole.psd", doc));
    std::filesystem::create_directories(folder / "blocked" / "001.png");
    r = run(folder, "psd-export whole.psd blocked");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, listed.substr(0, listed.find('\n') + 1));
    EXPECT_EQ(r.err.rfind("tr2tool psd-export: blocked/001.png: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}
