// A loaded TMB model: its textures, materials, meshes, bone offsets and placements.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/d3dx8_math.h"
#include "platform/render_device.h"

struct Motion;

constexpr int kModelTableSize = 256;  // textures and materials per file

// One texture of a model, named as its texture record.
struct ModelTexture {
    std::unique_ptr<Texture> texture;
    std::vector<uint8_t> pixels;  // width x height x 4 bytes, only when there is no device
    int16_t width = 0, height = 0;
    int32_t serial = 0;  // from a process-wide counter, one per texture created
    std::string name;
    ModelTexture* next = nullptr;
};

// A model's own textures (never shared between models).
struct TextureList {
    RenderDevice* device = nullptr;
    ModelTexture* first = nullptr;
    ModelTexture* last = nullptr;
};

// One draw range of a mesh, as stored in the file.
struct DrawRange {
    int32_t material;
    int32_t firstVertex;  // negative: the end of the ranges
    int32_t triangleCount;
};

struct Mesh {
    char name[33] = {};  // the 32-byte name field, always terminated
    D3DXMATRIX matrix;
    int32_t triangleCount = 0;
    std::unique_ptr<VertexBuffer> vertexBuffer;
    const DrawRange* ranges = nullptr;  // inside the file block
    int32_t rangeCount = 0;             // records stored; drawing stops earlier at the terminator
    bool oneSided = false;
    Mesh* previous = nullptr;
    Mesh* next = nullptr;
};

// A named position, rotation (radians) and scale in the model's space.
struct Placement {
    const char* name;  // inside the file block
    float position[3];
    float rotation[3];
    float scale[3];
};

struct Model {
    explicit Model(RenderDevice* device = nullptr);
    ~Model();  // releases what the model owns
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    RenderDevice* device;
    char* fileBlock = nullptr;  // malloc'd; materials, ranges, offsets and names point into it
    size_t fileSize = 0;
    TextureList textures;
    std::array<ModelTexture*, kModelTableSize> materialTextures{};
    std::array<const D3DMATERIAL8*, kModelTableSize> materials{};
    int32_t materialCount = 0;
    Mesh* firstMesh = nullptr;
    Mesh* lastMesh = nullptr;
    int32_t placementCount = 0;
    std::vector<Placement> placements;
    int32_t boneCount = 0;
    const D3DMATRIX* boneOffsets = nullptr;  // boneCount matrices inside the file block
    Motion* motion = nullptr;                // shared through the motion cache, not owned
    Model* motionSource = nullptr;           // the body whose motion drives this part, not owned
    uint8_t loaded = 0;
    char name[32] = {};  // the file name, cut to 32 bytes
};

// Reads a TMB file block (malloc'd, at least 4-byte aligned, `size` bytes and a NUL after them,
// as loadFile returns it) into an empty model, which takes
// the block over: 0 on success, 1 when the block is not a well-formed TMB file (the block is
// freed and the model stays empty). `name` becomes the model's name.
int readModel(Model* model, char* block, size_t size, const char* name);
// Loads `fileName` from the add-ons; 0 or 1 as readModel.
int parseModel(Model* model, const char* fileName);
// Loads only names ending in ".tmb" (case-sensitive): -1 for any other name, else parseModel's
// result.
int loadModelFile(Model* model, const char* fileName);

// The first texture named `name`, ignoring ASCII case, or null.
ModelTexture* findTexture(const TextureList* list, const char* name);
// The texture named `name`, or a new one of that size appended to the list. A device that
// cannot create it ends the program with a message.
ModelTexture* getOrCreateTexture(TextureList* list, const char* name, int width, int height);
// The first placement named exactly `name`, or null.
const Placement* findPlacement(const Model* model, const char* name);
// Releases meshes, textures and the file block; the motion is left alone. The model is empty after.
void releaseModel(Model* model);
