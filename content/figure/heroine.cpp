// The heroine: two bodies, three eye colours, three hairstyles and her four motions.
#include "content/figure/heroine.h"

#include <fstream>

#include "content/figure/builder.h"

void Output::writeBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream f(folder / name, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}
void Output::writeModel(const std::string& name, const TmbModel& model) {
    writeBytes(name, writeTmb(model));
}
void Output::writeText(const std::string& name, const std::string& text) {
    std::ofstream f(folder / name, std::ios::binary);
    f << text;
}

namespace {
const V3 kLo{-2.7f, -0.1f, -1.4f}, kHi{2.7f, 14.8f, 1.5f};

// The front of the face: painted with the face sheet by a projection along z.
bool onFace(V3 c, V3 n) {
    return c.y > 12.1f && c.y < 14.3f && c.z > 0.05f && n.z > 0.15f && std::fabs(c.x) < 1.1f &&
           c.y > 11.9f + 0.0f && bodyFieldOf(c, {kHead}) < 0.05f;
}

std::vector<uint8_t> bodyModel(Rgb skin, Rgb brows, double blush, bool freckles) {
    ModelBuilder b(true);
    const int skinMaterial = b.material(solidTexture("skin", skin), 0.6f);
    const int faceMaterial = b.material(faceTexture("face", skin, brows, blush, freckles), 0.6f);
    Mesh mesh = meshField(bodyField, kLo, kHi, 0.1f);
    decimateMesh(&mesh, 0.35f, 0.012f, bodyField);
    SurfaceStyle style;
    style.material = [&](V3 c, V3 n) { return onFace(c, n) ? faceMaterial : skinMaterial; };
    style.uv = [](V3 p, V3) {
        return std::array<float, 2>{(p.x + 1.1f) / 2.2f, (14.3f - p.y) / 2.2f};
    };
    style.skin = bodySkin;
    b.add(buildMesh("body", mesh, style));
    return writeTmb(b.model);
}

// A sheet over the eye region, laid onto the face just in front of it.
std::vector<uint8_t> eyeModel(Rgb iris) {
    ModelBuilder b(true);
    const int m = b.material(eyeTexture("eye", iris), 0.75f);
    Mesh mesh;
    const int nx = 24, ny = 12;
    for (int j = 0; j <= ny; ++j)
        for (int i = 0; i <= nx; ++i) {
            V3 p{-0.8f + 1.6f * i / nx, 13.8f - 0.8f * j / ny, 1.6f};
            // March along -z onto the head.
            for (int step = 0; step < 80; ++step) {
                const float d = headField(p);
                if (d < 0.002f) break;
                p.z -= std::max(d, 0.002f);
            }
            const V3 n = normalize(fieldGradient(headField, p));
            mesh.positions.push_back(p + n * 0.012f);
            mesh.normals.push_back(n);
        }
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            const uint32_t a = j * (nx + 1) + i, c = a + nx + 2;
            mesh.triangles.push_back({a, a + nx + 1, c});
            mesh.triangles.push_back({a, c, a + 1});
        }
    SurfaceStyle style;
    style.material = [m](V3, V3) { return m; };
    style.uv = [](V3 p, V3) {
        return std::array<float, 2>{(p.x + 0.8f) / 1.6f, (13.8f - p.y) / 0.8f};
    };
    style.skin = [](V3) { return rigid(kHead); };
    b.add(buildMesh("eyes", mesh, style));
    return writeTmb(b.model);
}

// Hair: a cap over the skull that leaves the face free, bangs, and the style's own locks.
float hairCap(V3 p) {
    float d = sdEllipsoid(p, {0, 13.45f, -0.05f}, {1.19f, 1.3f, 1.22f});
    d = smin(d, sdEllipsoid(p, {0, 12.95f, -0.25f}, {1.2f, 0.75f, 1.05f}), 0.3f);
    // Keep the face free: cut a rounded box in front, below the hairline.
    const float face = std::max({0.12f - p.z, p.y - 13.78f, std::fabs(p.x) - 0.9f});
    d = std::max(d, -face);
    for (int i = 0; i < 5; ++i) {
        const float x = -0.72f + 0.36f * i;
        const float len = (i % 2) ? 0.5f : 0.42f;
        d = smin(d,
                 sdCapsule(p, {x * 0.9f, 14.0f, 0.55f},
                           {x, 14.0f - len, 1.05f - 0.15f * std::fabs(x)}, 0.2f, 0.06f),
                 0.12f);
    }
    return d;
}

float hairStyle(V3 p, int style) {
    float d = hairCap(p);
    if (style == 1) {  // a bob: fuller sides ending at the chin
        d = smin(d, sdEllipsoid(p, {0, 12.7f, -0.3f}, {1.3f, 0.75f, 1.0f}), 0.25f);
        for (float s : {-1.0f, 1.0f})
            d = smin(
                d, sdCapsule(p, {s * 1.0f, 13.4f, 0.35f}, {s * 0.92f, 12.35f, 0.45f}, 0.24f, 0.12f),
                0.15f);
        d = std::max(d, 12.15f - p.y);
        d = std::max(d, -std::max({0.12f - p.z, p.y - 13.78f, std::fabs(p.x) - 0.9f}));
    } else if (style == 2) {  // twin tails
        for (float s : {-1.0f, 1.0f}) {
            d = smin(d, sdEllipsoid(p, {s * 1.12f, 13.95f, -0.35f}, {0.32f, 0.3f, 0.3f}), 0.15f);
            d = smin(
                d, sdCapsule(p, {s * 1.3f, 13.8f, -0.45f}, {s * 1.75f, 11.8f, -0.55f}, 0.36f, 0.3f),
                0.2f);
            d = smin(
                d, sdCapsule(p, {s * 1.75f, 11.8f, -0.55f}, {s * 1.6f, 9.6f, -0.45f}, 0.3f, 0.08f),
                0.2f);
            d = smin(d,
                     sdCapsule(p, {s * 0.98f, 13.4f, 0.35f}, {s * 0.9f, 12.5f, 0.5f}, 0.18f, 0.08f),
                     0.1f);
        }
    } else {  // a high ponytail with side locks
        d = smin(d, sdEllipsoid(p, {0, 14.2f, -1.0f}, {0.32f, 0.32f, 0.3f}), 0.15f);
        d = smin(d, sdCapsule(p, {0, 14.2f, -1.15f}, {0, 12.6f, -1.6f}, 0.42f, 0.34f), 0.25f);
        d = smin(d, sdCapsule(p, {0, 12.6f, -1.6f}, {0.1f, 10.6f, -1.35f}, 0.34f, 0.07f), 0.2f);
        for (float s : {-1.0f, 1.0f})
            d = smin(d,
                     sdCapsule(p, {s * 0.98f, 13.5f, 0.35f}, {s * 0.9f, 12.2f, 0.52f}, 0.2f, 0.07f),
                     0.1f);
    }
    return d;
}

std::vector<uint8_t> hairModel(int style, Rgb colour, Rgb ribbon) {
    ModelBuilder b(true);
    const int hairMaterial = b.material(hairTexture("hair", colour), 0.55f, 0.25f, 18);
    const int tie = b.material(solidTexture("tie", ribbon), 0.55f);
    auto field = [style](V3 p) { return hairStyle(p, style); };
    Mesh mesh = meshField(field, {-2.3f, 9.0f, -2.3f}, {2.3f, 15.0f, 1.6f}, 0.09f);
    decimateMesh(&mesh, 0.35f, 0.012f, field);
    SurfaceStyle s;
    s.uv = [](V3 p, V3) {
        return std::array<float, 2>{(std::atan2(p.x, p.z) / 6.2831853f + 0.5f) * 6,
                                    (15.0f - p.y) / 6};
    };
    s.wrapU = 6;
    s.material = [hairMaterial](V3, V3) { return hairMaterial; };
    s.skin = [](V3) { return rigid(kHead); };
    b.add(buildMesh("hair", mesh, s));
    // Hair ties where the locks meet the head.
    Mesh ties;
    if (style == 2)
        ties = meshField(
            [](V3 p) {
                return std::min(
                    sdTorus(p, {1.36f, 13.5f, -0.46f}, {0.22f, -1, -0.05f}, 0.36f, 0.1f),
                    sdTorus(p, {-1.36f, 13.5f, -0.46f}, {-0.22f, -1, -0.05f}, 0.36f, 0.1f));
            },
            {-1.8f, 13.2f, -1.0f}, {1.8f, 14.4f, 0.1f}, 0.04f);
    else if (style == 3)
        ties = meshField(
            [](V3 p) {
                return sdTorus(p, {0, 13.9f, -1.24f}, {0, -0.96f, -0.27f}, 0.41f, 0.1f);
            },
            {-0.7f, 13.3f, -1.9f}, {0.7f, 14.7f, -0.6f}, 0.04f);
    if (!ties.triangles.empty()) {
        SurfaceStyle t;
        t.material = [tie](V3, V3) { return tie; };
        t.skin = [](V3) { return rigid(kHead); };
        b.add(buildMesh("tie", ties, t));
    }
    return writeTmb(b.model);
}

// The pose of the idle cycle at phase t (0..1): breathing and a slow sway.
Pose idlePose(float t) {
    const float w = 2 * static_cast<float>(M_PI) * t;
    Pose p;
    p.rotation[kChest].x = -0.015f * std::sin(w * 2);
    p.rotation[kHips].z = 0.025f * std::sin(w);
    p.rotation[kWaist].z = -0.018f * std::sin(w);
    p.rotation[kChest].z = -0.012f * std::sin(w);
    p.rotation[kHead].z = 0.05f * std::sin(w + 0.6f);
    p.rotation[kHead].y = 0.06f * std::sin(w * 1 + 1.5f);
    p.rotation[kNeck].x = 0.03f;
    for (int side = 0; side < 2; ++side) {
        const float s = side ? -1.0f : 1.0f;
        p.rotation[side ? kArmR : kArmL].z = s * (0.06f + 0.015f * std::sin(w * 2));
        p.rotation[side ? kElbowR : kElbowL].x = -0.12f;
        p.rotation[side ? kThighR : kThighL].z = -0.02f * std::sin(w);
        p.rotation[side ? kKneeR : kKneeL].z = 0.02f * std::sin(w);
    }
    p.rootOffset.y = 0.015f * std::sin(w * 2);
    return p;
}

float ease(float t) {
    t = clampf(t, 0, 1);
    return t * t * (3 - 2 * t);
}

// Cheeks: the mask locators follow the head.
const V3 kCheeks[2] = {{0.55f, 12.98f, 0.82f}, {-0.55f, 12.98f, 0.82f}};

MotionData sampleMotion(int frames, int loopStart, const std::function<Pose(int frame)>& pose) {
    MotionData m;
    m.boneCount = kBoneCount;
    m.frameCount = frames;
    m.loopStart = loopStart;
    for (int b = 0; b < kBoneCount; ++b) m.boneNames.push_back(kBones[b].name);
    m.locatorNames = {"loc_mask00", "loc_mask01"};
    for (int f = 0; f < frames; ++f) {
        const std::vector<Matrix16> global = poseMatrices(pose(f));
        for (const Matrix16& g : global) m.matrices.push_back(g);
        const Matrix16 head = matMul(boneOffsets()[kHead], global[kHead]);
        for (const V3& c : kCheeks) {
            const V3 w = transformPoint(c, head);
            m.locatorValues.push_back({w.x, w.y, w.z, 0, 0, 0, 1, 1, 1});
        }
    }
    return m;
}

constexpr int kIdle = 180;  // frames of one idle cycle (4 seconds)

// An action of `frames` frames followed by one idle cycle that then loops.
MotionData actionMotion(int frames, const std::function<Pose(int frame)>& action) {
    return sampleMotion(frames + kIdle, frames, [&](int f) {
        return f < frames ? action(f) : idlePose(static_cast<float>(f - frames) / kIdle);
    });
}

void buildMotions(Output* out) {
    out->writeBytes("idle.tsb", writeTsb(sampleMotion(kIdle, 0, [](int f) {
                        return idlePose(static_cast<float>(f) / kIdle);
                    })));
    // Greeting: the right hand rises and waves three times, then comes down.
    out->writeBytes("greet.tsb", writeTsb(actionMotion(130, [](int f) {
                        const Pose rest = idlePose(0);
                        Pose up = rest;
                        up.rotation[kArmR] = {0.1f, 0, -1.75f};
                        up.rotation[kElbowR] = {0, 0, -1.0f};
                        up.rotation[kHead] = {0.05f, -0.1f, -0.12f};
                        up.rotation[kChest].z = 0.04f;
                        const float t = f / 45.0f;
                        if (t < 0.5f) return blend(rest, up, ease(t / 0.5f));
                        if (t < 2.4f) {
                            Pose p = up;
                            p.rotation[kElbowR].z =
                                -1.0f +
                                0.32f * std::sin((t - 0.5f) * 2 * static_cast<float>(M_PI) * 1.6f);
                            return p;
                        }
                        return blend(up, rest, ease((t - 2.4f) / 0.49f));
                    })));
    // Bow: hands together in front, a bend from the waist, a pause, and up again.
    out->writeBytes("bow.tsb", writeTsb(actionMotion(110, [](int f) {
                        const Pose rest = idlePose(0);
                        Pose down = rest;
                        down.rotation[kWaist].x = 0.3f;
                        down.rotation[kChest].x = 0.25f;
                        down.rotation[kHead].x = 0.2f;
                        down.rotation[kHips].x = 0.05f;
                        down.rootOffset = {0, -0.05f, -0.25f};
                        for (int side = 0; side < 2; ++side) {
                            const float s = side ? -1.0f : 1.0f;
                            down.rotation[side ? kArmR : kArmL] = {-0.2f, 0, -s * 0.18f};
                            down.rotation[side ? kElbowR : kElbowL] = {-0.7f, 0, -s * 0.25f};
                        }
                        const float t = f / 45.0f;
                        if (t < 0.8f) return blend(rest, down, ease(t / 0.8f));
                        if (t < 1.4f) return down;
                        return blend(down, rest, ease((t - 1.4f) / 1.04f));
                    })));
    // Turn: a full spin on the spot with the arms a little out.
    out->writeBytes("turn.tsb", writeTsb(actionMotion(100, [](int f) {
                        const Pose rest = idlePose(0);
                        const float t = f / 99.0f;
                        Pose p = rest;
                        const float open = std::sin(t * static_cast<float>(M_PI));
                        p.rotation[kHips].y = 2 * static_cast<float>(M_PI) * ease(t);
                        p.rotation[kArmL].z = 0.06f + 0.5f * open;
                        p.rotation[kArmR].z = -0.06f - 0.5f * open;
                        p.rotation[kHead].z = 0.1f * open;
                        p.rootOffset.y = 0.25f * open;
                        return p;
                    })));
}
}  // namespace

void buildHeroine(Output* out) {
    out->writeBytes("body01.tmb", bodyModel({1.0, 0.87, 0.8}, {0.42, 0.26, 0.17}, 0.55, false));
    out->writeBytes("body02.tmb", bodyModel({0.86, 0.66, 0.5}, {0.25, 0.15, 0.1}, 0.45, true));
    out->writeBytes("eye01.tmb", eyeModel({0.55, 0.33, 0.16}));
    out->writeBytes("eye02.tmb", eyeModel({0.2, 0.45, 0.85}));
    out->writeBytes("eye03.tmb", eyeModel({0.2, 0.62, 0.35}));
    out->writeBytes("hair01.tmb", hairModel(1, {0.55, 0.32, 0.2}, {0.9, 0.3, 0.35}));
    out->writeBytes("hair02.tmb", hairModel(2, {0.93, 0.75, 0.45}, {0.95, 0.45, 0.6}));
    out->writeBytes("hair03.tmb", hairModel(3, {0.2, 0.2, 0.32}, {0.95, 0.85, 0.35}));
    buildMotions(out);
}
