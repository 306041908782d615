// tr2_icon_export: writes the application icon as PNG files for the desktop, scaled up by whole
// pixels so that the picture stays sharp.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "resources/icon.h"
#include "tools/writers/png_writer.h"

int main(int argc, char** argv) {
    if (argc < 3 || (argc - 1) % 2 != 0) {
        std::fprintf(stderr, "usage: tr2_icon_export SIZE OUT.png [SIZE OUT.png...]\n");
        return 2;
    }
    const IconImage icon = loadIconResource("AppIcon");
    if (!icon.argb) return 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        const int size = std::atoi(argv[i]);
        if (size < icon.width || size % icon.width != 0 || size % icon.height != 0) {
            std::fprintf(stderr, "tr2_icon_export: %s is not a multiple of the icon's size\n",
                         argv[i]);
            return 2;
        }
        const int scale = size / icon.width;
        const int height = icon.height * scale;
        std::vector<uint32_t> pixels(static_cast<size_t>(size) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < size; ++x)
                pixels[static_cast<size_t>(y) * size + x] =
                    icon.argb[(y / scale) * icon.width + x / scale];
        std::string error;
        if (!writePng(argv[i + 1], size, height, pixels.data(), &error)) {
            std::fprintf(stderr, "tr2_icon_export: %s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
