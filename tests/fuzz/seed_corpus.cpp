// Writes the fuzzers' seed corpora with the project's own writers: a few well-formed files per
// format and the inputs of every fault the fuzzers have found (kept as regression seeds).
// Usage: tr2_fuzz_seeds FOLDER (one subfolder per harness).
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/writers/archive_writer.h"
#include "tools/writers/font_writer.h"
#include "tools/writers/motion_writer.h"
#include "tools/writers/ogg_writer.h"
#include "tools/writers/psd_writer.h"
#include "tools/writers/tcm_writer.h"
#include "tools/writers/tmb_writer.h"

namespace fs = std::filesystem;

namespace {
fs::path root;
bool failed = false;

void put(const std::string& harness, const std::string& name, const void* bytes, size_t size) {
    fs::create_directories(root / harness);
    const fs::path path = root / harness / name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || (size && std::fwrite(bytes, 1, size, file) != size)) failed = true;
    if (file) std::fclose(file);
}
void put(const std::string& harness, const std::string& name, const std::vector<uint8_t>& b) {
    put(harness, name, b.data(), b.size());
}
void put(const std::string& harness, const std::string& name, const std::string& text) {
    put(harness, name, text.data(), text.size());
}

void setI32(std::vector<uint8_t>& b, size_t at, int32_t v) {
    std::memcpy(b.data() + at, &v, 4);
}

std::vector<uint32_t> gradient(int w, int h) {
    std::vector<uint32_t> p;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.push_back(uint32_t((x * 40) & 0xFF) << 24 | uint32_t(y * 30) << 16 | 0x2040);
    return p;
}

void archives() {
    std::vector<ArchiveMember> members = {
        archiveMember("script.txt", "%W1;\r\n:top;\r\nHello%k\r\n"),
        archiveMember("raw.bin", std::string(40, 'x'), true),
        archiveMember("empty.txt", ""),
        archiveMember("repeat.txt", std::string(300, 'a') + std::string(300, 'b')),
    };
    put("archive", "members.tr2",
        writeArchive(fileListDescription(members, "TYPE=Item\n"), members));
    put("archive", "description-only.tr2", writeArchive("TYPE=Stage\n", {}));
}

void keyValues() {
    put("key_value", "item.txt",
        "# an item\r\nTYPE=Hair\r\nNAME = Blue dress\r\nFILE_0=a.tmb # part\r\nFILE_1=b.tmb\r\n"
        "ICON_0=icon.psd\r\nCAPTION_0=A=B=C\r\nUPPERONLY=\r\n");
    put("key_value", "stage.txt", "TYPE=Stage\nFILE_0=room.tmb\nCOORD_00=1\nFILE_X=x");
    put("key_value", "bad.txt", "TYPE=Stage\n=value\nno sign\n");
}

void psds() {
    PsdDocument doc;
    doc.width = 16;
    doc.height = 8;
    doc.layers.push_back(psdLayer("back", 0, 0, 6, 4, gradient(6, 4)));
    PsdWriterLayer raw = psdLayer("raw layer", 3, 2, 5, 3, gradient(5, 3), 128);
    raw.rle = false;
    raw.alpha = false;
    doc.layers.push_back(raw);
    doc.layers.push_back(psdLayer("empty", 0, 0, 0, 0, {}));
    put("psd", "layers.psd", writePsd(doc));
    doc.negativeCount = true;
    doc.layers.resize(1);
    put("psd", "negative-count.psd", writePsd(doc));

    // A 98-byte document whose one layer claims a 16384 x 4096 rectangle with no channel
    // bytes behind it: it once cost seconds and hundreds of megabytes.
    PsdDocument wide;
    PsdWriterLayer huge;
    huge.name = "big";
    huge.bottom = 4096;
    huge.right = 16384;
    huge.channels = {{0, {0, 1}}};
    wide.layers.push_back(huge);
    put("psd", "regress-unbacked-layer.psd", writePsd(wide));
}

TmbModel sampleModel() {
    TmbModel m;
    m.textures.push_back({"skin", 2, 2, {0xFF102030, 0xFF405060, 0x80FFFFFF, 0}});
    m.textures.push_back({"SKIN", 1, 1, {0xFFFFFFFF}});
    m.materials.push_back({});
    m.materials.push_back({{0.5f, 0.5f, 0.5f, 1}, {1, 1, 1, 1}, {}, {}, 4, 1});
    TmbMesh mesh;
    mesh.name = "body";
    mesh.ranges = {{0, 0, 1}, {1, 3, 1}};
    for (int i = 0; i < 6; ++i) {
        TmbVertex v;
        v.position = {float(i), float(i % 2), 0};
        v.weights = {0.5f, 0.25f, 0};
        v.bones = {0, 1, 0, 0};
        mesh.vertices.push_back(v);
    }
    m.meshes.push_back(mesh);
    m.boneOffsets = {identity16(), identity16()};
    m.placements = {{"hand", {1, 2, 3}, {}, {1, 1, 1}}, {"cam", {}, {0, 1, 0}, {2, 2, 2}}};
    return m;
}

MotionData sampleMotion() {
    MotionData m;
    m.boneCount = 2;
    m.frameCount = 3;
    m.loopStart = 1;
    for (int f = 0; f < 3; ++f)
        for (int b = 0; b < 2; ++b) {
            Matrix16 r = identity16();
            r[12] = float(f);
            r[13] = float(b);
            m.matrices.push_back(r);
        }
    m.locatorNames = {"eye", "target"};
    for (int i = 0; i < 6; ++i) m.locatorValues.push_back({float(i), 1, 2, 0, 0, 0, 1, 1, 1});
    return m;
}

void models() {
    put("tmb", "model.tmb", writeTmb(sampleModel()));
    put("tmb", "empty.tmb", writeTmb({}));
}

void motions() {
    put("tsb", "motion.tsb", writeTsb(sampleMotion()));
    MotionData plain = sampleMotion();
    plain.locatorNames.clear();
    plain.locatorValues.clear();
    put("tsb", "no-locators.tsb", writeTsb(plain));
    // Frames and bones of 2^29: their product times 64 wraps to 0 in 64 bits.
    std::vector<uint8_t> wrapping = writeTsb(MotionData{});
    setI32(wrapping, 16, 1 << 29);
    setI32(wrapping, 20, 1 << 29);
    put("tsb", "regress-wrapping-counts.tsb", wrapping);

    put("tss", "motion.tss", writeTss(sampleMotion()));
    MotionData looped = plain;
    looped.firstFrame = 10;
    put("tss", "no-locators.tss", writeTss(looped));
}

void cameras() {
    CameraPathData path;
    path.firstFrame = 10;
    for (int i = 0; i < 3; ++i) path.frames.push_back({{float(i), 1, 2}, {0, 1, 0}, 0.5f});
    put("tcm", "path.tcm", writeTcm(path));
    put("tcm", "one-frame.tcm", writeTcm({0, {{}}}));
}

void fonts() {
    std::vector<FontGlyph> glyphs;
    for (uint16_t code : {0x8140, 0x82A0, 0x82A0, 0x889F}) {
        FontGlyph g;
        g.code = code;
        for (int i = 0; i < 16; ++i) g.alpha.push_back(uint8_t(i * 16));
        glyphs.push_back(g);
    }
    put("font", "font.bin", writeFont(4, glyphs));
    put("font", "no-glyphs.bin", writeFont(2, {}));
}

void scripts() {
    // あ い う and 。 in CP932.
    const std::string a = "\x82\xa0", i = "\x82\xa2", u = "\x82\xa4", stop = "\x81\x42";
    put("script", "flow.txt",
        "%W1;%WG1;\r\n%n&1;" + a + i + u + "%k\r\n&0" + a + stop +
            "%K\r\n"
            "# comment: not a label\r\n$ skipped : block $\r\n"
            "%S10,=,5;%S10,+,2;%E10,>=,7,jump;" +
            u +
            "%r\r\n"
            ":jump;%L sub;%MSse1,0;%MAloop,0;%Mbgm,0;%w3;\r\n"
            "%ione,first;%itwo,second;%I\r\n:first;" +
            a + "%J end;\r\n:second;" + i +
            "\r\n"
            ":end;%R" +
            u + "%k\r\n%JSystemExit;\r\n:sub;" + i + "%l\r\n");
    std::string page;
    for (int n = 0; n < 30; ++n) page += a;
    put("script", "long-line.txt", page + stop + "%k" + page + "AB%k" + i);
    // Many labels and jumps between them: each jump once scanned the whole text.
    std::string labels;
    for (int n = 0; n < 400; ++n)
        labels += ":L" + std::to_string(n) + ";%JL" + std::to_string((n * 7 + 3) % 400) + ";";
    put("script", "regress-many-labels.txt", labels);
}

void sounds() {
    const std::vector<int16_t> tone = sineTone(0.05, 1, 8000, 440, 8000);
    put("ogg", "tone.ogg", writeOggVorbis(tone.data(), tone.size(), 1, 8000, 0.0f));
    put("ogg", "silent.ogg", writeOggVorbis(nullptr, 0, 2, 22050));
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tr2_fuzz_seeds FOLDER\n");
        return 2;
    }
    root = argv[1];
    archives();
    keyValues();
    psds();
    models();
    motions();
    cameras();
    fonts();
    scripts();
    sounds();
    if (failed) std::fprintf(stderr, "tr2_fuzz_seeds: cannot write into %s\n", argv[1]);
    return failed ? 1 : 0;
}
