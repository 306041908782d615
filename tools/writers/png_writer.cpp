// PNG files through libpng: its simplified interface, or its full one for the fast settings.
#include "tools/writers/png_writer.h"

#include <png.h>
#include <zlib.h>

#include <bit>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {
// The fast encoder's settings, chosen by measurement on exported layers (bench/gfx2d_bench.cpp):
// the Sub filter turns flat areas and repeated pixels into runs of zero bytes, which deflate's
// run-only strategy at level 1 finds at a fraction of the default's cost. Against libpng's
// default (adaptive filters, level 6) encoding takes several times less CPU time for files
// about 15% larger; Paeth gives files 6% smaller for 30% more time, Up and no filter lose on both.
constexpr int kFastFilter = PNG_FILTER_SUB;
constexpr int kFastLevel = 1;
constexpr int kFastStrategy = Z_RLE;

struct FastWrite {
    const char* message = nullptr;
    jmp_buf jump;
};

void onPngError(png_structp png, png_const_charp message) {
    auto* state = static_cast<FastWrite*>(png_get_error_ptr(png));
    state->message = message;
    longjmp(state->jump, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

// The rows through libpng's full interface, which lets the filter and the deflate settings be
// chosen (the simplified interface fixes them). Plain C data only between setjmp and longjmp.
const char* writeFast(FILE* file, int width, int height, const PngRows& rows) {
    FastWrite state;
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, onPngError, onPngWarning);
    if (!png) return "out of memory";
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return "out of memory";
    }
    if (setjmp(state.jump)) {
        png_destroy_write_struct(&png, &info);
        return state.message ? state.message : "cannot be written";
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, kFastFilter);
    png_set_compression_level(png, kFastLevel);
    png_set_compression_strategy(png, kFastStrategy);
    png_set_compression_buffer_size(png, 1 << 17);
    png_write_info(png, info);
    // 0xAARRGGBB is B, G, R, A in memory on little-endian machines, A, R, G, B on big-endian.
    if constexpr (std::endian::native == std::endian::little)
        png_set_bgr(png);
    else
        png_set_swap_alpha(png);
    for (int y = 0; y < height; ++y) {
        // libpng copies each row before transforming it; the pixels are not written to.
        png_write_row(png, reinterpret_cast<png_bytep>(const_cast<uint32_t*>(rows(y))));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return nullptr;
}

}  // namespace

bool writePngRows(const std::string& path, int width, int height, const PngRows& rows,
                  std::string* error) {
    if (width <= 0 || height <= 0) {
        const uint32_t clear = 0;
        return writePngRows(
            path, 1, 1, [&](int) { return &clear; }, error);
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        if (error) *error = path + ": " + std::strerror(errno);
        return false;
    }
    static_cast<void>(std::setvbuf(file, nullptr, _IOFBF, 1 << 20));
    const char* failure = writeFast(file, width, height, rows);
    const bool flushed = std::fflush(file) == 0 && !std::ferror(file);
    const int flushError = errno;
    const bool closed = std::fclose(file) == 0;
    if (!failure && (!flushed || !closed)) failure = std::strerror(flushed ? errno : flushError);
    if (failure) {
        // Only a file of our own making is removed, never a device written through.
        std::error_code ignored;
        if (std::filesystem::is_regular_file(path, ignored)) std::remove(path.c_str());
        if (error) *error = path + ": " + failure;
        return false;
    }
    return true;
}

bool writePng(const std::string& path, int width, int height, const uint32_t* argb,
              std::string* error, PngEffort effort) {
    if (width <= 0 || height <= 0) {
        // An empty layer still gets a file: one transparent pixel.
        const uint32_t clear = 0;
        return writePng(path, 1, 1, &clear, error, effort);
    }
    if (effort == PngEffort::fast) {
        const size_t pitch = static_cast<size_t>(width);
        return writePngRows(
            path, width, height, [&](int y) { return argb + static_cast<size_t>(y) * pitch; },
            error);
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
