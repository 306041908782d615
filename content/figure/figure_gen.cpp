// figure_gen: writes the heroine's models, motions, stages and camera paths with a packing plan,
// and turns rendered pictures into item icons and background samples.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "content/figure/heroine.h"
#include "tools/writers/png_writer.h"
#include "tools/writers/psd_writer.h"

namespace {
// The plan the build script follows: one SHOT line per picture to render, one ARCHIVE line per
// archive to pack (after its pictures exist).
std::string manifest(const Output& out) {
    std::string text;
    for (const ArchivePlan& a : out.archives) {
        for (const IconShot& s : a.shots) {
            text += "SHOT " + s.kind + " " + s.file + " " + s.eye + " " + s.target + " " + s.light +
                    " " + (s.motion.empty() ? "-" : s.motion) + " " + std::to_string(s.time);
            for (const std::string& m : s.models) text += " " + m;
            text += "\n";
        }
        text += "ARCHIVE " + a.archive + " " + a.archive + ".txt";
        for (const std::string& m : a.members) text += " " + m;
        text += "\n";
    }
    return text;
}

int generate(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    Output out;
    out.folder = folder;
    buildHeroine(&out);
    buildWardrobe(&out);
    buildStages(&out);
    for (const ArchivePlan& a : out.archives) out.writeText(a.archive + ".txt", a.description);
    out.writeText("manifest.txt", manifest(out));
    return 0;
}

uint32_t average(const std::vector<uint32_t>& argb, int width, int x0, int y0, int n, bool* empty) {
    uint32_t r = 0, g = 0, b = 0, a = 0;
    for (int y = y0; y < y0 + n; ++y)
        for (int x = x0; x < x0 + n; ++x) {
            const uint32_t p = argb[static_cast<size_t>(y) * width + x];
            // The renderer's clear colour (pure black) is the background.
            if ((p & 0xFFFFFF) == 0) continue;
            r += (p >> 16) & 255;
            g += (p >> 8) & 255;
            b += p & 255;
            ++a;
        }
    *empty = a == 0;
    if (a == 0) return 0;
    const uint32_t alpha = a * 255 / (n * n);
    return alpha << 24 | (r / a) << 16 | (g / a) << 8 | (b / a);
}

uint32_t over(uint32_t top, uint32_t bottom) {
    const uint32_t a = top >> 24;
    auto channel = [&](int shift) {
        const uint32_t t = (top >> shift) & 255, u = (bottom >> shift) & 255;
        return (t * a + u * (255 - a)) / 255;
    };
    return 0xFF000000u | channel(16) << 16 | channel(8) << 8 | channel(0);
}

// An item icon: the render shrunk to 38 x 38 over a soft tile; layer 0 dimmed (not yet
// choosable), layer 1 normal.
int makeIcon(const std::string& png, const std::string& psd, bool sample) {
    int w = 0, h = 0;
    std::vector<uint32_t> argb;
    std::string error;
    if (!readPng(png, &w, &h, &argb, &error)) {
        std::fprintf(stderr, "figure_gen: %s\n", error.c_str());
        return 1;
    }
    const int factor = sample ? 4 : 4;
    const int ow = w / factor, oh = h / factor;
    std::vector<uint32_t> normal(static_cast<size_t>(ow) * oh), dimmed(normal.size());
    for (int y = 0; y < oh; ++y)
        for (int x = 0; x < ow; ++x) {
            bool empty = false;
            const uint32_t p = average(argb, w, x * factor, y * factor, factor, &empty);
            uint32_t tile;
            if (sample) {
                tile = 0xFF101018;
            } else {
                // A pale tile with rounded corners and a light frame.
                const float fx = x + 0.5f, fy = y + 0.5f;
                const float edge = std::min({fx, fy, ow - fx, oh - fy});
                const float t = static_cast<float>(y) / oh;
                const uint32_t top = 0xFFFFF4F8, bottom = 0xFFE8DDF2;
                auto mixc = [&](int shift) {
                    return static_cast<uint32_t>(((top >> shift) & 255) * (1 - t) +
                                                 ((bottom >> shift) & 255) * t);
                };
                tile = 0xFF000000u | mixc(16) << 16 | mixc(8) << 8 | mixc(0);
                if (edge < 1.5f) tile = 0xFFC9A9D8;
                const float cx = std::min(fx, ow - fx), cy = std::min(fy, oh - fy);
                if (cx < 4 && cy < 4 && (4 - cx) * (4 - cx) + (4 - cy) * (4 - cy) > 16) tile = 0;
            }
            const uint32_t c = (tile >> 24) ? over(p, tile) : (empty ? 0 : p);
            normal[static_cast<size_t>(y) * ow + x] = c;
            const uint32_t grey =
                (((c >> 16) & 255) * 30 + ((c >> 8) & 255) * 59 + (c & 255) * 11) / 100;
            const uint32_t g = grey * 6 / 10 + 40;
            dimmed[static_cast<size_t>(y) * ow + x] = (c & 0xFF000000u) | g << 16 | g << 8 | g;
        }
    PsdDocument doc;
    doc.width = ow;
    doc.height = oh;
    if (sample) {
        doc.layers.push_back(psdLayer("sample", 0, 0, ow, oh, normal));
    } else {
        doc.layers.push_back(psdLayer("dimmed", 0, 0, ow, oh, dimmed));
        doc.layers.push_back(psdLayer("normal", 0, 0, ow, oh, normal));
    }
    if (!writePsdFile(psd, doc, &error)) {
        std::fprintf(stderr, "figure_gen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "models") return generate(args[1]);
    if (args.size() == 3 && (args[0] == "icon" || args[0] == "sample"))
        return makeIcon(args[1], args[2], args[0] == "sample");
    std::fprintf(stderr,
                 "usage: figure_gen models OUTDIR\n"
                 "       figure_gen icon|sample RENDER.png OUT.psd\n");
    return 2;
}
