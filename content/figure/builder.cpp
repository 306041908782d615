// Mesh conversion and the body's field.
#include "content/figure/builder.h"

#include <map>

TmbMesh buildMesh(const std::string& name, const Mesh& mesh, const SurfaceStyle& style) {
    std::map<int, std::vector<size_t>> byMaterial;
    for (size_t t = 0; t < mesh.triangles.size(); ++t) {
        const auto& tri = mesh.triangles[t];
        const V3 a = mesh.positions[tri[0]], b = mesh.positions[tri[1]], c = mesh.positions[tri[2]];
        byMaterial[style.material((a + b + c) * (1.0f / 3), normalize(cross(b - a, c - a)))]
            .push_back(t);
    }
    std::vector<Influence> skin(mesh.positions.size());
    for (size_t i = 0; i < mesh.positions.size(); ++i)
        skin[i] = style.skin ? style.skin(mesh.positions[i]) : rigid(0);
    TmbMesh out;
    out.name = name;
    out.oneSided = style.oneSided;
    for (const auto& [materialIndex, triangles] : byMaterial) {
        TmbRange range;
        range.material = materialIndex;
        range.firstVertex = static_cast<int32_t>(out.vertices.size());
        range.triangleCount = static_cast<int32_t>(triangles.size());
        for (size_t t : triangles) {
            TmbVertex v[3];
            for (int k = 0; k < 3; ++k) {
                const uint32_t i = mesh.triangles[t][k];
                const V3 p = mesh.positions[i], n = mesh.normals[i];
                v[k].position = {p.x, p.y, p.z};
                v[k].normal = {n.x, n.y, n.z};
                v[k].uv = style.uv(p, n);
                for (int b = 0; b < 4; ++b) v[k].bones[b] = skin[i].bones[b];
                for (int b = 0; b < 3; ++b) v[k].weights[b] = skin[i].weights[b];
            }
            if (style.wrapU > 0) {
                const float hi = std::max({v[0].uv[0], v[1].uv[0], v[2].uv[0]});
                for (auto& vertex : v)
                    if (hi - vertex.uv[0] > style.wrapU * 0.5f) vertex.uv[0] += style.wrapU;
            }
            for (auto& vertex : v) out.vertices.push_back(vertex);
        }
        out.ranges.push_back(range);
    }
    return out;
}

ModelBuilder::ModelBuilder(bool skinned) {
    if (skinned) model.boneOffsets = boneOffsets();
}

int ModelBuilder::material(TmbTexture texture, float ambient, float specular, float power) {
    TmbMaterial m;
    m.ambient = {ambient, ambient, ambient, 1};
    m.specular = {specular, specular, specular, 1};
    m.power = power;
    m.texture = static_cast<int32_t>(model.textures.size());
    model.textures.push_back(std::move(texture));
    model.materials.push_back(m);
    return static_cast<int>(model.materials.size()) - 1;
}

Influence rigid(int bone) {
    Influence inf;
    inf.bones[0] = static_cast<uint8_t>(bone);
    inf.weights[0] = 1;
    return inf;
}

std::function<std::array<float, 2>(V3, V3)> cylinderUv(float repeat, float scale) {
    return [=](V3 p, V3) {
        const float angle = std::atan2(p.x, p.z) / (2 * static_cast<float>(M_PI)) + 0.5f;
        return std::array<float, 2>{angle * repeat, -p.y * scale};
    };
}

namespace {
struct Primitive {
    int bone;
    float blend;  // fillet towards the shape built so far
    std::function<float(V3)> sdf;
};

V3 joint(int bone) {
    return kBones[bone].joint;
}

std::vector<Primitive> makeBody() {
    std::vector<Primitive> p;
    auto add = [&](int bone, float blend, std::function<float(V3)> f) {
        p.push_back({bone, blend, std::move(f)});
    };
    // Head: a rounded skull and a soft chin.
    add(kHead, 0, [](V3 q) { return sdEllipsoid(q, {0, 13.38f, 0.0f}, {1.02f, 1.12f, 1.06f}); });
    add(kHead, 0.35f, [](V3 q) {
        return sdEllipsoid(q, {0, 12.82f, 0.22f}, {0.68f, 0.6f, 0.72f});
    });
    add(kNeck, 0.2f, [](V3 q) {
        return sdCapsule(q, {0, 11.6f, -0.06f}, {0, 12.6f, -0.05f}, 0.29f, 0.27f);
    });
    // Torso.
    add(kChest, 0.3f, [](V3 q) {
        return sdEllipsoid(q, {0, 10.55f, -0.02f}, {0.98f, 1.15f, 0.66f});
    });
    add(kChest, 0.25f, [](V3 q) {
        return sdCapsule(q, {-1.12f, 11.3f, -0.1f}, {1.12f, 11.3f, -0.1f}, 0.3f, 0.3f);
    });
    for (float s : {-1.0f, 1.0f})
        add(kChest, 0.2f, [s](V3 q) {
            return sdEllipsoid(q, {s * 0.42f, 10.42f, 0.38f}, {0.42f, 0.4f, 0.36f});
        });
    add(kWaist, 0.45f, [](V3 q) { return sdEllipsoid(q, {0, 9.35f, 0}, {0.74f, 0.85f, 0.52f}); });
    add(kHips, 0.4f, [](V3 q) { return sdEllipsoid(q, {0, 8.3f, -0.02f}, {1.08f, 0.85f, 0.72f}); });
    for (float s : {-1.0f, 1.0f})
        add(kHips, 0.25f, [s](V3 q) {
            return sdEllipsoid(q, {s * 0.45f, 7.95f, -0.28f}, {0.55f, 0.55f, 0.45f});
        });
    // Legs.
    for (int side = 0; side < 2; ++side) {
        const int thigh = side ? kThighR : kThighL, knee = thigh + 1, foot = thigh + 2;
        const float s = side ? -1.0f : 1.0f;
        add(thigh, 0.1f, [=](V3 q) {
            return sdCapsule(q, joint(thigh) + V3{s * 0.02f, 0.1f, 0}, joint(knee), 0.54f, 0.36f);
        });
        add(knee, 0.15f,
            [=](V3 q) { return sdCapsule(q, joint(knee), joint(foot), 0.35f, 0.19f); });
        add(knee, 0.2f, [=](V3 q) {
            return sdEllipsoid(q, {s * 0.56f, 3.25f, -0.12f}, {0.32f, 0.95f, 0.33f});
        });
        add(foot, 0.18f, [=](V3 q) {
            const float d =
                sdCapsule(q, {s * 0.5f, 0.42f, -0.18f}, {s * 0.5f, 0.26f, 0.82f}, 0.26f, 0.22f);
            return std::max(d, -q.y);
        });
    }
    // Arms.
    for (int side = 0; side < 2; ++side) {
        const int arm = side ? kArmR : kArmL, elbow = arm + 1, hand = arm + 2;
        const float s = side ? -1.0f : 1.0f;
        add(arm, 0.2f, [=](V3 q) { return sdCapsule(q, joint(arm), joint(elbow), 0.29f, 0.21f); });
        add(elbow, 0.1f,
            [=](V3 q) { return sdCapsule(q, joint(elbow), joint(hand), 0.2f, 0.14f); });
        add(hand, 0.1f, [=](V3 q) {
            return sdEllipsoid(q, {s * 2.1f, 7.42f, 0.03f}, {0.13f, 0.42f, 0.24f});
        });
        add(hand, 0.06f, [=](V3 q) {
            return sdCapsule(q, {s * 2.05f, 7.7f, 0.2f}, {s * 2.05f, 7.38f, 0.33f}, 0.08f, 0.07f);
        });
    }
    return p;
}

const std::vector<Primitive>& body() {
    static const std::vector<Primitive> primitives = makeBody();
    return primitives;
}
}  // namespace

float bodyField(V3 p) {
    float d = 1e9f;
    for (const Primitive& prim : body()) d = smin(d, prim.sdf(p), prim.blend);
    return d;
}

float bodyFieldOf(V3 p, std::initializer_list<int> bones) {
    float d = 1e9f;
    for (const Primitive& prim : body())
        for (int b : bones)
            if (prim.bone == b) {
                d = smin(d, prim.sdf(p), prim.blend);
                break;
            }
    return d;
}

float headField(V3 p) {
    return bodyFieldOf(p, {kHead});
}

Influence bodySkin(V3 p) {
    float distance[64];
    float nearest = 1e9f;
    const auto& prims = body();
    for (size_t i = 0; i < prims.size(); ++i) {
        distance[i] = prims[i].sdf(p);
        nearest = std::min(nearest, distance[i]);
    }
    float perBone[kBoneCount] = {};
    for (size_t i = 0; i < prims.size(); ++i)
        perBone[prims[i].bone] += std::exp(-(distance[i] - nearest) / 0.09f);
    return strongest(perBone);
}
