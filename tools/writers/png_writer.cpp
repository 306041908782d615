// PNG files through libpng's simplified API.
#include "tools/writers/png_writer.h"

#include <png.h>

#include <cstring>

bool writePng(const std::string& path, int width, int height, const uint32_t* argb,
              std::string* error) {
    if (width <= 0 || height <= 0) {
        // An empty layer still gets a file: one transparent pixel.
        const uint32_t clear = 0;
        return writePng(path, 1, 1, &clear, error);
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    // 0xAARRGGBB in memory is B, G, R, A on little-endian machines.
    image.format = PNG_FORMAT_BGRA;
    if (!png_image_write_to_file(&image, path.c_str(), 0, argb, width * 4, nullptr)) {
        if (error) *error = path + ": " + image.message;
        return false;
    }
    return true;
}

bool readPng(const std::string& path, int* width, int* height, std::vector<uint32_t>* argb,
             std::string* error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        if (error) *error = path + ": " + image.message;
        return false;
    }
    image.format = PNG_FORMAT_BGRA;
    argb->assign(static_cast<size_t>(image.width) * image.height, 0);
    if (!png_image_finish_read(&image, nullptr, argb->data(), 0, nullptr)) {
        if (error) *error = path + ": " + image.message;
        return false;
    }
    *width = static_cast<int>(image.width);
    *height = static_cast<int>(image.height);
    return true;
}
