// Scene objects that place models: a stage model instance and a figure with costume parts.
#pragma once

#include <array>
#include <cstdint>

#include "app/tracked_object.h"
#include "media/model.h"

constexpr int kCharacterParts = 32;

class ModelInstance : public TrackedObject {
public:
    ModelInstance();
    ~ModelInstance() override;  // releases the body
    virtual void draw();
    // Advances the motion clock.
    virtual void update(float seconds);

    const char* placementName = nullptr;  // of the placement last applied, not owned
    float position[3] = {0, 0, 0};
    float rotation[3] = {0, 0, 0};  // radians; only y turns the model
    float scale[3] = {1, 1, 1};
    uint8_t lighting = 0;  // the device's lighting switch while this instance draws
    uint8_t visible = 1;
    float time = 0;  // seconds of motion played
    Model* body = nullptr;
};

class CharacterInstance : public ModelInstance {
public:
    CharacterInstance();
    ~CharacterInstance() override;  // releases the parts
    void draw() override;

    std::array<Model*, kCharacterParts> parts{};  // slot 0 stays empty: index 0 is the body
    uint32_t locatorMask = 0;                     // bit i set: locatorValues[i] holds a value
    float locatorValues[kCharacterParts];
};

// Creates and loads the body of an instance that has none yet.
void loadBody(ModelInstance* instance, const char* fileName);
// Sets the body's motion (nothing without a body).
void setMotion(ModelInstance* instance, const char* motionName);
// Replaces the body (index 0) or the part in slot `index` (1 to 31); names starting with "nil."
// in any case clear a slot and leave the body. Returns `index`.
int setPart(CharacterInstance* character, int index, const char* fileName);
// Copies a placement's name, position, rotation and scale; null resets position, rotation and
// scale.
void applyPlacement(ModelInstance* instance, const Placement* placement);
// Rotation about y, then translation, then scale.
D3DXMATRIX worldMatrix(const ModelInstance* instance);
// Something fixed to the instance at a model-space offset, scaled uniformly by `s`.
D3DXMATRIX attachmentMatrix(const ModelInstance* instance, float x, float y, float z, float s);
// The motion position for drawing and locators: time x 45.
float motionFrame(const ModelInstance* instance);
