// tr2tool model-info: what a TMB model holds (textures, materials, meshes, bones, placements).
#include <cstdio>
#include <string>
#include <vector>

#include "media/model.h"
#include "tools/tr2tool/command.h"
#include "tools/tr2tool/content_files.h"

namespace {
constexpr const char* kUsage =
    "usage: tr2tool model-info FILE.tmb\n"
    "\n"
    "Prints the counts, names and sizes of a TMB model's textures, materials, meshes (with\n"
    "their draw ranges), bones and placements.\n"
    "\n"
    "arguments:\n"
    "  FILE.tmb  a path, or else a name looked up in the archives of ./add-ons/\n"
    "\n"
    "exit codes:\n"
    "  0  printed\n"
    "  1  no such file, or a malformed model\n"
    "  2  wrong arguments\n";

void printColour(const char* label, const D3DCOLORVALUE& c) {
    std::printf(" %s %g %g %g %g", label, static_cast<double>(c.r), static_cast<double>(c.g),
                static_cast<double>(c.b), static_cast<double>(c.a));
}

void printModel(const std::string& file, const Model& model, size_t size) {
    std::printf("%s: TMB model, %zu bytes\n", file.c_str(), size);
    int textures = 0;
    for (const ModelTexture* t = model.textures.first; t; t = t->next) ++textures;
    std::printf("textures: %d\n", textures);
    for (const ModelTexture* t = model.textures.first; t; t = t->next)
        std::printf("  %s %dx%d\n", t->name.c_str(), t->width, t->height);
    std::printf("materials: %d\n", model.materialCount);
    for (int i = 0; i < model.materialCount; ++i) {
        const D3DMATERIAL8& m = *model.materials[i];
        const ModelTexture* t = model.materialTextures[i];
        std::printf("  %d texture %s", i, t ? t->name.c_str() : "(none)");
        printColour("diffuse", m.Diffuse);
        printColour("ambient", m.Ambient);
        printColour("specular", m.Specular);
        printColour("emissive", m.Emissive);
        std::printf(" power %g\n", static_cast<double>(m.Power));
    }
    int meshes = 0;
    for (const Mesh* mesh = model.firstMesh; mesh; mesh = mesh->next) ++meshes;
    std::printf("meshes: %d\n", meshes);
    for (const Mesh* mesh = model.firstMesh; mesh; mesh = mesh->next) {
        std::printf("  %s: %d triangles, %s\n", mesh->name, mesh->triangleCount,
                    mesh->oneSided ? "one-sided" : "two-sided");
        for (int i = 0; i < mesh->rangeCount && mesh->ranges[i].firstVertex >= 0; ++i)
            std::printf("    range %d: material %d, vertices from %d, %d triangles\n", i,
                        mesh->ranges[i].material, mesh->ranges[i].firstVertex,
                        mesh->ranges[i].triangleCount);
    }
    std::printf("bones: %d\n", model.boneCount);
    std::printf("placements: %d\n", model.placementCount);
    for (const Placement& p : model.placements)
        std::printf("  %s position %g %g %g rotation %g %g %g scale %g %g %g\n", p.name,
                    static_cast<double>(p.position[0]), static_cast<double>(p.position[1]),
                    static_cast<double>(p.position[2]), static_cast<double>(p.rotation[0]),
                    static_cast<double>(p.rotation[1]), static_cast<double>(p.rotation[2]),
                    static_cast<double>(p.scale[0]), static_cast<double>(p.scale[1]),
                    static_cast<double>(p.scale[2]));
}

int runModelInfo(const std::vector<std::string>& args) {
    if (args.size() != 1) return kToolUsage;
    std::vector<uint8_t> bytes;
    std::string error;
    if (!readContentFile(args[0], &bytes, &error)) {
        std::fprintf(stderr, "tr2tool model-info: %s\n", error.c_str());
        return kToolFailure;
    }
    Model model;  // no device: textures are kept as pixel copies
    if (readModel(&model, mallocBlock(bytes), bytes.size(), args[0].c_str()) != 0) {
        std::fprintf(stderr, "tr2tool model-info: %s: not a well-formed TMB model\n",
                     args[0].c_str());
        return kToolFailure;
    }
    printModel(args[0], model, bytes.size());
    return kToolOk;
}
}  // namespace

extern const ToolCommand kModelInfoCommand = {"model-info", "show what a TMB model holds", kUsage,
                                              runModelInfo};
