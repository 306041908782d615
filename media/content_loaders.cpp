// The loaders by content name: each fetches the file from the add-ons and hands it to its reader.
#include <cstdlib>
#include <cstring>

#include "archive/catalogue.h"
#include "media/camera_path.h"
#include "media/model.h"
#include "media/motion.h"
#include "platform/ascii_text.h"

int parseModel(Model* model, const char* fileName) {
    size_t size = 0;
    char* block = loadFile(fileName, &size);
    if (!block) return -1;
    return readModel(model, block, size, fileName);
}

int loadModelFile(Model* model, const char* fileName) {
    if (!model || !fileName || !endsWith(fileName, ".tmb")) return -1;
    return parseModel(model, fileName);
}

int loadMotionFile(Motion* motion, const char* fileName) {
    size_t size = 0;
    char* block = loadFile(fileName, &size);
    if (!block) return -1;
    if (!endsWith(fileName, ".tss")) return readTsb(motion, block, size);
    const int result = readTss(motion, block, size);
    std::free(block);
    return result;
}

int loadCameraPath(CameraPath* path, const char* fileName) {
    size_t size = 0;
    char* block = loadFile(fileName, &size);
    if (!block) return -1;
    const int result = readCameraPath(path, block, size);
    std::free(block);
    return result;
}
