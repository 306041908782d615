// tr2tool render: draws a figure from ./add-ons/ through the real render device into a PNG.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "app/settings.h"
#include "archive/archive_directory.h"
#include "archive/catalogue.h"
#include "gfx/graphics_device.h"
#include "media/model_instance.h"
#include "media/motion.h"
#include "platform/encoding.h"
#include "platform/window.h"
#include "tools/tr2tool/command.h"
#include "tools/tr2tool/content_files.h"
#include "tools/tr2tool/tool_files.h"
#include "tools/writers/archive_writer.h"
#include "tools/writers/png_writer.h"

namespace {
constexpr const char* kUsage =
    "usage: tr2tool render -o OUT.png [options] BODY.tmb [PART.tmb...]\n"
    "\n"
    "Draws a figure as the game does, headless (SDL_VIDEODRIVER=offscreen unless set): BODY\n"
    "as the body, each PART in slots 1, 2, ..., the motion set on the body and played for\n"
    "--time seconds, lighting on with one white directional light.\n"
    "\n"
    "arguments:\n"
    "  BODY.tmb, PART.tmb  paths, or else names looked up in the archives of ./add-ons/\n"
    "\n"
    "options:\n"
    "  -o OUT.png          the picture to write (required)\n"
    "  --size WxH          back-buffer size (default 800x600)\n"
    "  --eye x,y,z         camera position (default 0,8,15)\n"
    "  --target x,y,z      point looked at (default 0,8,0)\n"
    "  --light x,y,z       direction the light shines along (default 0,-1,-1)\n"
    "  --motion NAME       a TSS/TSB motion: a path, or else a name in ./add-ons/\n"
    "  --time SECONDS      how far the motion has played (default 0)\n"
    "  --stage             draw BODY as the game draws a stage object: unlit, without parts\n"
    "\n"
    "exit codes:\n"
    "  0  written\n"
    "  1  a missing or malformed file, no render device, or OUT.png cannot be written\n"
    "  2  wrong arguments\n";

struct RenderOptions {
    std::string output;
    int width = 800, height = 600;
    D3DXVECTOR3 eye{0, 8, 15}, target{0, 8, 0}, light{0, -1, -1};
    std::string motion;
    float time = 0;
    bool stage = false;
    std::vector<std::string> models;  // the body, then the parts
};

bool parseVector(const std::string& text, D3DXVECTOR3* v) {
    char end = 0;
    return std::sscanf(text.c_str(), "%f,%f,%f%c", &v->x, &v->y, &v->z, &end) == 3;
}

bool parseOptions(const std::vector<std::string>& args, RenderOptions* o) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        char end = 0;
        if (a == "-o" && hasValue) {
            o->output = args[++i];
        } else if (a == "--size" && hasValue) {
            if (std::sscanf(args[++i].c_str(), "%dx%d%c", &o->width, &o->height, &end) != 2 ||
                o->width < 1 || o->height < 1 || o->width > 8192 || o->height > 8192)
                return false;
        } else if (a == "--eye" && hasValue) {
            if (!parseVector(args[++i], &o->eye)) return false;
        } else if (a == "--target" && hasValue) {
            if (!parseVector(args[++i], &o->target)) return false;
        } else if (a == "--light" && hasValue) {
            if (!parseVector(args[++i], &o->light)) return false;
        } else if (a == "--motion" && hasValue) {
            o->motion = args[++i];
        } else if (a == "--time" && hasValue) {
            if (std::sscanf(args[++i].c_str(), "%f%c", &o->time, &end) != 1) return false;
        } else if (a == "--stage") {
            o->stage = true;
        } else if (!a.empty() && a[0] == '-') {
            return false;
        } else {
            o->models.push_back(a);
        }
    }
    return !o->output.empty() && !o->models.empty() && o->models.size() < kCharacterParts &&
           (!o->stage || o->models.size() == 1);
}

// Models and motions named by a path on disk: packed into a temporary archive that the
// catalogue searches first, and loaded by their base names from then on.
class DiskFiles {
public:
    DiskFiles() = default;
    DiskFiles(const DiskFiles&) = delete;
    DiskFiles& operator=(const DiskFiles&) = delete;
    ~DiskFiles() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove(path_, ec);
    }

    bool offer(RenderOptions* o) {
        std::vector<std::string*> names;
        for (std::string& m : o->models) names.push_back(&m);
        if (!o->motion.empty()) names.push_back(&o->motion);
        std::vector<ArchiveMember> members;
        for (std::string* name : names) {
            std::error_code ec;
            if (!std::filesystem::is_regular_file(*name, ec)) continue;
            ArchiveMember member;
            const std::string base = std::filesystem::path(*name).filename().string();
            member.name = utf8ToCp932(base);
            if (!readWholeFile(*name, &member.data)) {
                std::fprintf(stderr, "tr2tool render: %s: cannot be read\n", name->c_str());
                return false;
            }
            bool repeated = false;
            for (const ArchiveMember& m : members) {
                if (!memberNamesEqual(m.name.c_str(), member.name.c_str())) continue;
                if (m.data != member.data) {
                    std::fprintf(stderr, "tr2tool render: %s: another file is also named %s\n",
                                 name->c_str(), base.c_str());
                    return false;
                }
                repeated = true;
            }
            if (!repeated) members.push_back(std::move(member));
            *name = base;
        }
        if (members.empty()) return true;
        addOnsHold("");  // builds the catalogue, which the temporary archive then goes before
        path_ = std::filesystem::temp_directory_path() /
                ("tr2tool-render-" + std::to_string(getpid()) + ".tr2");
        std::string error;
        if (!writeArchiveFile(path_, fileListDescription(members), members, &error) ||
            !addArchiveFirst(path_.c_str())) {
            std::fprintf(stderr, "tr2tool render: the files from disk cannot be staged: %s\n",
                         error.c_str());
            return false;
        }
        return true;
    }

private:
    std::filesystem::path path_;
};

// Reads every file the figure needs before anything is drawn, so that a missing or malformed
// one is reported by name instead of ending the program in the lookup or drawing nothing.
bool checkContent(const RenderOptions& o) {
    for (const std::string& name : o.models) {
        if (!addOnsHold(utf8ToCp932(name))) {
            std::fprintf(stderr, "tr2tool render: %s: no such file, and not in ./add-ons/\n",
                         name.c_str());
            return false;
        }
        Model probe;
        if (loadModelFile(&probe, utf8ToCp932(name).c_str()) != 0) {
            std::fprintf(stderr,
                         "tr2tool render: %s: not a well-formed TMB model (or not named .tmb)\n",
                         name.c_str());
            return false;
        }
    }
    if (!o.motion.empty()) {
        if (!addOnsHold(utf8ToCp932(o.motion))) {
            std::fprintf(stderr, "tr2tool render: %s: no such file, and not in ./add-ons/\n",
                         o.motion.c_str());
            return false;
        }
        Motion probe;
        if (loadMotionFile(&probe, utf8ToCp932(o.motion).c_str()) != 0) {
            std::fprintf(stderr, "tr2tool render: %s: not a well-formed motion\n",
                         o.motion.c_str());
            return false;
        }
    }
    return true;
}

std::vector<uint32_t> argbPixels(const BackBufferImage& image) {
    std::vector<uint32_t> argb(static_cast<size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* row = image.bytes.data() + static_cast<size_t>(y) * image.pitch;
        for (int x = 0; x < image.width; ++x) {
            uint32_t c;
            if (image.format == D3DFMT_R5G6B5) {
                const uint32_t p = row[x * 2] | row[x * 2 + 1] << 8;
                const uint32_t r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
                c = (r * 255 / 31) << 16 | (g * 255 / 63) << 8 | (b * 255 / 31);
            } else {
                c = row[x * 4] | row[x * 4 + 1] << 8 | row[x * 4 + 2] << 16;
            }
            argb[static_cast<size_t>(y) * image.width + x] = 0xFF000000u | c;
        }
    }
    return argb;
}

int runRender(const std::vector<std::string>& args) {
    RenderOptions o;
    if (!parseOptions(args, &o)) return kToolUsage;
    DiskFiles diskFiles;
    if (!diskFiles.offer(&o) || !checkContent(o)) return kToolFailure;

    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    resetSettings();
    mutableSettings().screenWidth = o.width;
    mutableSettings().screenHeight = o.height;
    mutableSettings().windowed = true;
    WindowDescription description;
    description.title = "tr2tool render";
    description.outerWidth = o.width;
    description.outerHeight = o.height;
    std::unique_ptr<Window> window = createWindow(description);
    auto graphics = std::make_unique<GraphicsDevice>();
    setGraphicsDevice(graphics.get());
    if (!window || !graphics->init(window.get(), false)) {
        std::fprintf(stderr,
                     "tr2tool render: no render device (is there a display or "
                     "SDL_VIDEODRIVER=offscreen?)\n");
        return kToolFailure;
    }
    RenderDevice* device = graphics->device();

    int status = kToolOk;
    {
        CharacterInstance character;
        ModelInstance stage;
        ModelInstance& figure = o.stage ? stage : character;
        if (o.stage) {
            loadBody(&stage, utf8ToCp932(o.models[0]).c_str());
        } else {
            setPart(&character, 0, utf8ToCp932(o.models[0]).c_str());
            for (size_t i = 1; i < o.models.size(); ++i)
                setPart(&character, static_cast<int>(i), utf8ToCp932(o.models[i]).c_str());
        }
        if (!o.motion.empty()) setMotion(&figure, utf8ToCp932(o.motion).c_str());
        figure.update(o.time);

        graphics->setCamera(o.eye, o.target, nullptr);
        D3DLIGHT8 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {1, 1, 1, 1};
        light.Specular = {1, 1, 1, 1};
        light.Direction = o.light;
        device->setRenderState(D3DRS_LIGHTING, 1);
        device->lightEnable(0, true);
        device->setLight(0, light);
        graphics->beginFrame(0xFF000000);
        device->beginScene();
        figure.draw();
        device->endScene();

        BackBufferImage image;
        std::string error;
        if (FAILED(device->readBackBuffer(&image))) {
            std::fprintf(stderr, "tr2tool render: the back buffer cannot be read\n");
            status = kToolFailure;
        } else if (const std::vector<uint32_t> argb = argbPixels(image);
                   !writePng(o.output, image.width, image.height, argb.data(), &error)) {
            std::fprintf(stderr, "tr2tool render: %s\n", error.c_str());
            status = kToolFailure;
        }
    }
    setGraphicsDevice(nullptr);
    graphics.reset();
    window.reset();
    return status;
}
}  // namespace

extern const ToolCommand kRenderCommand = {"render", "draw a figure from ./add-ons/ into a PNG",
                                           kUsage, runRender};
