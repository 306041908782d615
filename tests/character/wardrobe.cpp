// A small wardrobe for the costume and outfit tests: item add-ons with tiny models.
#include "tests/character/wardrobe.h"

#include <gtest/gtest.h>

#include "archive/catalogue.h"
#include "tests/media/media_fixtures.h"

namespace {
std::vector<uint8_t> tinyModel() {
    TmbModel m;
    m.materials.resize(1);
    m.meshes = {rectangleMesh("m", 0, 1, 1, 0, 0)};
    m.boneOffsets = {identity16()};
    return writeTmb(m);
}
}  // namespace

void installWardrobe(const std::vector<WardrobeAddOn>& addOns) {
    std::filesystem::create_directories("add-ons");
    const std::vector<uint8_t> model = tinyModel();
    for (const WardrobeAddOn& addOn : addOns) {
        std::vector<ArchiveMember> members;
        for (const std::string& name : addOn.models) members.push_back(member(name, model));
        std::string error;
        ASSERT_TRUE(writeArchiveFile("add-ons/" + addOn.archive + ".tr2",
                                     fileListDescription(members, addOn.description), members,
                                     &error))
            << error;
    }
    buildCatalogue();
}

void removeWardrobe() {
    std::filesystem::remove_all("add-ons");
    buildCatalogue();
}

KEYVALUE record(const std::string& text) {
    KEYVALUE r;
    r.parse(text.c_str());
    return r;
}

std::vector<std::string> partNames(const CharacterInstance& figure) {
    std::vector<std::string> names;
    for (int part = 0; part < kCharacterParts; ++part) {
        const Model* model = part == 0 ? figure.body : figure.parts[part];
        names.push_back(model ? std::string(model->name, strnlen(model->name, sizeof model->name))
                              : "");
    }
    return names;
}
