// The heroine's skeleton: bones, forward kinematics, skin weights and motion sampling.
#pragma once

#include <string>
#include <vector>

#include "content/figure/geometry.h"
#include "tools/writers/motion_writer.h"
#include "tools/writers/tmb_writer.h"

enum Bone {
    kHips,
    kWaist,
    kChest,
    kNeck,
    kHead,
    kArmL,
    kElbowL,
    kHandL,
    kArmR,
    kElbowR,
    kHandR,
    kThighL,
    kKneeL,
    kFootL,
    kThighR,
    kKneeR,
    kFootR,
    kBoneCount
};

struct BoneInfo {
    const char* name;
    int parent;
    V3 joint;  // bind position in model space
};
extern const BoneInfo kBones[kBoneCount];

// Row-major 4x4 in the row-vector convention (translation in the last row).
Matrix16 matMul(const Matrix16& a, const Matrix16& b);
Matrix16 matTranslate(V3 t);
Matrix16 matRotateX(float a);
Matrix16 matRotateY(float a);
Matrix16 matRotateZ(float a);
V3 transformPoint(V3 p, const Matrix16& m);

// The inverse bind matrices every heroine model carries (bodies and parts alike).
std::vector<Matrix16> boneOffsets();

// One pose: per-bone rotations (radians about x, y, z, applied z, x, y) and a root offset.
struct Pose {
    V3 rotation[kBoneCount]{};
    V3 rootOffset{};
};
Pose blend(const Pose& a, const Pose& b, float t);
// Model-space bone matrices of a pose.
std::vector<Matrix16> poseMatrices(const Pose& pose);

// Up to four bone influences of a vertex.
struct Influence {
    uint8_t bones[4]{};
    float weights[4]{};
};
// Normalises accumulated per-bone weights to the four strongest.
Influence strongest(const float* perBone);
