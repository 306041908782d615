// Models: texture lists, placements and release.
#include "media/model.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/ascii_text.h"
#include "platform/message_box.h"

namespace {
int32_t nextTextureSerial = 0;

// "テクスチャの確保に失敗しました。\n終了します。\n\n%s\n%s" in CP932.
const char kTextureFailure[] =
    "\x83\x65\x83\x4E\x83\x58\x83\x60\x83\x83\x82\xCC\x8A\x6D\x95\xDB\x82\xC9\x8E\xB8\x94\x73\x82"
    "\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42\n\x8F\x49\x97\xB9\x82\xB5\x82\xDC\x82\xB7\x81\x42\n\n%"
    "s\n%s";

}  // namespace

Model::Model(RenderDevice* d) : device(d) {
    textures.device = d;
}

Model::~Model() {
    releaseModel(this);
}

ModelTexture* findTexture(const TextureList* list, const char* name) {
    if (!list || !name) return nullptr;
    for (ModelTexture* t = list->first; t; t = t->next)
        if (equalsIgnoringAsciiCase(t->name.c_str(), name)) return t;
    return nullptr;
}

ModelTexture* getOrCreateTexture(TextureList* list, const char* name, int width, int height) {
    if (ModelTexture* found = findTexture(list, name)) return found;
    auto* t = new ModelTexture;
    t->name = name;
    t->serial = nextTextureSerial++;
    t->width = static_cast<int16_t>(width);
    t->height = static_cast<int16_t>(height);
    if (list->last)
        list->last->next = t;
    else
        list->first = t;
    list->last = t;
    if (list->device) {
        const HRESULT hr =
            list->device->createTexture(static_cast<uint32_t>(width), static_cast<uint32_t>(height),
                                        1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t->texture);
        if (FAILED(hr)) {
            char text[512];
            std::snprintf(text, sizeof text, kTextureFailure, name, DXGetErrorString8(hr));
            fatalError(text, "TR2 System");
        }
    } else {
        t->pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
    }
    return t;
}

const Placement* findPlacement(const Model* model, const char* name) {
    if (!model || !name) return nullptr;
    for (const Placement& p : model->placements)
        if (std::strcmp(p.name, name) == 0) return &p;
    return nullptr;
}

void releaseModel(Model* model) {
    if (!model) return;
    for (Mesh* mesh = model->firstMesh; mesh;) {
        Mesh* next = mesh->next;
        delete mesh;
        mesh = next;
    }
    model->firstMesh = model->lastMesh = nullptr;
    for (ModelTexture* t = model->textures.first; t;) {
        ModelTexture* next = t->next;
        delete t;
        t = next;
    }
    model->textures.first = model->textures.last = nullptr;
    std::free(model->fileBlock);
    model->fileBlock = nullptr;
    model->fileSize = 0;
    model->materialTextures.fill(nullptr);
    model->materials.fill(nullptr);
    model->materialCount = 0;
    model->placements.clear();
    model->placementCount = 0;
    model->boneOffsets = nullptr;
    model->boneCount = 0;
    model->loaded = 0;
}
