// The TCM camera path writer.
#include "tools/writers/tcm_writer.h"

#include <cstdio>

std::string writeTcm(const CameraPathData& path) {
    std::string s = "@TCM100\r\n[CAMERA]\r\n";
    const auto count = static_cast<int32_t>(path.frames.size());
    s += std::to_string(path.firstFrame) + " " + std::to_string(path.firstFrame + count - 1) +
         "\r\n";
    for (const CameraFrameData& f : path.frames) {
        char line[256];
        std::snprintf(line, sizeof line, "%.9g %.9g %.9g %.9g %.9g %.9g %.9g\r\n",
                      static_cast<double>(f.eye[0]), static_cast<double>(f.eye[1]),
                      static_cast<double>(f.eye[2]), static_cast<double>(f.target[0]),
                      static_cast<double>(f.target[1]), static_cast<double>(f.target[2]),
                      static_cast<double>(f.value));
        s += line;
    }
    s += "<___end___>\r\n";
    return s;
}
