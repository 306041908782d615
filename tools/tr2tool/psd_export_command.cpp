// tr2tool psd-export: every layer of a PSD document as a PNG, with its placement on stdout.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "media/psd_decoder.h"
#include "platform/encoding.h"
#include "tools/tr2tool/command.h"
#include "tools/tr2tool/tool_files.h"
#include "tools/writers/png_writer.h"

namespace {
int run(const std::vector<std::string>& args) {
    if (args.size() != 2) return kToolUsage;
    const std::string& path = args[0];
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, &bytes)) {
        std::fprintf(stderr, "%s: cannot be read\n", path.c_str());
        return kToolFailure;
    }
    const PsdLayers document(bytes.data(), bytes.size());
    const int count = document.count();
    if (count < 0) {
        std::fprintf(stderr,
                     "%s: not a layered 8-bit RGB PSD document (or its layer records are cut "
                     "short)\n",
                     path.c_str());
        return kToolFailure;
    }
    const std::filesystem::path folder = args[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder)) {
        std::fprintf(stderr, "%s: cannot create the folder\n", folder.string().c_str());
        return kToolFailure;
    }
    for (int i = 0; i < count; ++i) {
        PsdLayer* layer = document.read(i);
        if (!layer) {
            std::fprintf(stderr,
                         "%s: layer %d is larger than %d x %d pixels or its channels are cut "
                         "short; not decoded\n",
                         path.c_str(), i, kMaxPsdLayerSide, kMaxPsdLayerSide);
            return kToolFailure;
        }
        char name[16];
        std::snprintf(name, sizeof name, "%03d.png", i);
        std::string message;
        const bool written = writePng((folder / name).string(), layer->width, layer->height,
                                      layer->pixels, &message);
        if (written)
            std::printf("%d\t%s\t%d\t%d\t%d\t%d\t%u\n", i, cp932ToUtf8(layer->name).c_str(),
                        layer->left, layer->top, layer->width, layer->height, layer->opacity);
        freePsdLayer(layer);
        if (!written) {
            std::fprintf(stderr, "%s\n", message.c_str());
            return kToolFailure;
        }
    }
    return kToolOk;
}
}  // namespace

extern const ToolCommand kPsdExportCommand = {
    "psd-export",
    "write every layer of a PSD document as DIR/000.png, 001.png, ...",
    "usage: tr2tool psd-export FILE.psd DIR\n"
    "Decodes every layer of FILE.psd as the game does (pixels whose alpha is 0 become 0) and\n"
    "writes layer N as DIR/NNN.png (an empty layer as one transparent pixel). Prints one line\n"
    "per layer, tab-separated: index, name (UTF-8), left, top, width, height, opacity.\n"
    "Exit codes: 0 done, 1 unreadable or refused document, 2 wrong arguments.\n",
    run,
};
