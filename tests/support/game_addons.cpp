// A small add-on set with everything the game needs to start, for game tests and end-to-end runs.
#include "tests/support/game_addons.h"

#include "tests/support/test_files.h"
#include "tools/writers/archive_writer.h"
#include "tools/writers/motion_writer.h"
#include "tools/writers/ogg_writer.h"
#include "tools/writers/psd_writer.h"
#include "tools/writers/tcm_writer.h"
#include "tools/writers/tmb_writer.h"

namespace {
PsdWriterLayer solid(const std::string& name, int left, int top, int width, int height,
                     uint32_t colour, uint8_t opacity = 255) {
    return psdLayer(name, left, top, width, height,
                    std::vector<uint32_t>(static_cast<size_t>(width) * height, colour), opacity);
}

ArchiveMember bytesMember(const std::string& name, const std::vector<uint8_t>& bytes) {
    ArchiveMember m;
    m.name = name;
    m.data = bytes;
    return m;
}

ArchiveMember psdMember(const std::string& name, std::vector<PsdWriterLayer> layers) {
    PsdDocument document;
    document.layers = std::move(layers);
    return bytesMember(name, writePsd(document));
}

TmbVertex vertex(float x, float y, float z, uint32_t colour) {
    TmbVertex v;
    v.position = {x, y, z};
    v.normal = {0, 0, 1};
    v.colour = colour;
    return v;
}

// A rectangle facing +z on bone 0, counter-clockwise seen from the front.
TmbMesh rectangle(const std::string& name, float left, float bottom, float right, float top,
                  float z, uint32_t colour) {
    TmbMesh mesh;
    mesh.name = name;
    const TmbVertex tl = vertex(left, top, z, colour), tr = vertex(right, top, z, colour);
    const TmbVertex bl = vertex(left, bottom, z, colour), br = vertex(right, bottom, z, colour);
    mesh.vertices = {tl, bl, br, tl, br, tr};
    mesh.ranges = {{0, 0, 2}};
    return mesh;
}

std::vector<uint8_t> figureModel() {
    TmbModel model;
    // No ambient part: lit by a white light it shows its own red, not the white of the
    // device's full ambient level.
    TmbMaterial material;
    material.ambient = {0, 0, 0, 1};
    model.materials.push_back(material);
    model.meshes.push_back(rectangle("body", -2, 4, 2, 12, 0, kTestFigureColour));
    model.boneOffsets.push_back(identity16());
    return writeTmb(model);
}

std::vector<uint8_t> stageModel() {
    TmbModel model;
    model.materials.push_back(TmbMaterial{});
    model.meshes.push_back(rectangle("floor", -30, -1, 30, 0, -20, 0xFF404040));
    model.boneOffsets.push_back(identity16());
    TmbPlacement position;
    position.name = "loc_pos00";
    model.placements.push_back(position);
    TmbPlacement camera;
    camera.name = "loc_cam00";
    camera.position = {0, 0, 5};
    model.placements.push_back(camera);
    return writeTmb(model);
}

std::vector<uint8_t> idleMotion() {
    MotionData motion;
    motion.boneCount = 1;
    motion.frameCount = 45;
    motion.matrices.assign(45, identity16());
    motion.locatorNames = {"loc_mask00"};
    motion.locatorValues.assign(45, {0, 10, 0, 0, 0, 0, 1, 1, 1});
    return writeTsb(motion);
}

std::string cameraPath() {
    CameraPathData path;
    for (int i = 0; i < 3; ++i) {
        CameraFrameData frame;
        frame.eye = {static_cast<float>(i) * 4.0f, 8.0f, 15.0f};
        frame.target = {static_cast<float>(i) * 4.0f, 8.0f, 0.0f};
        path.frames.push_back(frame);
    }
    return writeTcm(path);
}

// The dress-up screen's layers; see game_addons.h for the places tests click.
std::vector<PsdWriterLayer> setupLayers() {
    std::vector<PsdWriterLayer> layers;
    layers.push_back(solid("title", 0, 0, 300, 30, 0xFF303030));
    for (int w = 1; w <= 13; ++w)
        layers.push_back(
            solid("itemwin" + std::to_string(w), 500, 100, 260, 330, testFrameColour(w)));
    layers.push_back(solid("filewin", 500, 100, 260, 330, testFrameColour(14)));
    layers.push_back(solid("BGwin", 20, 450, 200, 140, 0xFF101040));
    layers.push_back(solid("BGsample", 40, 460, 160, 90, 0xFF000000, 0));
    layers.push_back(solid("BGbutton_L", 20, 560, 30, 30, 0xFF00FFFF));
    layers.push_back(solid("BGbutton_R", 190, 560, 30, 30, 0xFF00FFFF));
    const char* menus[] = {"menu1", "menu2", "menu3"};
    for (int i = 0; i < 3; ++i) {
        layers.push_back(solid(std::string(menus[i]) + "_a", 600 + 65 * i, 20, 60, 30, 0xFF806000));
        layers.push_back(solid(std::string(menus[i]) + "_b", 600 + 65 * i, 20, 60, 30, 0xFFC09000));
    }
    layers.push_back(solid("itembutton_U", 765, 110, 30, 30, 0xFFFFFFFF));
    layers.push_back(solid("itembutton_D", 765, 400, 30, 30, 0xFFFFFFFF));
    for (int i = 1; i <= 12; ++i) {
        int x = 0, y = 0;
        testCategoryButton(i, &x, &y);
        layers.push_back(solid("itembutton" + std::to_string(i), x, y, 50, 30, 0xFFA0A0A0));
    }
    layers.push_back(solid("itembutton13a", 20, 140, 50, 30, 0xFFA0A0A0));
    layers.push_back(solid("itembutton13b", 20, 140, 50, 30, 0xFF707070));
    layers.push_back(solid("window", 20, 300, 400, 100, 0xFF202020));
    layers.push_back(solid("filebutton", 510, 110, 200, 36, 0xFF4060A0));
    return layers;
}
}  // namespace

uint32_t testFrameColour(int window) {
    return 0xFF000000u | static_cast<uint32_t>(window * 16) << 16 | 0x3000u | 0x40u;
}

void testCategoryButton(int window, int* x, int* y) {
    *x = 20 + ((window - 1) % 6) * 60;
    *y = 60 + ((window - 1) / 6) * 40;
}

void writeGameAddOns(const std::filesystem::path& folder,
                     const std::vector<std::pair<std::string, std::string>>& scripts) {
    std::vector<ArchiveMember> members;
    members.push_back(psdMember("fade.psd", {solid("fade", 0, 0, 8, 8, 0xFFFFFFFF)}));
    members.push_back(
        psdMember("inter.psd", {solid("window", 50, 400, 700, 180, kTestWindowColour),
                                solid("pageicon", 720, 550, 20, 20, 0xFFFFFFFF),
                                solid("menuitem", 250, 0, 300, 40, kTestMenuItemColour),
                                solid("menuitem_i", 250, 0, 300, 40, kTestMenuActiveColour),
                                solid("ani_gauge", 20, 20, 200, 10, 0xFF202020),
                                solid("imo_gauge", 580, 20, 200, 10, 0xFF202020),
                                solid("ani_gauge_e", 20, 20, 200, 10, 0xFF40A0FF),
                                solid("imo_gauge_e", 580, 20, 200, 10, 0xFFFF6080)}));
    members.push_back(psdMember("mask.psd", {solid("mask", 0, 0, 128, 128, 0xFFFF00FF)}));
    members.push_back(psdMember("title2.psd", {solid("back", 0, 0, 800, 600, kTestTitleColour),
                                               solid("logo", 300, 100, 200, 60, 0xFFFFFFFF)}));
    members.push_back(
        psdMember("picture.psd", {solid("picture", 100, 100, 200, 150, kTestPictureColour)}));
    members.push_back(bytesMember("figure.tmb", figureModel()));
    members.push_back(bytesMember("idle.tsb", idleMotion()));
    members.push_back(bytesMember("stage.tmb", stageModel()));
    const std::string path = cameraPath();
    members.push_back(archiveMember("route.tcm", path));
    members.push_back(psdMember("setup.psd", setupLayers()));
    members.push_back(psdMember("item_nil.psd", {solid("dim", 0, 0, 36, 36, kTestNilIconColour),
                                                 solid("lit", 0, 0, 36, 36, kTestNilIconColour)}));
    members.push_back(
        psdMember("item_sys.psd", {solid("remove", 0, 0, 36, 36, kTestRemoveIconColour)}));
    const std::vector<int16_t> tone = sineTone(0.5, 2, 44100, 440, 8000);
    const std::vector<uint8_t> ogg = writeOggVorbis(tone.data(), tone.size() / 2, 2, 44100);
    for (const char* name : {"tone.ogg", "se100.ogg", "se101.ogg", "se102.ogg"})
        members.push_back(bytesMember(name, ogg));
    for (const auto& [name, text] : scripts) members.push_back(archiveMember(name, sjis(text)));

    std::filesystem::create_directories(folder / "add-ons");
    writeArchiveFile(folder / "add-ons" / "game_test.tr2", fileListDescription(members), members);
}
