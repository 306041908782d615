// Model and character instances: their matrices, drawing, bodies, parts and motions.
#include "media/model_instance.h"

#include <cstring>

#include "gfx/graphics_device.h"
#include "media/model_drawing.h"
#include "media/motion.h"
#include "platform/ascii_text.h"

namespace {
RenderDevice* currentDevice() {
    return graphicsDevice() ? graphicsDevice()->device() : nullptr;
}

void releaseAndFree(Model* model) {
    if (!model) return;
    releaseModel(model);
    delete model;
}

bool isNilName(const char* name) {
    return name && equalsIgnoringAsciiCase(std::string_view(name).substr(0, 4), "nil.");
}

Model* newLoadedModel(const char* fileName) {
    auto* model = new Model(currentDevice());
    loadModelFile(model, fileName);
    return model;
}

void setDrawStates(RenderDevice* d, uint8_t lighting) {
    if (!d) return;
    d->setRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    d->setRenderState(D3DRS_LIGHTING, lighting);
}
}  // namespace

ModelInstance::ModelInstance() = default;

ModelInstance::~ModelInstance() {
    releaseAndFree(body);
}

void ModelInstance::update(float seconds) {
    time += seconds;
}

void ModelInstance::draw() {
    if (!body || !visible) return;
    setDrawStates(body->device, lighting);
    drawModel(body, worldMatrix(this), motionFrame(this), true);
}

CharacterInstance::CharacterInstance() {
    lighting = 1;
}

CharacterInstance::~CharacterInstance() {
    for (Model*& part : parts) {
        releaseAndFree(part);
        part = nullptr;
    }
}

void CharacterInstance::draw() {
    if (!visible) return;
    ModelInstance::draw();
    RenderDevice* d = body ? body->device : currentDevice();
    setDrawStates(d, lighting);
    const D3DXMATRIX world = worldMatrix(this);
    for (Model* part : parts)
        if (part) drawModel(part, world, motionFrame(this), false);
}

void loadBody(ModelInstance* instance, const char* fileName) {
    releaseAndFree(instance->body);  // only ever called without a body; never leak one
    instance->body = newLoadedModel(fileName);
}

void setMotion(ModelInstance* instance, const char* motionName) {
    if (instance && instance->body) setModelMotion(instance->body, motionName);
}

int setPart(CharacterInstance* character, int index, const char* fileName) {
    if (!character || index < 0 || index >= kCharacterParts) return index;
    if (index > 0) {
        releaseAndFree(character->parts[index]);
        character->parts[index] = nullptr;
        if (isNilName(fileName)) return index;
        Model* part = newLoadedModel(fileName);
        part->motionSource = character->body;
        character->parts[index] = part;
        return index;
    }
    if (isNilName(fileName)) return 0;
    Motion* motion = character->body ? character->body->motion : nullptr;
    releaseAndFree(character->body);
    character->body = newLoadedModel(fileName);
    character->body->motion = motion;
    for (int i = 1; i < kCharacterParts; ++i)
        if (character->parts[i]) character->parts[i]->motionSource = character->body;
    return 0;
}

void applyPlacement(ModelInstance* instance, const Placement* placement) {
    if (!placement) {
        std::memset(instance->position, 0, sizeof instance->position);
        std::memset(instance->rotation, 0, sizeof instance->rotation);
        for (float& s : instance->scale) s = 1;
        return;
    }
    instance->placementName = placement->name;
    std::memcpy(instance->position, placement->position, sizeof instance->position);
    std::memcpy(instance->rotation, placement->rotation, sizeof instance->rotation);
    std::memcpy(instance->scale, placement->scale, sizeof instance->scale);
}

D3DXMATRIX worldMatrix(const ModelInstance* instance) {
    D3DXMATRIX r, t, s;
    D3DXMatrixRotationY(&r, instance->rotation[1]);
    D3DXMatrixTranslation(&t, instance->position[0], instance->position[1], instance->position[2]);
    D3DXMatrixScaling(&s, instance->scale[0], instance->scale[1], instance->scale[2]);
    D3DXMatrixMultiply(&r, &r, &t);
    D3DXMatrixMultiply(&r, &r, &s);
    return r;
}

D3DXMATRIX attachmentMatrix(const ModelInstance* instance, float x, float y, float z, float s) {
    D3DXMATRIX scaling, offset;
    D3DXMatrixScaling(&scaling, s, s, s);
    D3DXMatrixTranslation(&offset, x, y, z);
    const D3DXMATRIX world = worldMatrix(instance);
    D3DXMatrixMultiply(&scaling, &scaling, &offset);
    D3DXMatrixMultiply(&scaling, &scaling, &world);
    return scaling;
}

float motionFrame(const ModelInstance* instance) {
    return instance->time * static_cast<float>(kMotionFramesPerSecond);
}
