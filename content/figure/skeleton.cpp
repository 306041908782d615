// The heroine's skeleton and pose maths.
#include "content/figure/skeleton.h"

#include <algorithm>

const BoneInfo kBones[kBoneCount] = {
    {"hips", -1, {0, 8.3f, 0}},
    {"waist", kHips, {0, 9.2f, 0}},
    {"chest", kWaist, {0, 10.4f, 0}},
    {"neck", kChest, {0, 11.8f, -0.05f}},
    {"head", kNeck, {0, 12.45f, 0}},
    {"arm_l", kChest, {1.22f, 11.38f, -0.1f}},
    {"elbow_l", kArmL, {1.72f, 9.5f, -0.15f}},
    {"hand_l", kElbowL, {2.02f, 7.85f, 0.0f}},
    {"arm_r", kChest, {-1.22f, 11.38f, -0.1f}},
    {"elbow_r", kArmR, {-1.72f, 9.5f, -0.15f}},
    {"hand_r", kElbowR, {-2.02f, 7.85f, 0.0f}},
    {"thigh_l", kHips, {0.6f, 7.95f, 0}},
    {"knee_l", kThighL, {0.55f, 4.3f, 0.05f}},
    {"foot_l", kKneeL, {0.5f, 0.75f, -0.1f}},
    {"thigh_r", kHips, {-0.6f, 7.95f, 0}},
    {"knee_r", kThighR, {-0.55f, 4.3f, 0.05f}},
    {"foot_r", kKneeR, {-0.5f, 0.75f, -0.1f}},
};

Matrix16 matMul(const Matrix16& a, const Matrix16& b) {
    Matrix16 r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float s = 0;
            for (int k = 0; k < 4; ++k) s += a[i * 4 + k] * b[k * 4 + j];
            r[i * 4 + j] = s;
        }
    return r;
}
Matrix16 matTranslate(V3 t) {
    Matrix16 m = identity16();
    m[12] = t.x;
    m[13] = t.y;
    m[14] = t.z;
    return m;
}
Matrix16 matRotateX(float a) {
    const float c = std::cos(a), s = std::sin(a);
    return {1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1};
}
Matrix16 matRotateY(float a) {
    const float c = std::cos(a), s = std::sin(a);
    return {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1};
}
Matrix16 matRotateZ(float a) {
    const float c = std::cos(a), s = std::sin(a);
    return {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}
V3 transformPoint(V3 p, const Matrix16& m) {
    return {p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12],
            p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13],
            p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14]};
}

std::vector<Matrix16> boneOffsets() {
    std::vector<Matrix16> offsets;
    for (const BoneInfo& b : kBones) offsets.push_back(matTranslate(b.joint * -1.0f));
    return offsets;
}

Pose blend(const Pose& a, const Pose& b, float t) {
    Pose r;
    for (int i = 0; i < kBoneCount; ++i) r.rotation[i] = lerp(a.rotation[i], b.rotation[i], t);
    r.rootOffset = lerp(a.rootOffset, b.rootOffset, t);
    return r;
}

std::vector<Matrix16> poseMatrices(const Pose& pose) {
    std::vector<Matrix16> global(kBoneCount);
    for (int i = 0; i < kBoneCount; ++i) {
        const V3 r = pose.rotation[i];
        const Matrix16 rotation = matMul(matMul(matRotateZ(r.z), matRotateX(r.x)), matRotateY(r.y));
        const int parent = kBones[i].parent;
        if (parent < 0) {
            global[i] = matMul(rotation, matTranslate(kBones[i].joint + pose.rootOffset));
        } else {
            const Matrix16 local =
                matMul(rotation, matTranslate(kBones[i].joint - kBones[parent].joint));
            global[i] = matMul(local, global[parent]);
        }
    }
    return global;
}

Influence strongest(const float* perBone) {
    int order[kBoneCount];
    for (int i = 0; i < kBoneCount; ++i) order[i] = i;
    std::stable_sort(order, order + kBoneCount,
                     [&](int a, int b) { return perBone[a] > perBone[b]; });
    Influence inf;
    float total = 0;
    for (int k = 0; k < 4; ++k) total += perBone[order[k]];
    for (int k = 0; k < 4; ++k) {
        inf.bones[k] = static_cast<uint8_t>(order[k]);
        inf.weights[k] = total > 0 ? perBone[order[k]] / total : (k == 0 ? 1.0f : 0.0f);
    }
    return inf;
}
