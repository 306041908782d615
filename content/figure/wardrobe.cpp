// The wardrobe: underwear, costumes, accessories, socks, shoes and ready-made outfits, and the
// archive plans of every heroine item (bodies, eyes and hair too).
#include <map>

#include "content/figure/builder.h"
#include "content/figure/heroine.h"

namespace {
V3 joint(int bone) {
    return kBones[bone].joint;
}
float band(V3 p, float lo, float hi) {
    return std::max(lo - p.y, p.y - hi);
}

// Projects p onto the surface of `field` grown by `offset`.
V3 onSurface(const Field& field, V3 p, float offset) {
    for (int i = 0; i < 6; ++i) {
        const V3 g = fieldGradient(field, p);
        const float g2 = dot(g, g);
        if (g2 < 1e-8f) break;
        p = p - g * ((field(p) - offset) / g2);
    }
    return p;
}

// A closed chain of capsules through points.
float chain(V3 p, const std::vector<V3>& points, float radius, bool closed) {
    float d = 1e9f;
    const size_t n = points.size();
    for (size_t i = 0; i + (closed ? 0 : 1) < n; ++i)
        d = std::min(d, sdCapsule(p, points[i], points[(i + 1) % n], radius, radius));
    return d;
}

// The garment box around the whole figure.
const V3 kLo{-2.6f, -0.2f, -1.5f}, kHi{2.6f, 14.9f, 1.6f};

struct Garment {
    Field field;
    V3 lo = kLo, hi = kHi;
    float cell = 0.1f;
    SurfaceStyle style;
    std::function<bool(V3, V3)> keep;  // drop triangles (open hems)
};

std::vector<uint8_t> garmentModel(ModelBuilder& b, std::vector<Garment> parts) {
    int index = 0;
    for (Garment& g : parts) {
        Mesh mesh = meshField(g.field, g.lo, g.hi, g.cell);
        if (g.keep) filterTriangles(&mesh, g.keep);
        decimateMesh(&mesh, 0.35f, g.cell * 0.12f, g.field);
        if (!g.style.skin) g.style.skin = bodySkin;
        b.add(buildMesh("part" + std::to_string(index++), mesh, g.style));
    }
    return writeTmb(b.model);
}

SurfaceStyle fabric(int material, float repeat = 4, float scale = 0.5f) {
    SurfaceStyle s;
    s.material = [material](V3, V3) { return material; };
    s.uv = cylinderUv(repeat, scale);
    s.wrapU = repeat;
    return s;
}

// Lower edge of briefs: high at the sides, down between the legs.
float crotchCut(V3 p) {
    return 7.6f + 0.75f * smoothstep(0.05f, 0.95f, std::fabs(p.x)) - p.y;
}

float torso(V3 p) {
    return bodyFieldOf(p, {kChest, kWaist, kHips});
}
float chestOnly(V3 p) {
    return bodyFieldOf(p, {kChest, kWaist});
}
float hipsAndLegs(V3 p) {
    return bodyFieldOf(p, {kHips, kWaist, kThighL, kThighR});
}
float thighs(V3 p) {
    return bodyFieldOf(p, {kThighL, kThighR});
}

float upperBand(V3 p, float lo, float hi, float grow) {
    return std::max(chestOnly(p) - grow, band(p, lo, hi));
}
float briefs(V3 p, float grow) {
    return std::max({hipsAndLegs(p) - grow, p.y - 8.75f, crotchCut(p)});
}
float loweredBand(V3 p, float grow) {
    return std::max(thighs(p) - grow, band(p, 5.9f, 6.35f));
}

// Sleeve of one arm from the shoulder to `reach` (0..1 along the upper arm, 1..2 on the forearm).
float sleeve(V3 p, int arm, float reach, float grow) {
    const int elbow = arm + 1, hand = arm + 2;
    float d = sdCapsule(p, joint(arm), joint(elbow), 0.29f, 0.21f);
    if (reach > 1) d = smin(d, sdCapsule(p, joint(elbow), joint(hand), 0.2f, 0.14f), 0.1f);
    V3 a = joint(arm), b = joint(elbow);
    float t = reach;
    if (reach > 1) {
        a = joint(elbow);
        b = joint(hand);
        t = reach - 1;
    }
    const V3 dir = normalize(b - a);
    const V3 cut = lerp(a, b, t);
    return std::max(d - grow, dot(p - cut, dir));
}

// A flared skirt from the waist to `hem`, pleated when `pleats` > 0.
float skirt(V3 p, float hem, float flare, int pleats) {
    const float top = 9.05f;
    const float t = clampf((top - p.y) / (top - hem), 0, 1);
    float rx = 0.86f + t * flare, rz = 0.64f + t * flare * 0.8f;
    if (pleats > 0) {
        const float angle = std::atan2(p.x, p.z);
        const float wave = 1 + 0.05f * t * std::cos(angle * pleats);
        rx *= wave;
        rz *= wave;
    }
    const float e = std::sqrt((p.x / rx) * (p.x / rx) + (p.z / rz) * (p.z / rz));
    const float cone = (e - 1) * std::min(rx, rz);
    const float hips = bodyFieldOf(p, {kHips, kWaist}) - 0.09f;
    return smax(std::min(cone, hips), band(p, hem, top), 0.04f);
}

Influence skirtSkin(V3 p, float hem) {
    const float t = clampf((9.05f - p.y) / (9.05f - hem), 0, 1);
    float perBone[kBoneCount] = {};
    const float side = smoothstep(-0.6f, 0.6f, p.x);
    perBone[kHips] = 1 - 0.4f * t;
    perBone[kThighL] = 0.4f * t * side;
    perBone[kThighR] = 0.4f * t * (1 - side);
    return strongest(perBone);
}

bool openHem(V3 c, V3 n, float hem) {
    return !(n.y < -0.4f && c.y < hem + 0.2f);
}

struct Plan {
    std::string name, type, title, text;
};

std::string describe(const std::string& type, const std::string& name,
                     const std::vector<std::string>& files, const std::vector<std::string>& icons,
                     const std::vector<std::string>& captions, const std::string& extra = {}) {
    std::string d = "TYPE=" + type + "\nNAME=" + name + "\n";
    for (size_t i = 0; i < files.size(); ++i)
        if (!files[i].empty()) d += "FILE_" + std::to_string(i) + "=" + files[i] + "\n";
    for (size_t i = 0; i < icons.size(); ++i)
        if (!icons[i].empty()) d += "ICON_" + std::to_string(i) + "=" + icons[i] + "\n";
    for (size_t i = 0; i < captions.size(); ++i)
        if (!captions[i].empty()) d += "CAPTION_" + std::to_string(i) + "=" + captions[i] + "\n";
    return d + extra;
}

// Views of the icon renders, by category.
struct View {
    const char* eye;
    const char* target;
};
const std::map<std::string, View> kViews = {
    {"HAIR", {"-3.2,13.8,6.4", "0,13.2,0"}},     {"EYE", {"-0.5,13.45,2.9", "0,13.38,0"}},
    {"BODY", {"-3.4,12,9.5", "0,11.2,0"}},       {"UNDER", {"-3,9.8,8.5", "0,9.4,0"}},
    {"UPPER", {"-3.4,10.8,8.5", "0,10.2,0"}},    {"LOWER", {"-3.4,7.6,9.5", "0,7.2,0"}},
    {"HEAD", {"-2.4,14.6,5.8", "0,14,0"}},       {"FACE", {"-1.2,13.5,3.6", "0,13.4,0"}},
    {"NECK", {"-1.4,12.4,3.6", "0,11.9,0"}},     {"ARM_L", {"3.7,8.3,2.6", "2.05,7.75,0"}},
    {"ARM_R", {"-3.7,8.3,2.6", "-2.05,7.75,0"}}, {"SOCKS", {"-3.4,3.6,8.5", "0,3,0"}},
    {"SHOES", {"-2.4,2.2,4.6", "0,0.6,0.2"}},    {"COORDINATE", {"-5.2,8.8,17.5", "0,7.5,0"}},
};
const char* kLight = "0.45,-0.5,-1";

IconShot iconShot(const std::string& file, const std::string& view,
                  std::vector<std::string> models) {
    IconShot s;
    s.file = file;
    s.kind = "icon";
    s.eye = kViews.at(view).eye;
    s.target = kViews.at(view).target;
    s.light = kLight;
    s.models = std::move(models);
    return s;
}

const std::vector<std::string> kBase = {"body01.tmb", "eye01.tmb", "hair01.tmb", "under01A.tmb",
                                        "under01B.tmb"};
std::vector<std::string> baseWith(std::vector<std::string> extra, bool underwear = true) {
    std::vector<std::string> m = {"body01.tmb", "eye01.tmb", "hair01.tmb"};
    if (underwear) m.insert(m.end(), {"under01A.tmb", "under01B.tmb"});
    m.insert(m.end(), extra.begin(), extra.end());
    return m;
}

void item(Output* out, const std::string& type, const std::string& name,
          const std::vector<std::string>& files, const std::vector<std::string>& captions,
          const std::vector<IconShot>& shots, const std::string& extra = {}) {
    ArchivePlan a;
    a.archive = name + ".tr2";
    std::vector<std::string> icons;
    for (const IconShot& s : shots) icons.push_back(s.file);
    a.description = describe(type, name, files, icons, captions, extra);
    for (const std::string& f : files)
        if (!f.empty()) a.members.push_back(f);
    for (const IconShot& s : shots)
        if (!s.file.empty()) {
            a.members.push_back(s.file);
            a.shots.push_back(s);
        }
    out->archives.push_back(std::move(a));
}

// ---- Underwear -------------------------------------------------------------------------------

void underwear(Output* out, const std::string& name, Rgb base, Rgb accent, Pattern pattern) {
    auto model = [&](const std::string& file, std::vector<Field> fields) {
        ModelBuilder b(true);
        const int m = b.material(fabricTexture("under", base, accent, pattern), 0.6f);
        std::vector<Garment> parts;
        for (Field& f : fields) {
            Garment g;
            g.field = f;
            g.lo = {-1.7f, 5.0f, -1.2f};
            g.hi = {1.7f, 11.6f, 1.3f};
            g.cell = 0.08f;
            g.style = fabric(m, 6, 1.0f);
            parts.push_back(g);
        }
        out->writeBytes(file, garmentModel(b, parts));
    };
    model(name + "A.tmb", {[](V3 p) { return upperBand(p, 9.95f, 10.95f, 0.045f); }});
    model(name + "B.tmb", {[](V3 p) { return briefs(p, 0.045f); }});
    model(name + "HA.tmb", {[](V3 p) { return upperBand(p, 10.85f, 11.2f, 0.06f); }});
    model(name + "HB.tmb", {[](V3 p) { return loweredBand(p, 0.06f); }});
}

void swimsuit(Output* out, const std::string& name, Rgb base, Rgb accent) {
    auto model = [&](const std::string& file, Field f) {
        ModelBuilder b(true);
        const int m = b.material(fabricTexture("swim", base, accent, Pattern::Dots), 0.6f);
        Garment g;
        g.field = f;
        g.lo = {-1.7f, 5.0f, -1.2f};
        g.hi = {1.7f, 11.6f, 1.3f};
        g.cell = 0.08f;
        g.style = fabric(m, 6, 1.0f);
        out->writeBytes(file, garmentModel(b, {g}));
    };
    auto suit = [](V3 p, float lo, float hi) {
        return std::max({torso(p) - 0.045f, p.y - hi, std::max(crotchCut(p), lo - p.y)});
    };
    model(name + "A.tmb", [=](V3 p) { return suit(p, 0, 11.0f); });
    model(name + "HA.tmb",
          [=](V3 p) { return std::min(suit(p, 0, 9.6f), upperBand(p, 9.45f, 9.75f, 0.09f)); });
    model(name + "HB.tmb", [=](V3 p) {
        return std::min(std::max(torso(p) - 0.045f, band(p, 8.75f, 11.0f)), loweredBand(p, 0.06f));
    });
    model(name + "HC.tmb", [=](V3 p) {
        return std::min(std::max(torso(p) - 0.09f, band(p, 8.9f, 9.7f)), loweredBand(p, 0.06f));
    });
}

// ---- Costumes --------------------------------------------------------------------------------

std::vector<uint8_t> blouseModel(Rgb base, Rgb accent, Pattern pattern, bool sailor,
                                 float sleeveReach, float hemY, float grow, Rgb collar) {
    ModelBuilder b(true);
    const int cloth = b.material(fabricTexture("cloth", base, accent, pattern), 0.6f);
    const int trim = b.material(solidTexture("trim", collar), 0.6f);
    Garment g;
    g.field = [=](V3 p) {
        float d = std::max(torso(p) - grow, band(p, hemY, 11.45f));
        for (int arm : {kArmL, kArmR}) {
            d = std::min(d, sleeve(p, arm, sleeveReach, grow + 0.02f));
            if (sleeveReach < 0.7f)  // a puff at the shoulder
                d = smin(d,
                         sdEllipsoid(p, lerp(joint(arm), joint(arm + 1), 0.18f) + V3{0, 0.05f, 0},
                                     {0.42f, 0.38f, 0.42f}),
                         0.08f);
        }
        return d;
    };
    g.cell = 0.09f;
    g.lo = {-2.5f, 7.0f, -1.2f};
    g.hi = {2.5f, 12.0f, 1.3f};
    g.style = fabric(cloth, 4, 0.5f);
    g.style.material = [=](V3 c, V3) {
        if (sailor && (c.y > 11.05f || (c.z < -0.2f && c.y > 10.6f))) return trim;
        if (!sailor && c.y < hemY + 0.12f) return trim;
        return cloth;
    };
    std::vector<Garment> parts = {g};
    // A bow on the chest.
    Garment bow;
    bow.field = [](V3 p) {
        const V3 c{0, 10.95f, 0.78f};
        float d = sdEllipsoid(p, c, {0.1f, 0.1f, 0.08f});
        d = smin(d, sdEllipsoid(p, c + V3{0.2f, 0.02f, -0.03f}, {0.2f, 0.12f, 0.06f}), 0.05f);
        d = smin(d, sdEllipsoid(p, c + V3{-0.2f, 0.02f, -0.03f}, {0.2f, 0.12f, 0.06f}), 0.05f);
        d = smin(d, sdCapsule(p, c, c + V3{0.12f, -0.4f, -0.02f}, 0.06f, 0.04f), 0.04f);
        d = smin(d, sdCapsule(p, c, c + V3{-0.12f, -0.4f, -0.02f}, 0.06f, 0.04f), 0.04f);
        return d;
    };
    bow.lo = {-0.6f, 10.3f, 0.4f};
    bow.hi = {0.6f, 11.3f, 1.1f};
    bow.cell = 0.03f;
    bow.style.material = [=](V3, V3) { return trim; };
    bow.style.skin = [](V3) { return rigid(kChest); };
    parts.push_back(bow);
    return garmentModel(b, parts);
}

std::vector<uint8_t> skirtModel(Rgb base, Rgb accent, Pattern pattern, float hem, float flare,
                                int pleats) {
    ModelBuilder b(true);
    const int cloth = b.material(fabricTexture("skirt", base, accent, pattern), 0.6f);
    Garment g;
    g.field = [=](V3 p) { return skirt(p, hem, flare, pleats); };
    g.cell = 0.09f;
    g.lo = {-2.4f, hem - 0.3f, -2.2f};
    g.hi = {2.4f, 9.5f, 2.2f};
    g.style = fabric(cloth, pleats > 0 ? pleats / 2.0f : 4, 1.0f / (9.05f - hem));
    g.style.uv = [=](V3 p, V3) {
        const float angle = std::atan2(p.x, p.z) / 6.2831853f + 0.5f;
        return std::array<float, 2>{angle * (pleats > 0 ? pleats / 2.0f : 4),
                                    (9.05f - p.y) / (9.05f - hem) * 0.92f};
    };
    g.style.oneSided = false;
    g.style.skin = [=](V3 p) { return skirtSkin(p, hem); };
    g.keep = [=](V3 c, V3 n) { return openHem(c, n, hem); };
    return garmentModel(b, {g});
}

std::vector<uint8_t> cardiganModel(Rgb base, Rgb accent) {
    ModelBuilder b(true);
    const int cloth = b.material(fabricTexture("knit", base, accent, Pattern::Knit), 0.6f);
    const int button = b.material(solidTexture("button", {1, 0.95, 0.8}), 0.6f);
    Garment g;
    g.field = [](V3 p) {
        float d = std::max(torso(p) - 0.11f, band(p, 7.9f, 11.5f));
        for (int arm : {kArmL, kArmR}) d = std::min(d, sleeve(p, arm, 1.92f, 0.1f));
        // An open front: a narrow V down the middle.
        const float v = std::fabs(p.x) - 0.06f - 0.25f * smoothstep(9.5f, 11.5f, p.y);
        return std::max(d, -std::max(v, -p.z));
    };
    g.cell = 0.09f;
    g.lo = {-2.5f, 7.4f, -1.3f};
    g.hi = {2.5f, 12.0f, 1.4f};
    g.style = fabric(cloth, 8, 1.0f);
    g.style.oneSided = false;
    Garment buttons;
    buttons.field = [](V3 p) {
        float d = 1e9f;
        for (int i = 0; i < 3; ++i) {
            const float y = 9.1f + i * 0.45f;
            const V3 c = onSurface(torso, {0.18f, y, 1.0f}, 0.13f);
            d = std::min(d, sdEllipsoid(p, c, {0.07f, 0.07f, 0.035f}));
        }
        return d;
    };
    buttons.lo = {-0.1f, 8.8f, 0.3f};
    buttons.hi = {0.5f, 10.4f, 1.2f};
    buttons.cell = 0.02f;
    buttons.style.material = [=](V3, V3) { return button; };
    return garmentModel(b, {g, buttons});
}

std::vector<uint8_t> shortsModel(Rgb base, Rgb accent) {
    ModelBuilder b(true);
    const int cloth = b.material(fabricTexture("denim", base, accent, Pattern::Denim), 0.6f);
    Garment g;
    g.field = [](V3 p) { return std::max(hipsAndLegs(p) - 0.08f, band(p, 6.8f, 9.15f)); };
    g.cell = 0.09f;
    g.lo = {-1.8f, 6.4f, -1.3f};
    g.hi = {1.8f, 9.6f, 1.3f};
    g.style = fabric(cloth, 6, 1.0f);
    return garmentModel(b, {g});
}

// ---- Socks and shoes -------------------------------------------------------------------------

std::vector<uint8_t> socksModel(Rgb base, Rgb accent, Pattern pattern, float top) {
    ModelBuilder b(true);
    const int cloth = b.material(fabricTexture("socks", base, accent, pattern), 0.6f);
    Garment g;
    g.field = [=](V3 p) {
        return std::max(bodyFieldOf(p, {kThighL, kThighR, kKneeL, kKneeR, kFootL, kFootR}) - 0.035f,
                        p.y - top);
    };
    g.cell = 0.085f;
    g.lo = {-1.3f, -0.2f, -0.9f};
    g.hi = {1.3f, top + 0.3f, 1.4f};
    g.style = fabric(cloth, 4, 1.0f);
    g.style.uv = [](V3 p, V3) {
        return std::array<float, 2>{
            (std::atan2(p.x - (p.x > 0 ? 0.55f : -0.55f), p.z) / 6.2831853f + 0.5f) * 4, -p.y};
    };
    return garmentModel(b, {g});
}

std::vector<uint8_t> shoesModel(Rgb upper, Rgb sole, float top, bool strap) {
    ModelBuilder b(true);
    const int leather = b.material(solidTexture("upper", upper), 0.55f, 0.3f, 20);
    const int bottom = b.material(solidTexture("sole", sole), 0.55f);
    Garment g;
    g.field = [=](V3 p) {
        float d = 1e9f;
        for (float s : {-1.0f, 1.0f}) {
            d = std::min(
                d, sdCapsule(p, {s * 0.5f, 0.42f, -0.2f}, {s * 0.5f, 0.3f, 0.86f}, 0.33f, 0.29f));
            if (top > 1)
                d = smin(
                    d,
                    sdCapsule(p, {s * 0.5f, 0.4f, -0.12f}, {s * 0.51f, top, -0.08f}, 0.34f, 0.3f),
                    0.15f);
            if (strap)
                d = std::min(d, sdTorus(p, {s * 0.5f, 0.62f, 0.3f}, {0, 1, 0.5f}, 0.3f, 0.05f));
        }
        return std::max({d, -0.02f - p.y, p.y - top});
    };
    g.cell = 0.065f;
    g.lo = {-1.0f, -0.15f, -0.7f};
    g.hi = {1.0f, top + 0.2f, 1.4f};
    g.style.material = [=](V3 c, V3) { return c.y < 0.1f ? bottom : leather; };
    return garmentModel(b, {g});
}

// ---- Accessories -----------------------------------------------------------------------------

std::vector<uint8_t> accessory(std::vector<std::pair<TmbTexture, float>> materials,
                               std::vector<Garment> parts) {
    ModelBuilder b(true);
    for (auto& [texture, specular] : materials) b.material(texture, 0.6f, specular, 24);
    return garmentModel(b, parts);
}

Garment rigidPart(Field f, V3 lo, V3 hi, float cell, int bone,
                  std::function<int(V3, V3)> material) {
    Garment g;
    g.field = std::move(f);
    g.lo = lo;
    g.hi = hi;
    g.cell = cell;
    g.style.material = std::move(material);
    g.style.skin = [bone](V3) { return rigid(bone); };
    return g;
}

std::vector<uint8_t> catEars() {
    Field ears = [](V3 p) {
        float d = 1e9f;
        for (float s : {-1.0f, 1.0f}) {
            V3 q = p - V3{s * 0.62f, 14.45f, 0.0f};
            q.z *= 3.0f;
            d = std::min(d,
                         sdCapsule(q, {0, -0.1f, 0}, {s * 0.22f, 0.78f, 0}, 0.36f, 0.05f) / 3.0f);
        }
        return std::max(d, 14.2f - p.y);
    };
    return accessory({{solidTexture("fur", {0.28, 0.22, 0.25}), 0.1f},
                      {solidTexture("inner", {1, 0.7, 0.78}), 0}},
                     {rigidPart(ears, {-1.3f, 14.0f, -0.5f}, {1.3f, 15.5f, 0.5f}, 0.035f, kHead,
                                [](V3 c, V3 n) { return (n.z > 0.5f && c.y > 14.55f) ? 1 : 0; })});
}

std::vector<uint8_t> ribbonBow() {
    Field bow = [](V3 p) {
        const V3 c{-0.62f, 14.62f, 0.3f};
        float d = sdEllipsoid(p, c, {0.14f, 0.14f, 0.12f});
        d = smin(d, sdEllipsoid(p, c + V3{0.38f, 0.12f, -0.05f}, {0.36f, 0.24f, 0.1f}), 0.06f);
        d = smin(d, sdEllipsoid(p, c + V3{-0.38f, 0.12f, -0.05f}, {0.36f, 0.24f, 0.1f}), 0.06f);
        d = smin(d, sdCapsule(p, c, c + V3{0.22f, -0.55f, 0.02f}, 0.09f, 0.05f), 0.05f);
        d = smin(d, sdCapsule(p, c, c + V3{-0.28f, -0.5f, 0.02f}, 0.09f, 0.05f), 0.05f);
        return d;
    };
    return accessory({{solidTexture("ribbon", {0.92, 0.3, 0.42}), 0.3f}},
                     {rigidPart(bow, {-1.5f, 13.9f, -0.1f}, {0.2f, 15.2f, 0.7f}, 0.03f, kHead,
                                [](V3, V3) { return 0; })});
}

std::vector<uint8_t> glasses(Rgb frame, float oval) {
    Field rims = [=](V3 p) {
        float d = 1e9f;
        for (float s : {-1.0f, 1.0f}) {
            V3 q = p - V3{s * 0.4f, 13.36f, 1.16f};
            q.x /= oval;
            d = std::min(d, sdTorus(q, {0, 0, 0}, {0, 0, 1}, 0.25f, 0.03f));
            d = std::min(d, sdCapsule(p, {s * (0.4f + 0.27f * oval), 13.4f, 1.1f},
                                      {s * 1.04f, 13.45f, -0.1f}, 0.03f, 0.03f));
        }
        d = std::min(d,
                     sdCapsule(p, {-0.16f, 13.42f, 1.2f}, {0.16f, 13.42f, 1.2f}, 0.028f, 0.028f));
        return d;
    };
    Field lenses = [=](V3 p) {
        float d = 1e9f;
        for (float s : {-1.0f, 1.0f}) {
            V3 q = p - V3{s * 0.4f, 13.36f, 1.16f};
            q.x /= oval;
            d = std::min(d, sdEllipsoid(q, {0, 0, 0}, {0.25f, 0.25f, 0.012f}));
        }
        return d;
    };
    TmbTexture glass = paintTexture("glass", 8, 8, [](cairo_t* cr) {
        cairo_set_source_rgba(cr, 0.8, 0.9, 1.0, 0.22);
        cairo_paint(cr);
    });
    Garment lensPart = rigidPart(lenses, {-0.9f, 12.9f, 1.0f}, {0.9f, 13.8f, 1.35f}, 0.03f, kHead,
                                 [](V3, V3) { return 1; });
    lensPart.style.oneSided = false;
    return accessory({{solidTexture("frame", frame), 0.5f}, {glass, 0.8f}},
                     {rigidPart(rims, {-1.2f, 12.9f, -0.3f}, {1.2f, 13.8f, 1.35f}, 0.026f, kHead,
                                [](V3, V3) { return 0; }),
                      lensPart});
}

std::vector<uint8_t> choker() {
    Field band = [](V3 p) {
        V3 q = p - V3{0, 12.0f, -0.04f};
        q.y *= 2.2f;
        float d = sdTorus(q, {0, 0, 0}, {0, 1, 0}, 0.3f, 0.07f) / 2.2f;
        d = std::min(d, sdEllipsoid(p, {0, 11.82f, 0.36f}, {0.1f, 0.1f, 0.1f}));
        return d;
    };
    return accessory({{solidTexture("velvet", {0.2, 0.12, 0.2}), 0.2f},
                      {solidTexture("bell", {1, 0.82, 0.3}), 0.9f}},
                     {rigidPart(band, {-0.6f, 11.5f, -0.6f}, {0.6f, 12.3f, 0.6f}, 0.02f, kNeck,
                                [](V3 c, V3) { return c.y < 11.93f && c.z > 0.2f ? 1 : 0; })});
}

std::vector<uint8_t> pendant() {
    std::vector<V3> loop;
    for (int i = 0; i < 24; ++i) {
        const float a = i / 24.0f * 6.2831853f;
        const float front = 0.5f + 0.5f * std::cos(a);
        loop.push_back(onSurface(
            bodyField,
            {0.48f * std::sin(a), 11.75f - 0.5f * front * front, 0.4f * std::cos(a) - 0.05f},
            0.035f));
    }
    const V3 gem = onSurface(bodyField, {0, 11.15f, 0.8f}, 0.09f);
    Field chainField = [=](V3 p) { return chain(p, loop, 0.022f, true); };
    Field gemField = [=](V3 p) {
        const V3 q = p - gem;
        // A small heart: two lobes and a point.
        float d = sdEllipsoid(q, {0.055f, 0.03f, 0}, {0.07f, 0.07f, 0.04f});
        d = smin(d, sdEllipsoid(q, {-0.055f, 0.03f, 0}, {0.07f, 0.07f, 0.04f}), 0.02f);
        d = smin(d, sdCapsule(q, {0, 0.02f, 0}, {0, -0.1f, 0}, 0.06f, 0.01f), 0.03f);
        return d;
    };
    return accessory({{solidTexture("silver", {0.85, 0.85, 0.9}), 0.9f},
                      {solidTexture("gem", {0.95, 0.3, 0.5}), 0.9f}},
                     {rigidPart(chainField, {-0.8f, 10.9f, -0.8f}, {0.8f, 12.0f, 1.0f}, 0.02f,
                                kChest, [](V3, V3) { return 0; }),
                      rigidPart(gemField, gem - V3{0.2f, 0.2f, 0.2f}, gem + V3{0.2f, 0.2f, 0.2f},
                                0.012f, kChest, [](V3, V3) { return 1; })});
}

// Along the forearm from the elbow (0) to the wrist (1).
V3 forearm(int arm, float t) {
    return lerp(joint(arm + 1), joint(arm + 2), t);
}

std::vector<uint8_t> watch() {
    const V3 axis = normalize(joint(kHandL) - joint(kElbowL));
    const V3 c = forearm(kArmL, 0.86f);
    Field strap = [=](V3 p) {
        const V3 q = p - c;
        const float along = dot(q, axis);
        const V3 squashed = q + axis * (along * 1.5f);
        return sdTorus(squashed, {0, 0, 0}, axis, 0.155f, 0.04f) / 1.5f;
    };
    const V3 out = normalize(cross(axis, V3{0, 0, 1})) * -1.0f;  // the back of the wrist
    Field face = [=](V3 p) {
        const V3 q = p - (c + out * 0.16f);
        const float h = dot(q, out);
        const V3 flat = q - out * h;
        return std::max(length(flat) - 0.12f, std::fabs(h) - 0.04f);
    };
    TmbTexture dial = paintTexture("dial", 32, 32, [](cairo_t* cr) {
        cairo_set_source_rgb(cr, 0.98, 0.97, 0.92);
        cairo_paint(cr);
    });
    return accessory({{solidTexture("strap", {0.45, 0.28, 0.18}), 0.2f},
                      {dial, 0.6f},
                      {solidTexture("case", {0.95, 0.8, 0.45}), 0.9f}},
                     {rigidPart(strap, c - V3{0.4f, 0.4f, 0.4f}, c + V3{0.4f, 0.4f, 0.4f}, 0.02f,
                                kElbowL, [](V3, V3) { return 0; }),
                      rigidPart(face, c - V3{0.4f, 0.4f, 0.4f}, c + V3{0.4f, 0.4f, 0.4f}, 0.015f,
                                kElbowL, [=](V3 cc, V3 n) {
                                    return dot(n, out) > 0.8f && dot(cc - c, out) > 0.17f ? 1 : 2;
                                })});
}

std::vector<uint8_t> beads() {
    const V3 axis = normalize(joint(kHandR) - joint(kElbowR));
    V3 side = normalize(cross(axis, V3{0, 0, 1}));
    V3 up = cross(side, axis);
    std::vector<V3> centres;
    for (int ring = 0; ring < 2; ++ring)
        for (int i = 0; i < 12; ++i) {
            const float a = i / 12.0f * 6.2831853f + ring * 0.26f;
            centres.push_back(forearm(kArmR, 0.8f + ring * 0.1f) +
                              (side * std::cos(a) + up * std::sin(a)) * 0.19f);
        }
    Field f = [=](V3 p) {
        float d = 1e9f;
        for (const V3& c : centres) d = std::min(d, length(p - c) - 0.055f);
        return d;
    };
    const V3 c = forearm(kArmR, 0.85f);
    return accessory({{solidTexture("bead_a", {1, 0.6, 0.7}), 0.8f},
                      {solidTexture("bead_b", {0.6, 0.85, 1}), 0.8f}},
                     {rigidPart(f, c - V3{0.45f, 0.45f, 0.45f}, c + V3{0.45f, 0.45f, 0.45f}, 0.022f,
                                kElbowR, [=](V3 cc, V3) {
                                    size_t best = 0;
                                    for (size_t i = 1; i < centres.size(); ++i)
                                        if (length(cc - centres[i]) < length(cc - centres[best]))
                                            best = i;
                                    return static_cast<int>(best % 2);
                                })});
}
}  // namespace

void buildWardrobe(Output* out) {
    // Bodies, eyes and hair (their models come from buildHeroine).
    item(out, "BODY", "body01", {"body01.tmb"},
         {"色白の肌", "透きとおるような白い肌。いつもの若葉です。"},
         {iconShot("icon_body01.psd", "BODY",
                   {"body01.tmb", "eye01.tmb", "hair01.tmb", "under01A.tmb", "under01B.tmb"})});
    item(out, "BODY", "body02", {"body02.tmb"},
         {"日焼けした肌", "夏の日差しをいっぱい浴びた小麦色の肌。そばかすがチャームポイント。"},
         {iconShot("icon_body02.psd", "BODY",
                   {"body02.tmb", "eye01.tmb", "hair01.tmb", "under01A.tmb", "under01B.tmb"})});
    const char* eyeText[3][2] = {{"ブラウンの瞳", "やさしい栗色の瞳。"},
                                 {"ブルーの瞳", "夏空のような青い瞳。"},
                                 {"グリーンの瞳", "若葉の色をした緑の瞳。"}};
    for (int i = 0; i < 3; ++i) {
        const std::string n = "eye0" + std::to_string(i + 1);
        item(out, "EYE", n, {n + ".tmb"}, {eyeText[i][0], eyeText[i][1]},
             {iconShot("icon_" + n + ".psd", "EYE", {"body01.tmb", n + ".tmb", "hair01.tmb"})});
    }
    const char* hairText[3][2] = {{"ショートボブ", "あごのラインで切りそろえた、やわらかいボブ。"},
                                  {"ツインテール", "ふたつに結んだ長い金髪。元気いっぱい。"},
                                  {"ポニーテール", "高い位置でまとめた黒髪のポニーテール。"}};
    for (int i = 0; i < 3; ++i) {
        const std::string n = "hair0" + std::to_string(i + 1);
        item(out, "HAIR", n, {n + ".tmb"}, {hairText[i][0], hairText[i][1]},
             {iconShot("icon_" + n + ".psd", "HAIR", {"body01.tmb", "eye01.tmb", n + ".tmb"})});
    }

    // Underwear.
    underwear(out, "under01", {1, 0.97, 0.97}, {1, 0.55, 0.7}, Pattern::Dots);
    underwear(out, "under02", {0.85, 0.93, 1}, {0.55, 0.75, 1}, Pattern::Stripes);
    swimsuit(out, "swim03", {0.2, 0.35, 0.75}, {1, 1, 1});
    item(out, "UNDER", "under01",
         {"under01A.tmb", "under01B.tmb", "under01HA.tmb", "under01HB.tmb"},
         {"水玉の下着", "白地にピンクの水玉。上下おそろいです。"},
         {iconShot("icon_under01.psd", "UNDER", baseWith({}, true))}, "HALFWEAR=1\n");
    item(out, "UNDER", "under02",
         {"under02A.tmb", "under02B.tmb", "under02HA.tmb", "under02HB.tmb"},
         {"しましまの下着", "水色のしましま。さわやかな上下セット。"},
         {iconShot("icon_under02.psd", "UNDER", baseWith({"under02A.tmb", "under02B.tmb"}, false))},
         "HALFWEAR=1\n");
    item(out, "UNDER", "swim03", {"swim03A.tmb", "swim03HA.tmb", "swim03HB.tmb", "swim03HC.tmb"},
         {"スクール水着", "紺色のワンピース水着。白い水玉がかわいい。"},
         {iconShot("icon_swim03.psd", "UNDER", baseWith({"swim03A.tmb"}, false))},
         "UPPERONLY=1\nHALFWEAR=1\n");

    // Costumes.
    out->writeBytes("dress01u.tmb", blouseModel({1, 0.93, 0.55}, {1, 0.75, 0.3}, Pattern::Gingham,
                                                false, 0.45f, 8.85f, 0.08f, {1, 1, 1}));
    out->writeBytes("dress01l.tmb",
                    skirtModel({1, 0.93, 0.55}, {1, 0.75, 0.3}, Pattern::Gingham, 6.0f, 1.15f, 0));
    out->writeBytes("dress02u.tmb", blouseModel({0.98, 0.98, 1}, {0.9, 0.9, 0.95}, Pattern::Plain,
                                                true, 0.55f, 8.85f, 0.08f, {0.15, 0.2, 0.45}));
    out->writeBytes("dress02l.tmb", skirtModel({0.17, 0.22, 0.45}, {0.95, 0.95, 1}, Pattern::Pleats,
                                               6.3f, 0.8f, 24));
    out->writeBytes("dress03u.tmb", cardiganModel({1, 0.72, 0.8}, {1, 0.85, 0.9}));
    out->writeBytes("dress04l.tmb", shortsModel({0.35, 0.5, 0.75}, {0.75, 0.85, 0.95}));
    item(out, "COSTUME", "dress01", {"dress01u.tmb", "dress01l.tmb"},
         {"ギンガムのワンピース", "レモン色のギンガムチェック。胸のリボンがポイント。", "",
          "ギンガムのスカート", "ふんわり広がるレモン色のスカート。"},
         {iconShot("icon_dress01u.psd", "UPPER", baseWith({"dress01u.tmb"})),
          iconShot("icon_dress01l.psd", "LOWER", baseWith({"dress01l.tmb"}))});
    item(out, "COSTUME", "dress02", {"dress02u.tmb", "dress02l.tmb"},
         {"セーラー服", "紺の襟とリボンのセーラー服。いつもの制服。", "", "プリーツスカート",
          "紺色のプリーツスカート。すそに白いライン。"},
         {iconShot("icon_dress02u.psd", "UPPER", baseWith({"dress02u.tmb"})),
          iconShot("icon_dress02l.psd", "LOWER", baseWith({"dress02l.tmb"}))});
    item(out, "COSTUME", "dress03", {"dress03u.tmb"},
         {"ピンクのカーディガン", "ざっくり編んだ長袖のカーディガン。"},
         {iconShot("icon_dress03u.psd", "UPPER", baseWith({"dress03u.tmb"}))}, "UPPERONLY=1\n");
    item(out, "COSTUME", "dress04", {"", "dress04l.tmb"},
         {"デニムのショートパンツ", "動きやすいデニムのショートパンツ。", "",
          "デニムのショートパンツ", "動きやすいデニムのショートパンツ。"},
         {iconShot("", "LOWER", {}),
          iconShot("icon_dress04l.psd", "LOWER", baseWith({"dress04l.tmb"}))},
         "BOTTOMONLY=1\n");

    // Accessories, socks and shoes.
    out->writeBytes("head01.tmb", catEars());
    out->writeBytes("head02.tmb", ribbonBow());
    out->writeBytes("face01.tmb", glasses({0.35, 0.22, 0.15}, 1.0f));
    out->writeBytes("face02.tmb", glasses({0.85, 0.15, 0.2}, 1.25f));
    out->writeBytes("neck01.tmb", choker());
    out->writeBytes("neck02.tmb", pendant());
    out->writeBytes("arm01.tmb", watch());
    out->writeBytes("arm02.tmb", beads());
    out->writeBytes("socks01.tmb",
                    socksModel({0.97, 0.97, 0.97}, {0.85, 0.85, 0.88}, Pattern::Plain, 4.9f));
    out->writeBytes("socks02.tmb", socksModel({1, 0.8, 0.88}, {1, 1, 1}, Pattern::Stripes, 6.7f));
    out->writeBytes("shoes01.tmb", shoesModel({0.35, 0.2, 0.12}, {0.12, 0.08, 0.06}, 0.78f, true));
    out->writeBytes("shoes02.tmb", shoesModel({0.9, 0.4, 0.45}, {0.95, 0.95, 0.95}, 1.7f, false));
    struct Simple {
        const char *type, *name, *view, *title, *text;
    };
    const Simple simple[] = {
        {"HEAD", "head01", "HEAD", "ネコミミ", "ふわふわのネコミミ。にゃん。"},
        {"HEAD", "head02", "HEAD", "大きなリボン", "頭にちょこんと赤いリボン。"},
        {"FACE", "face01", "FACE", "丸めがね", "べっこう色の丸いめがね。"},
        {"FACE", "face02", "FACE", "赤ぶちめがね", "すこし大人っぽい赤いめがね。"},
        {"NECK", "neck01", "NECK", "鈴のチョーカー", "歩くとちりんと鳴るチョーカー。"},
        {"NECK", "neck02", "NECK", "ハートのペンダント", "銀の鎖にピンクのハート。"},
        {"ARM", "arm01", "ARM_L", "腕時計", "革ベルトの小さな腕時計。"},
        {"ARM", "arm02", "ARM_R", "ビーズのブレスレット", "ピンクと水色のビーズを二重に。"},
        {"SOCKS", "socks01", "SOCKS", "白のハイソックス", "ひざ下までの白いソックス。"},
        {"SOCKS", "socks02", "SOCKS", "しましまニーソックス", "ピンクと白のしましま。"},
        {"SHOES", "shoes01", "SHOES", "ストラップシューズ", "茶色の革のストラップシューズ。"},
        {"SHOES", "shoes02", "SHOES", "ショートブーツ", "ピンクのショートブーツ。"},
    };
    for (const Simple& s : simple) {
        const std::string file = std::string(s.name) + ".tmb";
        item(out, s.type, s.name, {file}, {s.title, s.text},
             {iconShot(std::string("icon_") + s.name + ".psd", s.view, baseWith({file}))});
    }

    // Ready-made outfits.
    struct Outfit {
        const char *name, *title, *text;
        std::vector<std::pair<int, std::string>> parts;
    };
    const Outfit outfits[] = {
        {"coord01",
         "通学スタイル",
         "セーラー服に白のハイソックス。",
         {{5, "dress02u"},
          {6, "dress02l"},
          {4, "socks01"},
          {11, "shoes01"},
          {7, "nil"},
          {8, "nil"},
          {9, "nil"},
          {10, "nil"}}},
        {"coord02",
         "夏のおでかけ",
         "ギンガムのワンピースにリボンとブーツ。",
         {{5, "dress01u"},
          {6, "dress01l"},
          {4, "nil"},
          {11, "shoes02"},
          {7, "head02"},
          {9, "neck02"},
          {12, "hair02"}}},
        {"coord03",
         "プールの日",
         "スクール水着にめがね。準備体操もばっちり。",
         {{2, "swim03A"},
          {3, "nil"},
          {5, "nil"},
          {6, "nil"},
          {4, "nil"},
          {11, "nil"},
          {8, "face01"},
          {12, "hair03"}}},
    };
    for (const Outfit& o : outfits) {
        std::string extra;
        std::map<int, std::string> slots = {
            {1, "eye01"}, {2, "under01A"}, {3, "under01B"}, {12, "hair01"}};
        for (const auto& [slot, model] : o.parts) {
            char key[16];
            std::snprintf(key, sizeof key, "COORD_%02d", slot);
            extra += std::string(key) + "=" + model + "\n";
            slots[slot] = model;
        }
        std::vector<std::string> models = {"body01.tmb"};
        for (const auto& [slot, model] : slots)
            if (model != "nil") models.push_back(model + ".tmb");
        ArchivePlan a;
        a.archive = std::string(o.name) + ".tr2";
        IconShot shot = iconShot(std::string("icon_") + o.name + ".psd", "COORDINATE", models);
        a.description = describe("COORDINATE", o.name, {}, {shot.file}, {o.title, o.text}, extra);
        a.members = {shot.file};
        a.shots = {shot};
        out->archives.push_back(std::move(a));
    }
}
