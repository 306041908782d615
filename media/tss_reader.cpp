// The TSS motion reader.
//
// Lines (CR-terminated, see TextLines; "%d" and "%f" fields separated by blanks):
//   "@TSS100"
//   heading
//   bone count, then one name line per bone (skipped)
//   heading
//   first and last frame number ("%d %d"); frames = last - first + 1, numbered from 0
//   frames x bones lines of 16 floats, frame-major: one row-major bone matrix each
//   "<___end___>"                      : no locators, loop start 0, done
//   | "[LOCATORS]", locator count, one line per locator (first word = name, at most 255
//     characters), two headings, frames x locators lines of 9 floats, frame-major
//   | any other line                   : no locators
//   then "<___end___>" (loop start 0) or a heading followed by the loop start ("%d").
// Counts are bounded by the lines the data can still hold before anything is allocated.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "media/motion.h"
#include "media/text_lines.h"

namespace {
constexpr const char* kEnd = "<___end___>";

// Each remaining line takes at least two bytes (one character and its carriage return).
bool fits(const TextLines& lines, int64_t count) {
    return count >= 0 && count <= static_cast<int64_t>((lines.end - lines.cursor) / 2);
}

bool readLocators(Motion* motion, TextLines& lines) {
    const char* line = lines.next();
    if (!line) return false;
    int count = 0;
    std::sscanf(line, "%d", &count);
    if (!fits(lines, static_cast<int64_t>(count) * motion->frameCount)) return false;
    motion->nameStorage.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        if (!(line = lines.next())) return false;
        char name[256] = {};
        std::sscanf(line, "%255s", name);
        motion->nameStorage.emplace_back(name);
    }
    motion->locatorCount = count;
    for (const std::string& name : motion->nameStorage)
        motion->locatorNames.push_back(name.c_str());
    if (!lines.next() || !lines.next()) return false;
    motion->valueStorage.assign(
        static_cast<size_t>(count) * static_cast<size_t>(motion->frameCount) * 9, 0.0f);
    motion->locatorValues = motion->valueStorage.data();
    for (size_t record = 0; record < motion->valueStorage.size() / 9; ++record) {
        if (!(line = lines.next())) return false;
        float* v = motion->valueStorage.data() + record * 9;
        std::sscanf(line, "%f %f %f %f %f %f %f %f %f", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5],
                    &v[6], &v[7], &v[8]);
    }
    return true;
}
}  // namespace

int readTss(Motion* motion, const char* bytes, size_t size) {
    TextLines lines{bytes, bytes + size, motionLineBuffer()};
    const char* line = lines.next();
    if (!line || std::strcmp(line, "@TSS100") != 0) return 1;

    int bones = 0;
    if (!lines.next() || !(line = lines.next())) return 1;
    std::sscanf(line, "%d", &bones);
    if (!fits(lines, bones)) return 1;
    for (int i = 0; i < bones; ++i)
        if (!lines.next()) return 1;
    int first = 0, last = -1;
    if (!lines.next() || !(line = lines.next())) return 1;
    std::sscanf(line, "%d %d", &first, &last);
    const int64_t frames = static_cast<int64_t>(last) - first + 1;
    if (frames < 1 || frames > INT32_MAX || !fits(lines, frames * bones)) return 1;

    motion->boneCount = bones;
    motion->frameCount = static_cast<int32_t>(frames);
    motion->matrixStorage.assign(static_cast<size_t>(frames * bones), D3DMATRIX{});
    motion->boneMatrices = bones > 0 ? motion->matrixStorage.data() : nullptr;
    for (D3DMATRIX& m : motion->matrixStorage) {
        if (!(line = lines.next())) return 1;
        float f[16] = {};  // values missing from the line stay 0
        std::sscanf(line, "%f %f %f %f %f %f %f %f %f %f %f %f %f %f %f %f", &f[0], &f[1], &f[2],
                    &f[3], &f[4], &f[5], &f[6], &f[7], &f[8], &f[9], &f[10], &f[11], &f[12], &f[13],
                    &f[14], &f[15]);
        std::memcpy(&m, f, sizeof f);
    }

    if (!(line = lines.next())) return 1;
    if (std::strcmp(line, kEnd) == 0) return 0;
    if (std::strcmp(line, "[LOCATORS]") == 0 && !readLocators(motion, lines)) return 1;
    if (!(line = lines.next())) return 1;
    if (std::strcmp(line, kEnd) == 0) return 0;
    if (!(line = lines.next())) return 1;
    std::sscanf(line, "%d", &motion->loopStart);
    return 0;
}
