// tr2tool psd-export: every layer of a PSD document as a PNG, with its placement on stdout.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
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

// A layer with at least this many rows per thread is deflated in one band per thread, so that
// a few large layers keep every thread busy to the end.
constexpr int kLeastBandRows = 32;

// One layer's work and outcome: its rows are deflated in bands, side by side, and whoever
// finishes the last band writes the file.
struct LayerExport {
    bool decoded = false;  // the layer's record and channels were accepted
    PsdLayer layer{};      // its fields, pixels null
    int bands = 1;
    std::vector<PngBand> deflated;
    std::atomic<int> pending{0};  // bands still being deflated
    std::atomic<bool> bandFailed{false};
    bool written = false;
    std::string message;
};

// Deflates band `band` of a layer: its reader reads past the rows above the band first, as
// the rows of a channel can only be found one after the other.
void deflateBand(const PsdLayers& document, int index, int band, LayerExport* out) {
    PsdLayerRows rows(document, index);
    const int32_t width = out->layer.width, height = out->layer.height;
    const int first = static_cast<int>(int64_t{height} * band / out->bands);
    const int end = static_cast<int>(int64_t{height} * (band + 1) / out->bands);
    std::vector<uint32_t> row(static_cast<size_t>(width));
    rows.skip(first);
    const bool ok = deflatePngBand(
        width, end - first,
        [&](int) {
            rows.next(row.data());
            return row.data();
        },
        band == out->bands - 1, &out->deflated[static_cast<size_t>(band)]);
    if (!ok) out->bandFailed = true;
}

// Writes layer `index` as "NNN.png" in `folder` once all its bands are deflated.
void writeLayer(int index, const std::filesystem::path& folder, LayerExport* out) {
    char name[16];
    std::snprintf(name, sizeof name, "%03d.png", index);
    const std::string path = (folder / name).string();
    if (out->layer.width == 0) {
        out->written = writePngRows(path, 0, 0, nullptr, &out->message);  // one clear pixel
    } else if (out->bandFailed) {
        out->message = path + ": out of memory";
    } else {
        out->written =
            writePngBands(path, out->layer.width, out->layer.height, out->deflated, &out->message);
    }
    out->deflated.clear();
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
    // Layers are decoded and encoded side by side on every hardware thread, large ones in
    // bands; the work goes in layer order, so only the layers at hand hold their deflated
    // bands. The lines and the first error are printed in layer order afterwards, as a
    // one-by-one export prints them: past a failed layer no work is started.
    const unsigned hardware = std::max(1u, std::thread::hardware_concurrency());
    std::vector<LayerExport> results(static_cast<size_t>(count));
    std::vector<std::pair<int, int>> work;  // (layer, band)
    std::atomic<int> firstFailure{count};
    for (int i = 0; i < count; ++i) {
        LayerExport& r = results[static_cast<size_t>(i)];
        const PsdLayerRows rows(document, i);
        if (!rows.ok()) {
            firstFailure = i;
            break;
        }
        r.decoded = true;
        r.layer = rows.layer();
        if (r.layer.width > 0 && r.layer.height >= int64_t{kLeastBandRows} * hardware)
            r.bands = static_cast<int>(hardware);
        r.deflated.resize(static_cast<size_t>(r.bands));
        r.pending = r.bands;
        for (int band = 0; band < r.bands; ++band) work.emplace_back(i, band);
    }
    std::atomic<size_t> next{0};
    auto worker = [&] {
        for (;;) {
            const size_t item = next.fetch_add(1);
            if (item >= work.size()) return;
            const auto [i, band] = work[item];
            if (i > firstFailure.load()) return;
            LayerExport& r = results[static_cast<size_t>(i)];
            if (r.layer.width > 0) deflateBand(document, i, band, &r);
            if (r.pending.fetch_sub(1) != 1) continue;
            writeLayer(i, folder, &r);
            if (!r.written) {
                int seen = firstFailure.load();
                while (i < seen && !firstFailure.compare_exchange_weak(seen, i)) {
                }
            }
        }
    };
    const size_t helpers = std::min<size_t>(hardware, work.size()) - !work.empty();
    std::vector<std::thread> threads;
    for (size_t t = 0; t < helpers; ++t) {
        try {
            threads.emplace_back(worker);
        } catch (const std::system_error&) {
            break;  // fewer threads only make the export slower
        }
    }
    worker();
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
