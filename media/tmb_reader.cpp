// The TMB model reader.
//
// Layout (little-endian; int32 unless noted; sections follow each other without padding):
//   "TMB0"
//   T, then T texture records: name[32] (NUL-padded), int16 width, int16 height,
//      width x height x 4 bytes of pixels (B, G, R, A), rows top to bottom
//   M, then M materials of 72 bytes: D3DMATERIAL8 (diffuse, ambient, specular, emissive as
//      four floats each, float power) and int32 texture record number
//   N, then N meshes: name[32], matrix (16 floats), triangle count C, cull flag, range count R,
//      R ranges (material, first vertex, triangle count), 3C vertices of 52 bytes (format 0x115C)
//   B, then B bone offset matrices (16 floats)
//   P, then P placements of 40 bytes (reserved, position, rotation, scale: 3 floats each),
//      then P NUL-terminated names
// Everything is checked against the block before anything is built, so that a refused file
// leaves the model as it was. The block includes the NUL the loader puts after the file, so
// the last placement name may end on it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "archive/byte_cursor.h"
#include "media/model.h"
#include "platform/message_box.h"

namespace {
constexpr uint32_t kVertexSize = 52;
constexpr uint32_t kTriangleSize = 3 * kVertexSize;
constexpr size_t kTextureHeader = 36;
constexpr size_t kMaterialSize = 72;
constexpr size_t kRangeSize = 12;
constexpr size_t kMatrixSize = 64;
constexpr size_t kPlacementSize = 40;

// "VertexBufferの確保に失敗しました。\n終了します。\n\n%s\n%s" in CP932.
const char kVertexBufferFailure[] =
    "VertexBuffer\x82\xCC\x8A\x6D\x95\xDB\x82\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC\x82\xB5\x82\xBD"
    "\x81\x42\n\x8F\x49\x97\xB9\x82\xB5\x82\xDC\x82\xB7\x81\x42\n\n%s\n%s";

struct TextureRecord {
    size_t at;
    int16_t width, height;
};

struct MeshRecord {
    size_t at;
    int32_t triangles, cullFlag, rangeCount;
    size_t rangesAt, verticesAt;
};

struct TmbLayout {
    std::vector<TextureRecord> textures;
    size_t materialsAt = 0;
    int32_t materialCount = 0;
    std::vector<MeshRecord> meshes;
    size_t bonesAt = 0;
    int32_t boneCount = 0;
    size_t placementsAt = 0;
    std::vector<const char*> placementNames;
};

bool inRange(int32_t v, int32_t low, int32_t high) {
    return v >= low && v <= high;
}

// Walks the whole file, checking every count and size against the block.
bool walkTmb(const uint8_t* data, size_t size, TmbLayout* layout) {
    ByteCursor c(data, size);
    if (!c.skip(4)) return false;
    int32_t textures = 0;
    if (!c.get(&textures) || !inRange(textures, 0, kModelTableSize)) return false;
    for (int32_t i = 0; i < textures; ++i) {
        TextureRecord r{c.at(), 0, 0};
        if (!c.skip(32) || !c.get(&r.width) || !c.get(&r.height)) return false;
        if (r.width < 1 || r.height < 1) return false;
        if (!c.skipItems(uint64_t(r.width) * uint64_t(r.height), 4)) return false;
        layout->textures.push_back(r);
    }
    if (!c.get(&layout->materialCount) || !inRange(layout->materialCount, 0, kModelTableSize))
        return false;
    layout->materialsAt = c.at();
    if (!c.skipItems(uint64_t(layout->materialCount), kMaterialSize)) return false;

    int32_t meshes = 0;
    if (!c.get(&meshes) || meshes < 0) return false;
    for (int32_t i = 0; i < meshes; ++i) {
        MeshRecord m{c.at(), 0, 0, 0, 0, 0};
        if (!c.skip(96) || !c.get(&m.triangles) || !c.get(&m.cullFlag) || !c.get(&m.rangeCount))
            return false;
        if (m.triangles < 1 || m.rangeCount < 0) return false;
        m.rangesAt = c.at();
        if (!c.skipItems(uint64_t(m.rangeCount), kRangeSize)) return false;
        m.verticesAt = c.at();
        if (!c.skipItems(uint64_t(m.triangles), kTriangleSize)) return false;
        layout->meshes.push_back(m);
    }
    if (!c.get(&layout->boneCount) || !inRange(layout->boneCount, 0, kModelTableSize)) return false;
    layout->bonesAt = c.at();
    if (!c.skipItems(uint64_t(layout->boneCount), kMatrixSize)) return false;

    int32_t placements = 0;
    if (!c.get(&placements) || placements < 0) return false;
    layout->placementsAt = c.at();
    if (!c.skipItems(uint64_t(placements), kPlacementSize)) return false;
    for (int32_t i = 0; i < placements; ++i) {
        const char* name = nullptr;
        if (!c.cString(&name)) return false;
        layout->placementNames.push_back(name);
    }
    return true;
}

int32_t int32At(const uint8_t* p) {
    int32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void loadTextures(Model* model, const uint8_t* data, const TmbLayout& layout,
                  std::vector<std::string>* names) {
    for (const TextureRecord& r : layout.textures) {
        char name[33] = {};
        std::memcpy(name, data + r.at, 32);
        names->push_back(name);
        if (findTexture(&model->textures, name))
            continue;  // a repeated name keeps the first pixels
        ModelTexture* t = getOrCreateTexture(&model->textures, name, r.width, r.height);
        const uint8_t* pixels = data + r.at + kTextureHeader;
        const size_t rowBytes = static_cast<size_t>(r.width) * 4;
        if (t->texture) {
            D3DLOCKED_RECT locked;
            if (SUCCEEDED(t->texture->lockRect(0, &locked, nullptr, 0))) {
                for (int y = 0; y < r.height; ++y)
                    std::memcpy(
                        static_cast<uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch,
                        pixels + y * rowBytes, rowBytes);
                t->texture->unlockRect(0);
                t->texture->addDirtyRect(nullptr);
            }
        } else {
            std::memcpy(t->pixels.data(), pixels, rowBytes * static_cast<size_t>(r.height));
        }
    }
}

void loadMeshes(Model* model, const uint8_t* data, const TmbLayout& layout) {
    for (const MeshRecord& r : layout.meshes) {
        auto* mesh = new Mesh;
        mesh->previous = model->lastMesh;
        if (model->lastMesh)
            model->lastMesh->next = mesh;
        else
            model->firstMesh = mesh;
        model->lastMesh = mesh;
        std::memcpy(mesh->name, data + r.at, 32);
        std::memcpy(&mesh->matrix, data + r.at + 32, kMatrixSize);
        mesh->triangleCount = r.triangles;
        mesh->oneSided = r.cullFlag != 0;
        mesh->ranges = reinterpret_cast<const DrawRange*>(data + r.rangesAt);
        mesh->rangeCount = r.rangeCount;
        const uint32_t bytes = static_cast<uint32_t>(r.triangles) * kTriangleSize;
        if (!model->device) continue;
        const HRESULT hr = model->device->createVertexBuffer(bytes, 0, kModelVertexFormat,
                                                             D3DPOOL_MANAGED, &mesh->vertexBuffer);
        if (FAILED(hr)) {
            char text[512];
            std::snprintf(text, sizeof text, kVertexBufferFailure, mesh->name,
                          DXGetErrorString8(hr));
            fatalError(text, "TR2 System");
        }
        uint8_t* target = nullptr;
        if (SUCCEEDED(mesh->vertexBuffer->lock(0, 0, &target, 0))) {
            std::memcpy(target, data + r.verticesAt, bytes);
            mesh->vertexBuffer->unlock();
        }
    }
}
}  // namespace

int readModel(Model* model, char* block, size_t size, const char* name) {
    const auto* data = reinterpret_cast<const uint8_t*>(block);
    TmbLayout layout;
    // Materials, ranges and offsets are used in place, so the block must be float-aligned.
    if (!block || size < 4 || std::memcmp(block, "TMB0", 4) != 0 ||
        reinterpret_cast<uintptr_t>(block) % alignof(float) != 0 ||
        !walkTmb(data, size + 1, &layout)) {
        std::free(block);
        return 1;
    }
    releaseModel(model);
    model->fileBlock = block;
    model->fileSize = size;

    std::vector<std::string> textureNames;
    loadTextures(model, data, layout, &textureNames);
    model->materialCount = layout.materialCount;
    for (int32_t i = 0; i < layout.materialCount; ++i) {
        const uint8_t* record = data + layout.materialsAt + static_cast<size_t>(i) * kMaterialSize;
        model->materials[i] = reinterpret_cast<const D3DMATERIAL8*>(record);
        const int32_t texture = int32At(record + 68);
        model->materialTextures[i] =
            texture >= 0 && static_cast<size_t>(texture) < textureNames.size()
                ? findTexture(&model->textures, textureNames[texture].c_str())
                : nullptr;
    }
    loadMeshes(model, data, layout);
    model->boneCount = layout.boneCount;
    model->boneOffsets = reinterpret_cast<const D3DMATRIX*>(data + layout.bonesAt);

    model->placementCount = static_cast<int32_t>(layout.placementNames.size());
    model->placements.resize(layout.placementNames.size());
    for (size_t i = 0; i < layout.placementNames.size(); ++i) {
        Placement& p = model->placements[i];
        const uint8_t* record = data + layout.placementsAt + i * kPlacementSize;
        p.name = layout.placementNames[i];
        std::memcpy(p.position, record + 4, sizeof p.position);
        std::memcpy(p.rotation, record + 16, sizeof p.rotation);
        std::memcpy(p.scale, record + 28, sizeof p.scale);
    }
    std::strncpy(model->name, name ? name : "", sizeof model->name);
    model->loaded = 1;
    return 0;
}
