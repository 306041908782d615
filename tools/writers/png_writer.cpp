// PNG files: libpng's simplified interface, or a fast encoder of our own (one filter, quick
// deflate, bands of rows deflated apart and joined).
#include "tools/writers/png_writer.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>

namespace {
// The fast encoder's settings, chosen by measurement on exported layers (bench/gfx2d_bench.cpp):
// the Sub filter turns flat areas and repeated pixels into runs of zero bytes, which deflate's
// run-only strategy at level 1 finds at a fraction of the default's cost. Against libpng's
// default (adaptive filters, level 6) encoding takes several times less CPU time for files
// about 15% larger; Paeth gives files 6% smaller for 30% more time, Up and no filter lose on
// both. Sub also needs nothing from the row above, so bands of rows can be filtered and
// deflated apart.
constexpr int kFastLevel = 1;
constexpr int kFastStrategy = Z_RLE;
constexpr uint8_t kSubFilter = 1;
// IDAT chunks are cut at this size (a chunk may hold up to 2^31 - 1 bytes).
constexpr size_t kChunkBytes = size_t{1} << 20;

// One row of 0xAARRGGBB pixels as the filter byte and R, G, B, A bytes, each less the same
// byte of the pixel to its left.
void subFilterRow(const uint32_t* pixels, int width, uint8_t* out) {
    out[0] = kSubFilter;
    uint8_t* o = out + 1;
    uint32_t left = 0;
    for (int x = 0; x < width; ++x) {
        const uint32_t v = pixels[x];
        o[4 * x] = static_cast<uint8_t>((v >> 16) - (left >> 16));
        o[4 * x + 1] = static_cast<uint8_t>((v >> 8) - (left >> 8));
        o[4 * x + 2] = static_cast<uint8_t>(v - left);
        o[4 * x + 3] = static_cast<uint8_t>((v >> 24) - (left >> 24));
        left = v;
    }
}

void putBig32(uint8_t* at, uint32_t v) {
    at[0] = static_cast<uint8_t>(v >> 24);
    at[1] = static_cast<uint8_t>(v >> 16);
    at[2] = static_cast<uint8_t>(v >> 8);
    at[3] = static_cast<uint8_t>(v);
}

// Chunks into a file; remembers the first write that failed.
class ChunkFile {
public:
    explicit ChunkFile(FILE* file) : file_(file) {}
    bool ok() const { return ok_; }
    void write(const void* data, size_t size) {
        if (ok_ && size && std::fwrite(data, 1, size, file_) != size) ok_ = false;
    }
    void chunk(const char* type, const uint8_t* data, size_t size) {
        uint8_t head[8];
        putBig32(head, static_cast<uint32_t>(size));
        std::memcpy(head + 4, type, 4);
        uLong crc = crc32(0, head + 4, 4);
        if (size) crc = crc32_z(crc, data, size);
        uint8_t tail[4];
        putBig32(tail, static_cast<uint32_t>(crc));
        write(head, 8);
        write(data, size);
        write(tail, 4);
    }

private:
    FILE* file_;
    bool ok_ = true;
};

// The zlib stream of the IDAT chunks, gathered into chunks of kChunkBytes.
class IdatStream {
public:
    explicit IdatStream(ChunkFile* file) : file_(file) { buffer_.reserve(kChunkBytes); }
    void add(const uint8_t* data, size_t size) {
        while (size) {
            const size_t n = std::min(size, kChunkBytes - buffer_.size());
            buffer_.insert(buffer_.end(), data, data + n);
            data += n;
            size -= n;
            if (buffer_.size() == kChunkBytes) flush();
        }
    }
    void flush() {
        if (!buffer_.empty()) file_->chunk("IDAT", buffer_.data(), buffer_.size());
        buffer_.clear();
    }

private:
    ChunkFile* file_;
    std::vector<uint8_t> buffer_;
};
}  // namespace

bool deflatePngBand(int width, int rows, const PngRows& source, bool last, PngBand* band) {
    band->adler = adler32(0, nullptr, 0);
    band->length = 0;
    band->size = 0;
    z_stream z{};
    if (deflateInit2(&z, kFastLevel, Z_DEFLATED, -15, 8, kFastStrategy) != Z_OK) return false;
    const size_t rowBytes = static_cast<size_t>(width) * 4 + 1;
    // Room for the worst case, and for the flush's few bytes, so the output is never moved.
    band->capacity =
        deflateBound(&z, static_cast<uLong>(rowBytes * static_cast<size_t>(rows))) + 64;
    band->deflated.reset(new (std::nothrow) uint8_t[band->capacity]);
    std::unique_ptr<uint8_t[]> filtered(new (std::nothrow) uint8_t[rowBytes]);
    bool ok = band->deflated && filtered;
    // Deflates what is in next_in until all of it is taken and, for a flush, until the flush is
    // complete (output space left over); a full buffer, never expected, is doubled.
    auto pump = [&](int flush) {
        for (;;) {
            const size_t room = std::min<size_t>(band->capacity - band->size, 1u << 30);
            z.next_out = band->deflated.get() + band->size;
            z.avail_out = static_cast<uInt>(room);
            if (deflate(&z, flush) == Z_STREAM_ERROR) return false;
            band->size += room - z.avail_out;
            if (z.avail_out != 0) return true;
            if (band->size == band->capacity) {
                const size_t larger = band->capacity * 2;
                std::unique_ptr<uint8_t[]> moved(new (std::nothrow) uint8_t[larger]);
                if (!moved) return false;
                std::memcpy(moved.get(), band->deflated.get(), band->size);
                band->deflated = std::move(moved);
                band->capacity = larger;
            }
        }
    };
    for (int y = 0; y < rows && ok; ++y) {
        subFilterRow(source(y), width, filtered.get());
        band->adler = adler32_z(band->adler, filtered.get(), rowBytes);
        band->length += rowBytes;
        z.next_in = filtered.get();
        z.avail_in = static_cast<uInt>(rowBytes);
        ok = pump(Z_NO_FLUSH);
    }
    // A band that others follow ends on a byte boundary in an unfinished stream, so that the
    // next band's deflate output can simply follow it.
    if (ok) ok = pump(last ? Z_FINISH : Z_SYNC_FLUSH);
    deflateEnd(&z);
    return ok;
}

bool writePngBands(const std::string& path, int width, int height,
                   const std::vector<PngBand>& bands, std::string* error) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        if (error) *error = path + ": " + std::strerror(errno);
        return false;
    }
    static_cast<void>(std::setvbuf(file, nullptr, _IOFBF, 1 << 20));
    ChunkFile out(file);
    static const uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    out.write(kSignature, sizeof kSignature);
    uint8_t header[13];
    putBig32(header, static_cast<uint32_t>(width));
    putBig32(header + 4, static_cast<uint32_t>(height));
    header[8] = 8;                             // bits per channel
    header[9] = 6;                             // RGBA
    header[10] = header[11] = header[12] = 0;  // deflate, adaptive filters, not interlaced
    out.chunk("IHDR", header, sizeof header);
    {
        IdatStream idat(&out);
        // zlib header: deflate with a 32 KiB window, no dictionary, fastest level.
        static const uint8_t kZlibHeader[2] = {0x78, 0x01};
        idat.add(kZlibHeader, 2);
        uLong adler = adler32(0, nullptr, 0);
        for (size_t i = 0; i < bands.size(); ++i) {
            const PngBand& band = bands[i];
            idat.add(band.deflated.get(), band.size);
            adler = i == 0 ? band.adler
                           : adler32_combine(adler, band.adler, static_cast<z_off_t>(band.length));
        }
        uint8_t check[4];
        putBig32(check, static_cast<uint32_t>(adler));
        idat.add(check, 4);
        idat.flush();
    }
    out.chunk("IEND", nullptr, 0);
    const bool written = out.ok() && std::fflush(file) == 0 && !std::ferror(file);
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        // Only a file of our own making is removed, never a device written through.
        std::error_code ignored;
        if (std::filesystem::is_regular_file(path, ignored)) std::remove(path.c_str());
        if (error) *error = path + ": " + std::strerror(written ? errno : writeError);
        return false;
    }
    return true;
}

bool writePngRows(const std::string& path, int width, int height, const PngRows& rows,
                  std::string* error) {
    if (width <= 0 || height <= 0) {
        const uint32_t clear = 0;
        return writePngRows(
            path, 1, 1, [&](int) { return &clear; }, error);
    }
    std::vector<PngBand> bands(1);
    if (!deflatePngBand(width, height, rows, true, &bands[0])) {
        if (error) *error = path + ": out of memory";
        return false;
    }
    return writePngBands(path, width, height, bands, error);
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
