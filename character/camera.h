// The camera: the default view, played paths placed by a stage locator, mouse orbit, pan and
// dolly within their limits, and the glide to the close-up presets.
#pragma once

#include <cstdint>
#include <memory>

#include "media/camera_path.h"
#include "platform/d3dx8_math.h"

struct Model;

// How far the target may wander from the origin, and the eye from the target.
constexpr float kCameraTargetLimit = 80.0f;
constexpr float kCameraEyeLimit = 75.0f;
// Longest elevation an orbit reaches: 89 degrees.
constexpr float kCameraMaxPitch = 1.5533429f;
constexpr int kCameraLocatorNameSize = 256;  // 255 bytes and a NUL
constexpr int kCameraPresetCount = 16;

struct CameraAnchor {
    float x = 0, y = 0, z = 0;
    int32_t value = 0;
};

struct CameraControl {
    std::unique_ptr<CameraPath> path;  // none when null
    float pathTime = 0;                // in path frames
    bool holdAtEnd = false;
    char locatorName[kCameraLocatorNameSize] = {};
    bool hasLocator = false;  // a COPY of the stage placement, never a pointer into a model
    float locatorPosition[3] = {};
    float locatorRotationY = 0;
    bool locked = false, busy = false;
    CameraAnchor anchors[2];
};

// All of these act on the camera state of graphicsDevice() (eye, target, up, shift) and rebuild
// the view; without a device they leave the camera alone.

// Drops the current path; with a name loads that path (played from time 0), without one (null
// or "") returns to the default view. The projection shift becomes (0, 0) either way.
void setCameraPath(CameraControl& camera, const char* name, bool holdAtEnd);
// Stores `name` (null means "", at most 255 bytes kept) and copies the placement of that name
// from `stageModel` (which may be null); none when there is no such placement.
void setCameraLocator(CameraControl& camera, const char* name, const Model* stageModel);
// Advances the path by `elapsedMs` (one path frame per 32 ms) and moves the camera to the
// frame reached. A held path stays on its last frame; a path of no frames never moves it.
void playCameraPath(CameraControl& camera, float elapsedMs);

// Mouse movement in pixels: orbit a third of a degree per pixel, elevation within 89 degrees.
void orbitCamera(int dx, int dy);
// Sideways by dx / 60 and up by dy x 0.025, eye and target together.
void panCamera(int dx, int dy);
// Towards the target by dy x 0.05; dx is not used.
void dollyCamera(int dx, int dy);
// Pulls the target back onto the sphere of kCameraTargetLimit about the origin, then the eye to
// within kCameraEyeLimit of the target.
void limitCamera(D3DXVECTOR3& target, D3DXVECTOR3& eye);

// The close-up views, indexed by item window number: eye then target.
struct CameraPreset {
    D3DXVECTOR3 eye, target;
};
extern const CameraPreset kCameraPresets[kCameraPresetCount];

struct CameraGlide {
    D3DXVECTOR3 eye{}, target{};
    bool gliding = false;
};
// Aims the glide at preset `index` (0 to 15; others are ignored) and marks the camera busy.
void startCameraGlide(CameraControl& camera, CameraGlide& glide, int index);
// Moves eye and target a fifth of the way to the preset. True when both were already within
// 0.05 of it: the camera is no longer busy and the glide no longer gliding.
bool glideCameraStep(CameraControl& camera, CameraGlide& glide);
