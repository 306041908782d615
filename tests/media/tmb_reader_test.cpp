// The TMB reader: what a well-formed file fills in, the lookup rules, and refused files.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "media/model.h"
#include "tests/media/media_fixtures.h"
#include "tests/media/recording_device.h"

namespace {
uint32_t pixelOf(const std::vector<uint8_t>& bytes, size_t i) {
    uint32_t v;
    std::memcpy(&v, bytes.data() + i * 4, 4);
    return v;
}

// Textures "Skin" (2x1), "SKIN" (a repeat of the name), "Cloth"; materials on records 0, 1, 2
// and a record that does not exist; one mesh whose ranges end early; two bones; placements
// "Hand" and "hand".
TmbModel sampleModel() {
    TmbModel m;
    m.textures = {{"Skin", 2, 1, {0xFF112233, 0x80445566}},
                  {"SKIN", 1, 1, {0xFFFFFFFF}},
                  {"Cloth", 1, 2, {0xFF000001, 0xFF000002}}};
    for (int32_t texture : {0, 1, 2, 7}) {
        TmbMaterial material;
        material.texture = texture;
        material.power = static_cast<float>(texture);
        m.materials.push_back(material);
    }
    TmbMesh mesh = rectangleMesh("body", -1, 1, 1, -1, 0);
    mesh.matrix = translation16(0, 2, 0);
    mesh.oneSided = false;
    mesh.ranges = {{0, 0, 1}, {1, -3, 0}, {2, 3, 1}};
    m.meshes = {mesh};
    m.boneOffsets = {identity16(), translation16(0, -1, 0)};
    m.placements = {{"Hand", {1, 2, 3}, {0.1f, 0.2f, 0.3f}, {2, 2, 2}},
                    {"hand", {4, 5, 6}, {}, {1, 1, 1}}};
    return m;
}

int read(Model* model, const std::vector<uint8_t>& bytes, const char* name = "sample.tmb") {
    return readModel(model, fileBlock(bytes), bytes.size(), name);
}

void expectEmpty(const Model& model) {
    EXPECT_EQ(model.loaded, 0);
    EXPECT_EQ(model.fileBlock, nullptr);
    EXPECT_EQ(model.textures.first, nullptr);
    EXPECT_EQ(model.firstMesh, nullptr);
    EXPECT_EQ(model.boneCount, 0);
    EXPECT_EQ(model.placementCount, 0);
}
}  // namespace

TEST(TmbReader, FillsTheModelFromAWellFormedFile) {
    Model model;
    ASSERT_EQ(read(&model, writeTmb(sampleModel())), 0);
    EXPECT_EQ(model.loaded, 1);
    EXPECT_STREQ(model.name, "sample.tmb");

    // The repeated name (in another case) is not uploaded again: two textures in the list.
    ASSERT_NE(model.textures.first, nullptr);
    const ModelTexture* skin = model.textures.first;
    const ModelTexture* cloth = skin->next;
    ASSERT_NE(cloth, nullptr);
    EXPECT_EQ(cloth->next, nullptr);
    EXPECT_EQ(skin->name, "Skin");
    EXPECT_EQ(skin->width, 2);
    EXPECT_EQ(skin->height, 1);
    EXPECT_EQ(cloth->serial, skin->serial + 1);
    EXPECT_EQ(pixelOf(skin->pixels, 0), 0xFF112233u);
    EXPECT_EQ(pixelOf(skin->pixels, 1), 0x80445566u);
    EXPECT_EQ(pixelOf(cloth->pixels, 1), 0xFF000002u);

    // Material texture indices count records, duplicates included.
    EXPECT_EQ(model.materialCount, 4);
    EXPECT_EQ(model.materialTextures[0], skin);
    EXPECT_EQ(model.materialTextures[1], skin);
    EXPECT_EQ(model.materialTextures[2], cloth);
    EXPECT_EQ(model.materialTextures[3], nullptr);
    EXPECT_EQ(model.materials[2]->Power, 2.0f);
    EXPECT_EQ(model.materials[4], nullptr);

    const Mesh* mesh = model.firstMesh;
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh, model.lastMesh);
    EXPECT_STREQ(mesh->name, "body");
    EXPECT_EQ(mesh->matrix._42, 2.0f);
    EXPECT_EQ(mesh->triangleCount, 2);
    EXPECT_FALSE(mesh->oneSided);
    ASSERT_EQ(mesh->rangeCount, 4);  // three written and the terminator
    EXPECT_EQ(mesh->ranges[1].firstVertex, -3);
    EXPECT_EQ(mesh->ranges[2].material, 2);

    EXPECT_EQ(model.boneCount, 2);
    EXPECT_EQ(model.boneOffsets[1]._42, -1.0f);

    ASSERT_EQ(model.placementCount, 2);
    const Placement* hand = findPlacement(&model, "Hand");
    ASSERT_NE(hand, nullptr);
    EXPECT_STREQ(hand->name, "Hand");
    EXPECT_EQ(hand->position[2], 3.0f);
    EXPECT_EQ(hand->rotation[1], 0.2f);
    EXPECT_EQ(hand->scale[0], 2.0f);
    EXPECT_EQ(findPlacement(&model, "hand")->position[0], 4.0f);  // case-sensitive
    EXPECT_EQ(findPlacement(&model, "HAND"), nullptr);
    EXPECT_EQ(findTexture(&model.textures, "cLoTh"), cloth);  // case-insensitive

    releaseModel(&model);
    expectEmpty(model);
}

TEST(TmbReader, NamesKeepTheirTerminatorUpTo31Characters) {
    Model a, b;
    const std::string n31(27, 'a'), n40(36, 'b');
    ASSERT_EQ(read(&a, writeTmb(sampleModel()), (n31 + ".tmb").c_str()), 0);
    ASSERT_EQ(read(&b, writeTmb(sampleModel()), (n40 + ".tmb").c_str()), 0);
    EXPECT_EQ(std::string(a.name), n31 + ".tmb");
    EXPECT_EQ(std::string(b.name, 32), n40.substr(0, 32));
}

TEST(TmbReader, AFileWithoutMeshesLoadsAndTrailingBytesAreIgnored) {
    Model model;
    std::vector<uint8_t> bytes = writeTmb(TmbModel{});
    bytes.insert(bytes.end(), {1, 2, 3});
    ASSERT_EQ(read(&model, bytes), 0);
    EXPECT_EQ(model.loaded, 1);
    EXPECT_EQ(model.firstMesh, nullptr);
}

TEST(TmbReader, EveryTruncationIsRefusedWithoutReadingPastTheBlock) {
    const std::vector<uint8_t> bytes = writeTmb(sampleModel());
    // Blocks as the loader makes them (a NUL after the bytes): every cut before the last
    // placement name is refused; from there on the NUL ends the name and the model loads.
    const size_t lastName = bytes.size() - sampleModel().placements.back().name.size() - 1;
    for (size_t size = 0; size < bytes.size(); ++size) {
        Model model;
        const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(size));
        const int result = readModel(&model, fileBlock(cut), size, "cut.tmb");
        if (size >= lastName) {
            EXPECT_EQ(result, 0) << "size " << size;
            continue;
        }
        ASSERT_EQ(result, 1) << "size " << size;
        expectEmpty(model);
        EXPECT_EQ(model.name[0], 0);
    }
}

TEST(TmbReader, ALastNameEndingAtTheEndOfTheFileLoads) {
    std::vector<uint8_t> bytes = writeTmb(sampleModel());
    ASSERT_EQ(bytes.back(), 0);
    bytes.pop_back();  // the loader's NUL ends the last placement name
    Model model;
    ASSERT_EQ(read(&model, bytes), 0);
    ASSERT_EQ(model.placementCount, 2);
    EXPECT_STREQ(model.placements[1].name, "hand");
}

TEST(TmbReader, LyingCountsAndSizesAreRefusedLikeAWrongMagic) {
    // One mesh and no textures or materials: T at 4, M at 8, N at 12, the mesh at 16
    // (C at 112, R at 120, ranges at 124).
    TmbModel oneMesh;
    oneMesh.meshes = {rectangleMesh("m", 0, 1, 1, 0, 0)};
    auto patch = [](std::vector<uint8_t>& b, size_t at, int32_t v) {
        std::memcpy(b.data() + at, &v, 4);
    };
    struct Case {
        const char* what;
        std::function<std::vector<uint8_t>()> make;
    };
    const Case cases[] = {
        {"wrong magic",
         [&] {
             auto b = writeTmb(oneMesh);
             b[3] = '1';
             return b;
         }},
        {"257 textures",
         [&] {
             auto b = writeTmb(oneMesh);
             patch(b, 4, 257);
             return b;
         }},
        {"negative textures",
         [&] {
             auto b = writeTmb(oneMesh);
             patch(b, 4, -1);
             return b;
         }},
        {"257 materials",
         [&] {
             TmbModel m;
             m.materials.resize(257);
             return writeTmb(m);
         }},
        {"257 bones",
         [&] {
             TmbModel m;
             m.boneOffsets.resize(257, identity16());
             return writeTmb(m);
         }},
        {"texture of width 0",
         [&] {
             TmbModel m;
             m.textures = {{"t", 0, 4, {}}};
             return writeTmb(m);
         }},
        {"texture larger than the file",
         [&] {
             TmbModel m;
             m.textures = {{"t", 2, 2, {1, 2, 3, 4}}};
             auto b = writeTmb(m);
             b[40] = 0x7F;
             return b;
         }},
        {"mesh of no triangles",
         [&] {
             TmbModel m;
             m.meshes = {TmbMesh{}};
             return writeTmb(m);
         }},
        {"triangle count past the end",
         [&] {
             auto b = writeTmb(oneMesh);
             patch(b, 112, 3);
             return b;
         }},
        {"huge triangle count",
         [&] {
             auto b = writeTmb(oneMesh);
             patch(b, 112, 0x7FFFFFFF);
             return b;
         }},
        {"negative range count",
         [&] {
             auto b = writeTmb(oneMesh);
             patch(b, 120, -2);
             return b;
         }},
        {"range count past the end",
         [&] {
             auto b = writeTmb(oneMesh);
             patch(b, 120, 1000);
             return b;
         }},
        {"mesh count past the end",
         [&] {
             auto b = writeTmb(oneMesh);
             patch(b, 12, 2);
             return b;
         }},
        {"second placement name missing",
         [&] {
             TmbModel m;
             m.placements = {{"p", {}, {}, {1, 1, 1}}, {"q", {}, {}, {1, 1, 1}}};
             auto b = writeTmb(m);
             b.resize(b.size() - 3);  // "p" now ends on the loader's NUL, "q" is gone
             return b;
         }},
        {"placement count past the end",
         [&] {
             TmbModel m;
             m.placements = {{"p", {}, {}, {1, 1, 1}}};
             auto b = writeTmb(m);
             patch(b, 20, 2);
             return b;
         }},
    };
    for (const Case& c : cases) {
        Model model;
        EXPECT_EQ(read(&model, c.make()), 1) << c.what;
        expectEmpty(model);
    }
}

TEST(TmbReader, UploadsTexturesAndVerticesThroughTheDevice) {
    RecordingDevice device;
    Model model(&device);
    ASSERT_EQ(read(&model, writeTmb(sampleModel())), 0);
    // Managed A8R8G8B8 textures of one level, then a managed 0x115C buffer per mesh.
    EXPECT_EQ(device.log, (std::vector<std::string>{"create texture 2x1 1 0 21 1",
                                                    "create texture 1x2 1 0 21 1",
                                                    "create vertices 312 0 4444 1"}));
    auto* skin = static_cast<RecordedTexture*>(model.textures.first->texture.get());
    EXPECT_EQ(skin->texels[1], 0x80445566u);
    EXPECT_TRUE(skin->markedDirty);
    EXPECT_TRUE(model.textures.first->pixels.empty());
    auto* vertices = static_cast<RecordedVertexBuffer*>(model.firstMesh->vertexBuffer.get());
    // The vertices end where the bones, the placements and their names begin.
    const size_t end = model.fileSize - (4 + 2 * 64 + 4 + 2 * 40 + 10);
    ASSERT_EQ(vertices->bytes.size(), 312u);
    EXPECT_EQ(std::memcmp(vertices->bytes.data(), model.fileBlock + end - 312, 312), 0);
}

TEST(TmbReaderDeathTest, ResourceFailuresEndTheProgramNamingTheResourceAndTheError) {
    RecordingDevice device;
    device.failTextures = D3DERR_OUTOFVIDEOMEMORY;
    EXPECT_EXIT(
        {
            Model model(&device);
            read(&model, writeTmb(sampleModel()));
        },
        ::testing::ExitedWithCode(255), "Skin\nD3DERR_OUTOFVIDEOMEMORY");
    device.failTextures = D3D_OK;
    device.failVertexBuffers = E_OUTOFMEMORY;
    EXPECT_EXIT(
        {
            Model model(&device);
            read(&model, writeTmb(sampleModel()));
        },
        ::testing::ExitedWithCode(255), "VertexBuffer.*\n\nbody\nE_OUTOFMEMORY");
}

TEST(TmbReader, OnlyNamesEndingInLowerCaseTmbAreLoaded) {
    // Refused before any lookup, so no add-on is needed.
    for (const char* name : {"body.TMB", "body.tmb.bak", "body", ".tm"}) {
        Model model;
        EXPECT_EQ(loadModelFile(&model, name), -1) << name;
        expectEmpty(model);
    }
}
