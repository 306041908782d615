// The generated add-on set: every archive checks out, every model, motion, camera path and
// picture its descriptions name loads, and the names the scenario and the item windows rely on
// exist.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "archive/catalogue.h"
#include "media/camera_path.h"
#include "media/model.h"
#include "media/motion.h"
#include "media/psd_decoder.h"
#include "tests/support/test_files.h"
#include "tests/support/tool_run.h"

namespace {
const std::filesystem::path kRun = std::filesystem::path(TR2_BINARY_DIR) / "run";

class FigureContent : public ::testing::Test {
protected:
    FigureContent() : inRun_(kRun) { buildCatalogue(); }
    ~FigureContent() override { buildCatalogue(); }
    ScopedCurrentPath inRun_;
};

std::vector<std::string> builtArchives() {
    std::ifstream list(std::filesystem::path(TR2_BINARY_DIR) /
                       "content/figure/figure_archives.txt");
    std::vector<std::string> names;
    for (std::string line; std::getline(list, line);)
        if (!line.empty()) names.push_back(line);
    return names;
}

std::string extensionOf(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? "" : name.substr(dot);
}

std::vector<uint8_t> fileBytes(const char* name) {
    size_t size = 0;
    char* data = loadFile(name, &size);
    std::vector<uint8_t> bytes(data, data + size);
    std::free(data);
    return bytes;
}

int itemCount(const char* type, const char* flag = nullptr) {
    int count = 0, matching = 0;
    const KEYVALUE* const* list = listArchives(type, &count);
    for (int i = 0; i < count; ++i) matching += !flag || list[i]->find(flag);
    return matching;
}
}  // namespace

TEST_F(FigureContent, EveryArchivePassesCheck) {
    const std::vector<std::string> archives = builtArchives();
    ASSERT_GE(archives.size(), 30u);
    for (const std::string& name : archives) {
        const ToolRun r = runTool(kRun, "check add-ons/" + name);
        EXPECT_EQ(r.code, 0) << name << "\n" << r.out << r.err;
    }
}

TEST_F(FigureContent, EveryNamedFileLoads) {
    int count = 0, models = 0, motions = 0, paths = 0, pictures = 0;
    const KEYVALUE* const* list = listArchives(nullptr, &count);
    const std::vector<const KEYVALUE*> descriptions(list, list + count);
    for (const KEYVALUE* d : descriptions)
        for (const char* prefix : {"FILE_", "ICON_"})
            for (const KeyValuePair* p = d->findNext(nullptr, prefix); p;
                 p = d->findNext(p, prefix)) {
                const std::string name = p->value, ext = extensionOf(name);
                if (ext == ".tmb") {
                    Model model;
                    EXPECT_EQ(loadModelFile(&model, name.c_str()), 0) << name;
                    EXPECT_TRUE(model.boneCount == 0 || model.boneCount == 17 ||
                                model.boneCount == 2)
                        << name << " has " << model.boneCount << " bones";
                    ++models;
                } else if (ext == ".tsb") {
                    Motion motion;
                    EXPECT_EQ(loadMotionFile(&motion, name.c_str()), 0) << name;
                    EXPECT_GT(motion.frameCount, 0) << name;
                    EXPECT_LT(motion.loopStart, motion.frameCount) << name;
                    ++motions;
                } else if (ext == ".tcm") {
                    CameraPath path;
                    EXPECT_EQ(loadCameraPath(&path, name.c_str()), 0) << name;
                    EXPECT_GT(path.frameCount, 0) << name;
                    ++paths;
                } else if (ext == ".psd") {
                    const std::vector<uint8_t> bytes = fileBytes(name.c_str());
                    EXPECT_GT(countPsdLayers(bytes.data(), bytes.size()), 0) << name;
                    ++pictures;
                }
            }
    EXPECT_GE(models, 40);
    EXPECT_GE(motions, 5);
    EXPECT_EQ(paths, 3);
    EXPECT_GE(pictures, 35);
}

TEST_F(FigureContent, TheScenarioNamesExist) {
    for (const char* name :
         {"body01.tmb",   "body02.tmb",   "idle.tsb",    "greet.tsb",    "bow.tsb",
          "turn.tsb",     "eye01.tmb",    "hair01.tmb",  "under01A.tmb", "under01B.tmb",
          "dress01u.tmb", "dress01l.tmb", "socks01.tmb", "shoes01.tmb",  "stage01.tmb",
          "stage02.tmb",  "stage03.tmb",  "stage01.tsb", "opening.tcm",  "shot01.tcm",
          "shot02.tcm"})
        EXPECT_GT(fileSize(name), 0u) << name;
    // Every heroine motion carries the two blush-mask locators, on her cheeks.
    for (const char* name : {"idle.tsb", "greet.tsb", "bow.tsb", "turn.tsb"}) {
        Motion motion;
        ASSERT_EQ(loadMotionFile(&motion, name), 0) << name;
        for (const char* locator : {"loc_mask00", "loc_mask01"}) {
            const float* at = locatorByName(&motion, 0, locator);
            ASSERT_NE(at, nullptr) << name << " " << locator;
            EXPECT_NEAR(at[1], 13.0f, 0.3f) << name << " " << locator;
        }
    }
    for (const char* name : {"stage01.tmb", "stage02.tmb", "stage03.tmb"}) {
        Model stage;
        ASSERT_EQ(loadModelFile(&stage, name), 0);
        EXPECT_NE(findPlacement(&stage, "loc_pos00"), nullptr) << name;
        EXPECT_NE(findPlacement(&stage, "loc_cam00"), nullptr) << name;
    }
}

TEST_F(FigureContent, EveryCategoryHasItemsWithTheirKeys) {
    const std::map<std::string, int> minimum = {
        {"HAIR", 3},  {"EYE", 3},        {"BODY", 2}, {"UNDER", 3}, {"COSTUME", 4},
        {"HEAD", 2},  {"FACE", 2},       {"NECK", 2}, {"ARM", 2},   {"SOCKS", 2},
        {"SHOES", 2}, {"COORDINATE", 3}, {"BG", 3}};
    for (const auto& [type, n] : minimum) EXPECT_GE(itemCount(type.c_str()), n) << type;
    EXPECT_GE(itemCount("COSTUME", "UPPERONLY"), 1);
    EXPECT_GE(itemCount("COSTUME", "BOTTOMONLY"), 1);
    EXPECT_GE(itemCount("UNDER", "HALFWEAR"), 3);
    EXPECT_GE(itemCount("UNDER", "UPPERONLY"), 1);

    int count = 0;
    const KEYVALUE* const* list = listArchives(nullptr, &count);
    const std::vector<const KEYVALUE*> items(list, list + count);
    for (const KEYVALUE* d : items) {
        const KeyValuePair* type = d->find("TYPE");
        if (!type || std::string(type->value) == "BG") continue;
        const std::string name = d->find("NAME") ? d->find("NAME")->value : "";
        EXPECT_FALSE(name.empty());
        EXPECT_NE(d->find("CAPTION_0"), nullptr) << name;
        // Icons: a dimmed layer 0 and a normal layer 1 of one cell.
        for (const char* key : {"ICON_0", "ICON_1"})
            if (const KeyValuePair* icon = d->find(key)) {
                const std::vector<uint8_t> bytes = fileBytes(icon->value);
                ASSERT_EQ(countPsdLayers(bytes.data(), bytes.size()), 2) << icon->value;
                PsdLayer* normal = readPsdLayer(bytes.data(), bytes.size(), 1);
                ASSERT_NE(normal, nullptr);
                EXPECT_EQ(normal->width, 38);
                EXPECT_EQ(normal->height, 38);
                freePsdLayer(normal);
            }
        // The item is seen once one of its models is: its name begins each model's name.
        for (const KeyValuePair* f = d->findNext(nullptr, "FILE_"); f; f = d->findNext(f, "FILE_"))
            EXPECT_EQ(std::string(f->value).rfind(name, 0), 0u) << f->value;
        // Outfits name models that exist.
        for (const KeyValuePair* c = d->findNext(nullptr, "COORD_"); c;
             c = d->findNext(c, "COORD_")) {
            const std::string value = c->value;
            if (value != "nil" && value != "no_change") {
                EXPECT_GT(fileSize((value + ".tmb").c_str()), 0u) << name << " " << value;
            }
        }
    }
}
