// tr2tool psd-export: every layer of a PSD document as a PNG, with its placement on stdout.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "media/psd_decoder.h"
#include "platform/encoding.h"
#include "tools/tr2tool/command.h"
#include "tools/tr2tool/tool_files.h"
#include "tools/writers/png_writer.h"

namespace {
constexpr const char* kPrefix = "tr2tool psd-export";

// The channel depth of a PSD header (signature "8BPS", depth at offset 22), 0 for anything else.
int psdDepth(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < 26 || std::memcmp(bytes.data(), "8BPS", 4) != 0) return 0;
    return bytes[22] << 8 | bytes[23];
}

// One layer's outcome: its record (without pixels) for the printed line, or why it failed.
struct LayerExport {
    bool decoded = false;
    bool written = false;
    PsdLayer layer{};
    std::string message;
};

// Decodes layer `index` and writes it as "NNN.png" in `folder`, row by row as it is decoded,
// so that a thread holds one row of one layer at a time.
void exportLayer(const PsdLayers& document, int index, const std::filesystem::path& folder,
                 LayerExport* out) {
    PsdLayerRows rows(document, index);
    if (!rows.ok()) return;
    out->decoded = true;
    out->layer = rows.layer();
    std::vector<uint32_t> row(static_cast<size_t>(out->layer.width));
    char name[16];
    std::snprintf(name, sizeof name, "%03d.png", index);
    out->written = writePngRows((folder / name).string(), out->layer.width, out->layer.height,
                                [&](int) {
                                    rows.next(row.data());
                                    return row.data();
                                },
                                &out->message);
}

int run(const std::vector<std::string>& args) {
    if (args.size() != 2) return kToolUsage;
    const std::string& path = args[0];
    std::vector<uint8_t> bytes;
    std::error_code exists;
    if (!std::filesystem::exists(path, exists)) {
        std::fprintf(stderr, "%s: %s: no such file\n", kPrefix, path.c_str());
        return kToolFailure;
    }
    if (!readWholeFile(path, &bytes)) {
        std::fprintf(stderr, "%s: %s: cannot be read\n", kPrefix, path.c_str());
        return kToolFailure;
    }
    const PsdLayers document(bytes.data(), bytes.size());
    const int count = document.count();
    if (count < 0) {
        if (psdDepth(bytes) == 16) {
            std::fprintf(stderr, "%s: %s: 16-bit PSD: save it with 8 bits per channel\n", kPrefix,
                         path.c_str());
        } else {
            std::fprintf(stderr,
                         "%s: %s: not a layered 8-bit RGB PSD document (or its layer records are "
                         "cut short)\n",
                         kPrefix, path.c_str());
        }
        return kToolFailure;
    }
    const std::filesystem::path folder = args[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder)) {
        std::fprintf(stderr, "%s: %s: cannot create the folder\n", kPrefix,
                     folder.string().c_str());
        return kToolFailure;
    }
    // Layers are decoded and encoded side by side, one per hardware thread. The lines and the first
    // error are printed in layer order afterwards, as a one-by-one export prints them.
    std::vector<LayerExport> results(static_cast<size_t>(count));
    std::atomic<int> next{0};
    std::atomic<int> firstFailure{count};
    auto work = [&] {
        for (;;) {
            const int i = next.fetch_add(1);
            // Past a failed layer nothing more is started: its error ends the export.
            if (i >= count || i > firstFailure.load()) return;
            exportLayer(document, i, folder, &results[static_cast<size_t>(i)]);
            if (!results[static_cast<size_t>(i)].written) {
                int seen = firstFailure.load();
                while (i < seen && !firstFailure.compare_exchange_weak(seen, i)) {
                }
            }
        }
    };
    const unsigned hardware = std::max(1u, std::thread::hardware_concurrency());
    const unsigned helpers = std::min(hardware, static_cast<unsigned>(count)) - (count > 0);
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < helpers; ++t) {
        try {
            threads.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // fewer threads only make the export slower
        }
    }
    work();
    for (std::thread& thread : threads) thread.join();

    for (int i = 0; i < count; ++i) {
        const LayerExport& r = results[static_cast<size_t>(i)];
        if (!r.decoded) {
            std::fprintf(stderr,
                         "%s: %s: layer %d is larger than %d x %d pixels or its channels are cut "
                         "short; not decoded\n",
                         kPrefix, path.c_str(), i, kMaxPsdLayerSide, kMaxPsdLayerSide);
            return kToolFailure;
        }
        if (!r.written) {
            std::fprintf(stderr, "%s: %s\n", kPrefix, r.message.c_str());
            return kToolFailure;
        }
        std::printf("%d\t%s\t%d\t%d\t%d\t%d\t%u\n", i, cp932ToUtf8(r.layer.name).c_str(),
                    r.layer.left, r.layer.top, r.layer.width, r.layer.height, r.layer.opacity);
    }
    return kToolOk;
}
}  // namespace

extern const ToolCommand kPsdExportCommand = {
    "psd-export",
    "write every layer of a PSD document as DIR/000.png, 001.png, ...",
    "usage: tr2tool psd-export FILE.psd DIR\n"
    "\n"
    "Decodes every layer of an 8-bit RGB PSD document as the game does (pixels whose alpha is\n"
    "0 become 0) and writes layer N as DIR/NNN.png (an empty layer as one transparent pixel).\n"
    "Prints one line per layer, tab-separated: index, name (UTF-8), left, top, width, height,\n"
    "opacity.\n"
    "\n"
    "arguments:\n"
    "  FILE.psd  the document\n"
    "  DIR       the folder to write into (created when missing)\n"
    "\n"
    "exit codes:\n"
    "  0  written\n"
    "  1  no such file, an unreadable or refused document, or a PNG cannot be written\n"
    "  2  wrong arguments\n",
    run,
};
