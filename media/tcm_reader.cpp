// The TCM camera path reader.
//
// Lines (CR-terminated, see TextLines):
//   "@TCM100"
//   heading
//   first and last frame number ("%d %d"); frames = last - first + 1, numbered from 0
//   frames lines of 7 floats: eye x y z, target x y z, value
//   "<___end___>"
// The frame count is bounded by the lines the data can still hold before anything is allocated.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "media/camera_path.h"
#include "media/text_lines.h"

int readCameraPath(CameraPath* path, const char* bytes, size_t size) {
    TextLines lines{bytes, bytes + size, cameraLineBuffer()};
    const char* line = lines.next();
    if (!line || std::strcmp(line, "@TCM100") != 0) return 1;
    if (!lines.next() || !(line = lines.next())) return 1;
    int first = 0, last = -1;
    std::sscanf(line, "%d %d", &first, &last);
    const int64_t frames = static_cast<int64_t>(last) - first + 1;
    if (frames < 1 || frames > (lines.end - lines.cursor) / 2) return 1;

    path->frameCount = static_cast<int32_t>(frames);
    path->eyes.assign(static_cast<size_t>(frames), {});
    path->targets.assign(static_cast<size_t>(frames), {});
    path->values.assign(static_cast<size_t>(frames), 0.0f);
    for (int64_t f = 0; f < frames; ++f) {
        if (!(line = lines.next())) return 1;
        auto& eye = path->eyes[f];
        auto& target = path->targets[f];
        std::sscanf(line, "%f %f %f %f %f %f %f", &eye[0], &eye[1], &eye[2], &target[0], &target[1],
                    &target[2], &path->values[f]);
    }
    line = lines.next();
    return line && std::strcmp(line, "<___end___>") == 0 ? 0 : 1;
}
