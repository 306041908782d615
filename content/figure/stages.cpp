// The three stages (a room, a park, a night stage), the room's turning fan, the camera paths and
// the background items that offer the stages; also the archive of the heroine's motions.
#include "content/figure/builder.h"
#include "content/figure/heroine.h"
#include "tools/writers/tcm_writer.h"

namespace {
// Stages draw unlit: their light is baked into the vertex colours.
const V3 kSun = normalize({0.35f, 0.85f, 0.5f});

struct StageBuilder {
    ModelBuilder b{false};
    std::vector<TmbMesh> meshes;
    TmbMesh* current = nullptr;
    int material = 0;
    uint8_t bone = 0;
    float ambient = 0.62f;

    int texture(TmbTexture t) { return b.material(std::move(t), 0.5f); }
    void begin(const std::string& name, int materialIndex, bool oneSided = true) {
        meshes.push_back({});
        current = &meshes.back();
        current->name = name;
        current->oneSided = oneSided;
        current->ranges.push_back({materialIndex, 0, 0});
    }
    uint32_t shade(Rgb c, V3 n, float glow = 0) const {
        const float light =
            std::min(1.0f, ambient + (1 - ambient) * std::max(0.0f, dot(n, kSun)) + glow);
        auto byte = [&](double v) {
            return static_cast<uint32_t>(clampf(static_cast<float>(v) * light, 0, 1) * 255);
        };
        return 0xFF000000u | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
    }
    void triangle(V3 a, V3 bb, V3 c, Rgb colour, float uvScale, float glow = 0) {
        const V3 n = normalize(cross(bb - a, c - a));
        for (V3 p : {a, bb, c}) {
            TmbVertex v;
            v.position = {p.x, p.y, p.z};
            v.normal = {n.x, n.y, n.z};
            v.colour = shade(colour, n, glow);
            v.bones = {bone, bone, bone, bone};
            v.weights = {1, 0, 0};
            // Planar by the dominant axis of the face.
            const float ax = std::fabs(n.x), ay = std::fabs(n.y);
            if (ay >= ax && ay >= std::fabs(n.z))
                v.uv = {p.x * uvScale, p.z * uvScale};
            else if (ax >= std::fabs(n.z))
                v.uv = {p.z * uvScale, -p.y * uvScale};
            else
                v.uv = {p.x * uvScale, -p.y * uvScale};
            current->vertices.push_back(v);
        }
        current->ranges.back().triangleCount++;
    }
    void quad(V3 a, V3 bb, V3 c, V3 d, Rgb colour, float uvScale, float glow = 0) {
        triangle(a, bb, c, colour, uvScale, glow);
        triangle(a, c, d, colour, uvScale, glow);
    }
    // An axis-aligned box.
    void box(V3 lo, V3 hi, Rgb colour, float uvScale = 0.5f) {
        const V3 p[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z},
                         {lo.x, hi.y, lo.z}, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z},
                         {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}};
        quad(p[4], p[5], p[6], p[7], colour, uvScale);  // front (+z)
        quad(p[1], p[0], p[3], p[2], colour, uvScale);  // back
        quad(p[5], p[1], p[2], p[6], colour, uvScale);  // +x
        quad(p[0], p[4], p[7], p[3], colour, uvScale);  // -x
        quad(p[7], p[6], p[2], p[3], colour, uvScale);  // top
        quad(p[0], p[1], p[5], p[4], colour, uvScale);  // bottom
    }
    // A vertical cylinder (or cone) with caps.
    void cylinder(V3 base, float r0, float r1, float height, int sides, Rgb colour,
                  float uvScale = 0.5f) {
        for (int i = 0; i < sides; ++i) {
            const float a0 = i * 6.2831853f / sides, a1 = (i + 1) * 6.2831853f / sides;
            const V3 d0{std::sin(a0), 0, std::cos(a0)}, d1{std::sin(a1), 0, std::cos(a1)};
            const V3 top{0, height, 0};
            quad(base + d0 * r0, base + d1 * r0, base + top + d1 * r1, base + top + d0 * r1, colour,
                 uvScale);
            triangle(base + top, base + top + d0 * r1, base + top + d1 * r1, colour, uvScale);
            triangle(base, base + d1 * r0, base + d0 * r0, colour, uvScale);
        }
    }
    // A sphere; inward-facing when `inside` (sky domes), coloured by height through `colourAt`.
    void sphere(V3 centre, V3 radii, int rings, int sides,
                const std::function<Rgb(float)>& colourAt, bool inside = false, float glow = 0,
                float minY = -1) {
        for (int j = 0; j < rings; ++j)
            for (int i = 0; i < sides; ++i) {
                auto point = [&](int jj, int ii) {
                    const float t = 3.14159265f * jj / rings, a = 6.2831853f * ii / sides;
                    return V3{std::sin(t) * std::sin(a), std::cos(t), std::sin(t) * std::cos(a)};
                };
                const V3 a = point(j, i), bb = point(j + 1, i), c = point(j + 1, i + 1),
                         d = point(j, i + 1);
                if (a.y < minY && bb.y < minY) continue;
                const Rgb colour = colourAt((a.y + bb.y) * 0.5f);
                auto at = [&](V3 u) { return centre + mul(u, radii); };
                if (inside)
                    quad(at(a), at(d), at(c), at(bb), colour, 0.02f, glow);
                else
                    quad(at(a), at(bb), at(c), at(d), colour, 0.5f, glow);
            }
    }
    std::vector<uint8_t> finish(std::vector<TmbPlacement> placements, int bones = 0) {
        for (TmbMesh& m : meshes) b.add(std::move(m));
        b.model.placements = std::move(placements);
        for (int i = 0; i < bones; ++i) b.model.boneOffsets.push_back(identity16());
        return writeTmb(b.model);
    }
};

TmbPlacement place(const std::string& name, V3 position, float rotationY = 0) {
    TmbPlacement p;
    p.name = name;
    p.position = {position.x, position.y, position.z};
    p.rotation = {0, rotationY, 0};
    return p;
}

TmbTexture planks() {
    return paintTexture("planks", 128, 128, [](cairo_t* cr) {
        for (int i = 0; i < 4; ++i) {
            setColour(cr, mix({0.85, 0.68, 0.5}, {0.75, 0.56, 0.4}, (i * 7 % 4) / 3.0));
            cairo_rectangle(cr, 0, i * 32, 128, 32);
            cairo_fill(cr);
            setColour(cr, {0.5, 0.35, 0.25}, 0.6);
            cairo_rectangle(cr, 0, i * 32, 128, 1.5);
            cairo_fill(cr);
            cairo_rectangle(cr, (i * 45) % 128, i * 32, 1.5, 32);
            cairo_fill(cr);
        }
    });
}
TmbTexture wallpaper() {
    return paintTexture("wallpaper", 64, 64, [](cairo_t* cr) {
        setColour(cr, {1, 0.96, 0.9});
        cairo_paint(cr);
        setColour(cr, {1, 0.85, 0.85});
        cairo_rectangle(cr, 0, 0, 12, 64);
        cairo_fill(cr);
        setColour(cr, {0.95, 0.7, 0.75});
        for (int k = 0; k < 2; ++k) {
            cairo_arc(cr, 38, 16 + k * 32, 4, 0, 6.2831853);
            cairo_fill(cr);
        }
    });
}
TmbTexture grass() {
    return paintTexture("grass", 128, 128, [](cairo_t* cr) {
        setColour(cr, {0.95, 0.95, 0.95});
        cairo_paint(cr);
        unsigned seed = 5;
        for (int i = 0; i < 500; ++i) {
            seed = seed * 1103515245u + 12345u;
            const double x = (seed >> 8) % 128, y = (seed >> 16) % 128;
            setColour(cr, (seed >> 4) % 2 ? Rgb{0.8, 0.9, 0.75} : Rgb{1, 1, 0.9}, 0.7);
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x + 1, y - 4);
            cairo_set_line_width(cr, 1.2);
            cairo_stroke(cr);
        }
    });
}
TmbTexture white() {
    return solidTexture("white", {1, 1, 1});
}
TmbTexture stars() {
    return paintTexture("stars", 128, 128, [](cairo_t* cr) {
        setColour(cr, {0.55, 0.55, 0.6});
        cairo_paint(cr);
        unsigned seed = 9;
        for (int i = 0; i < 60; ++i) {
            seed = seed * 1103515245u + 12345u;
            cairo_arc(cr, (seed >> 8) % 128, (seed >> 16) % 128, 0.8 + (seed >> 3) % 3 * 0.4, 0,
                      6.2831853);
            setColour(cr, {1, 1, 1.0});
            cairo_fill(cr);
        }
    });
}

std::vector<uint8_t> room() {
    StageBuilder s;
    const int floor = s.texture(planks()), wall = s.texture(wallpaper()),
              plain = s.texture(white());
    s.begin("floor", floor);
    s.quad({-22, 0, 22}, {22, 0, 22}, {22, 0, -12}, {-22, 0, -12}, {1, 1, 1}, 0.25f);
    s.begin("walls", wall);
    s.quad({-22, 0, -12}, {22, 0, -12}, {22, 24, -12}, {-22, 24, -12}, {1, 1, 1}, 0.25f);
    s.quad({-22, 0, 22}, {-22, 0, -12}, {-22, 24, -12}, {-22, 24, 22}, {0.95, 0.95, 0.95}, 0.25f);
    s.quad({22, 0, -12}, {22, 0, 22}, {22, 24, 22}, {22, 24, -12}, {0.95, 0.95, 0.95}, 0.25f);
    s.begin("ceiling", plain);
    s.quad({-22, 24, -12}, {22, 24, -12}, {22, 24, 22}, {-22, 24, 22}, {1, 0.98, 0.95}, 0.25f,
           0.3f);
    s.begin("furniture", plain);
    // Window with a view of the sky, frame and curtains.
    s.quad({-7, 8, -11.95f}, {3, 8, -11.95f}, {3, 17, -11.95f}, {-7, 17, -11.95f}, {0.65, 0.85, 1},
           0.1f, 0.4f);
    s.box({-7.4f, 7.6f, -12}, {3.4f, 8.0f, -11.6f}, {1, 1, 1});
    s.box({-7.4f, 17, -12}, {3.4f, 17.4f, -11.6f}, {1, 1, 1});
    s.box({-2.2f, 8, -12}, {-1.8f, 17, -11.8f}, {1, 1, 1});
    s.box({-9.2f, 7, -11.7f}, {-7.2f, 18, -11.2f}, {1, 0.7, 0.75});
    s.box({3.2f, 7, -11.7f}, {5.2f, 18, -11.2f}, {1, 0.7, 0.75});
    // Rug under her.
    s.cylinder({0, 0, 0}, 5.5f, 5.5f, 0.06f, 32, {0.75, 0.85, 1});
    s.cylinder({0, 0.01f, 0}, 4.2f, 4.2f, 0.06f, 32, {1, 0.95, 0.85});
    // Bed on the right, shelf on the left, a small table.
    s.box({9, 0, -11.8f}, {20, 2.6f, -2}, {0.85, 0.65, 0.5});
    s.box({9.2f, 2.6f, -11.6f}, {19.8f, 3.6f, -2.2f}, {1, 1, 1});
    s.box({9.4f, 3.6f, -11.2f}, {13, 4.6f, -8.5f}, {1, 0.85, 0.9});
    s.box({9.2f, 3.6f, -7.6f}, {19.8f, 3.9f, -2.2f}, {1, 0.75, 0.82});
    s.box({9, 0, -12}, {9.6f, 6.5f, -11.4f}, {0.75, 0.55, 0.42});
    // An open bookshelf: back, sides, top and full-depth shelves with books on them.
    const Rgb wood{0.8, 0.62, 0.46};
    s.box({-20, 0, -11.8f}, {-13, 13, -11.5f}, wood);
    s.box({-20, 0, -11.8f}, {-19.7f, 13, -9.4f}, wood);
    s.box({-13.3f, 0, -11.8f}, {-13, 13, -9.4f}, wood);
    s.box({-20, 12.7f, -11.8f}, {-13, 13, -9.4f}, wood);
    for (int shelf = 0; shelf < 4; ++shelf) {
        s.box({-19.7f, 1 + shelf * 3.0f, -11.5f}, {-13.3f, 1.3f + shelf * 3.0f, -9.4f},
              {0.7, 0.52, 0.38});
        for (int book = 0; book < 6; ++book) {
            const Rgb colours[] = {
                {0.9, 0.4, 0.4}, {0.4, 0.6, 0.9}, {0.95, 0.85, 0.4}, {0.5, 0.8, 0.5}};
            const float x = -19.5f + book * 0.95f;
            s.box({x, 1.3f + shelf * 3.0f, -11.4f},
                  {x + 0.75f, 3.3f + shelf * 3.0f - (book % 3) * 0.3f, -9.8f},
                  colours[(book + shelf) % 4]);
        }
    }
    s.cylinder({-8, 0, 5}, 0.3f, 0.3f, 2.6f, 12, {0.8, 0.62, 0.46});
    s.cylinder({-8, 2.6f, 5}, 2.2f, 2.2f, 0.25f, 24, {0.95, 0.8, 0.62});
    s.cylinder({-8, 2.85f, 5}, 0.35f, 0.45f, 0.9f, 12, {0.6, 0.8, 1});
    // Ceiling fan: the one thing that moves (bone 1).
    s.begin("fan", plain);
    s.bone = 1;
    s.cylinder({0, 21, -2}, 0.25f, 0.25f, 3, 10, {0.9, 0.9, 0.9});
    for (int blade = 0; blade < 4; ++blade) {
        const float a = blade * 1.5707963f;
        const V3 dir{std::sin(a), 0, std::cos(a)}, side{std::cos(a), 0, -std::sin(a)};
        const V3 c{0, 21.2f, -2};
        s.quad(c + side * 0.4f, c + side * -0.4f, c + side * -0.6f + dir * 4.5f,
               c + side * 0.6f + dir * 4.5f, {0.95, 0.9, 0.85}, 0.2f);
        s.quad(c + side * -0.4f, c + side * 0.4f, c + side * 0.6f + dir * 4.5f,
               c + side * -0.6f + dir * 4.5f, {0.8, 0.75, 0.7}, 0.2f);
    }
    s.bone = 0;
    return s.finish({place("loc_pos00", {0, 0, 0}), place("loc_cam00", {0, 0, 0}),
                     place("loc_pos01", {5, 0, -2})},
                    2);
}

std::vector<uint8_t> park() {
    StageBuilder s;
    const int ground = s.texture(grass()), plain = s.texture(white());
    s.begin("sky", plain, false);
    s.ambient = 1;
    s.sphere(
        {0, 0, 0}, {200, 120, 200}, 12, 32,
        [](float y) {
            return mix({1, 0.93, 0.85}, {0.45, 0.7, 1}, clampf(y * 1.6f, 0, 1));
        },
        true, 0, -0.05f);
    s.ambient = 0.62f;
    s.begin("ground", ground);
    s.cylinder({0, -0.2f, 0}, 150, 150, 0.2f, 48, {0.55, 0.8, 0.45}, 0.2f);
    s.begin("things", plain);
    // A stone path.
    for (int i = 0; i < 9; ++i)
        s.cylinder({std::sin(i * 0.6f) * 1.5f, 0, 6 - i * 3.5f}, 1.1f, 1.0f, 0.08f, 10,
                   {0.85, 0.82, 0.78});
    // Trees around the clearing.
    const V3 trees[] = {{-14, 0, -16}, {12, 0, -20}, {-24, 0, -4}, {22, 0, -6},
                        {-6, 0, -30},  {30, 0, -28}, {-34, 0, -26}};
    for (const V3& t : trees) {
        s.cylinder(t, 0.8f, 0.55f, 7, 10, {0.55, 0.38, 0.25});
        s.sphere(t + V3{0, 9.5f, 0}, {4.5f, 4.2f, 4.5f}, 8, 14, [](float y) {
            return mix({0.3, 0.6, 0.3}, {0.5, 0.8, 0.4}, y * 0.5f + 0.5f);
        });
        s.sphere(t + V3{1.8f, 7.5f, 1.2f}, {3, 2.8f, 3}, 6, 12, [](float) {
            return Rgb{0.4, 0.7, 0.35};
        });
    }
    // Flowers and a bench.
    unsigned seed = 3;
    for (int i = 0; i < 60; ++i) {
        seed = seed * 1103515245u + 12345u;
        const float a = (seed >> 8) % 6283 / 1000.0f, r = 5 + (seed >> 4) % 1400 / 100.0f;
        const Rgb colours[] = {{1, 0.6, 0.7}, {1, 1, 0.6}, {1, 1, 1}, {0.8, 0.6, 1}};
        s.sphere({std::sin(a) * r, 0.25f, std::cos(a) * r - 4}, {0.25f, 0.18f, 0.25f}, 4, 6,
                 [&](float) { return colours[(seed >> 12) % 4]; });
    }
    s.box({8, 1.6f, -8}, {14, 1.9f, -6.5f}, {0.8, 0.55, 0.35});
    s.box({8, 1.9f, -8.2f}, {14, 3.6f, -7.9f}, {0.8, 0.55, 0.35});
    s.box({8.3f, 0, -7.8f}, {8.7f, 1.6f, -6.7f}, {0.3, 0.3, 0.32});
    s.box({13.3f, 0, -7.8f}, {13.7f, 1.6f, -6.7f}, {0.3, 0.3, 0.32});
    return s.finish({place("loc_pos00", {0, 0, 0}), place("loc_cam00", {0, 0, 0}, 0.35f),
                     place("loc_pos01", {11, 1.9f, -7})});
}

std::vector<uint8_t> nightStage() {
    StageBuilder s;
    const int sky = s.texture(stars()), plain = s.texture(white());
    s.begin("sky", sky, false);
    s.ambient = 1;
    s.sphere(
        {0, 0, 0}, {200, 140, 200}, 12, 32,
        [](float y) {
            return mix({0.62, 0.45, 0.9}, {0.1, 0.11, 0.36}, clampf(y * 1.5f, 0, 1));
        },
        true, 0, -0.2f);
    s.ambient = 0.55f;
    s.begin("stage", plain);
    s.cylinder({0, -30, 0}, 300, 300, 29.0f, 32, {0.12, 0.12, 0.2});
    // A round platform whose top is at 0 where she stands, with steps.
    s.cylinder({0, -1, 0}, 9, 9, 1, 40, {0.55, 0.5, 0.7});
    s.cylinder({0, -0.02f, 0}, 7.5f, 7.5f, 0.04f, 40, {0.85, 0.8, 1});
    s.cylinder({0, -1, 0}, 10.5f, 10.5f, 0.5f, 40, {0.4, 0.36, 0.55});
    // Pillars with glowing tops, in a half circle behind her.
    for (int i = 0; i < 7; ++i) {
        const float a = 3.14159265f * (0.5f + i / 6.0f);
        const V3 base{std::sin(a) * 14, -1, std::cos(a) * 14 - 3};
        s.cylinder(base, 0.9f, 0.8f, 12, 14, {0.8, 0.78, 0.9});
        s.ambient = 1;
        s.sphere(
            base + V3{0, 13, 0}, {1, 1, 1}, 6, 10,
            [](float) {
                return Rgb{1, 0.9, 0.6};
            },
            false, 0.5f);
        s.ambient = 0.55f;
    }
    // Floating lights.
    unsigned seed = 21;
    s.ambient = 1;
    for (int i = 0; i < 40; ++i) {
        seed = seed * 1103515245u + 12345u;
        const float x = ((seed >> 8) % 4000) / 100.0f - 20, y = 3 + ((seed >> 4) % 1800) / 100.0f,
                    z = -static_cast<float>((seed >> 12) % 2500) / 100.0f - 6;
        const Rgb colours[] = {{1, 0.8, 0.9}, {0.8, 0.9, 1}, {1, 1, 0.8}};
        s.sphere(
            {x, y, z}, {0.3f, 0.3f, 0.3f}, 4, 6, [&](float) { return colours[i % 3]; }, false, 1);
    }
    return s.finish({place("loc_pos00", {0, 0, 0}), place("loc_cam00", {0, 0, 0}, -0.25f),
                     place("loc_pos01", {-4, 0, -3})});
}

// The fan turns once every two seconds about its axis.
MotionData fanMotion() {
    MotionData m;
    m.boneCount = 2;
    m.frameCount = 90;
    m.boneNames = {"room", "fan"};
    const V3 axis{0, 21.2f, -2};
    for (int f = 0; f < m.frameCount; ++f) {
        m.matrices.push_back(identity16());
        m.matrices.push_back(
            matMul(matMul(matTranslate(axis * -1.0f), matRotateY(f / 90.0f * 6.2831853f)),
                   matTranslate(axis)));
    }
    return m;
}

// A camera path sampled from `at`(t) for t in 0..1 over `frames` frames.
std::string cameraPath(int frames, const std::function<CameraFrameData(float)>& at) {
    CameraPathData path;
    for (int f = 0; f < frames; ++f)
        path.frames.push_back(at(static_cast<float>(f) / (frames - 1)));
    return writeTcm(path);
}

CameraFrameData orbit(float angle, float radius, float eyeY, V3 target) {
    CameraFrameData c;
    c.eye = {target.x + radius * std::sin(angle), eyeY, target.z + radius * std::cos(angle)};
    c.target = {target.x, target.y, target.z};
    return c;
}

float easeInOut(float t) {
    return t * t * (3 - 2 * t);
}
}  // namespace

void buildStages(Output* out) {
    out->writeBytes("stage01.tmb", room());
    out->writeBytes("stage01.tsb", writeTsb(fanMotion()));
    out->writeBytes("stage02.tmb", park());
    out->writeBytes("stage03.tmb", nightStage());
    // Opening: from high and far to the side down to her face (about five seconds).
    out->writeText(
        "opening.tcm", cameraPath(160, [](float t) {
            const float e = easeInOut(t);
            return orbit(1.1f * (1 - e), 40 - 26 * e, 20 - 7.5f * e, {0, 6 + 6.5f * e, 0});
        }));
    // Shot 1: a slow push towards her face from the left.
    out->writeText("shot01.tcm", cameraPath(220, [](float t) {
                       const float e = easeInOut(t);
                       return orbit(-0.35f + 0.15f * e, 10 - 3.5f * e, 12.8f + 0.3f * e,
                                    {0, 12.3f + 0.8f * e, 0});
                   }));
    // Shot 2: a gentle half orbit at full height, then back.
    out->writeText("shot02.tcm", cameraPath(360, [](float t) {
                       return orbit(0.6f * std::sin(t * 6.2831853f), 19, 9.5f, {0, 7.6f, 0});
                   }));
    ArchivePlan camera;
    camera.archive = "camera.tr2";
    camera.members = {"opening.tcm", "shot01.tcm", "shot02.tcm"};
    for (size_t i = 0; i < camera.members.size(); ++i)
        camera.description += "FILE_" + std::to_string(i) + "=" + camera.members[i] + "\n";
    out->archives.push_back(camera);

    ArchivePlan motions;
    motions.archive = "heroine.tr2";
    motions.members = {"idle.tsb", "greet.tsb", "bow.tsb", "turn.tsb"};
    for (size_t i = 0; i < motions.members.size(); ++i)
        motions.description += "FILE_" + std::to_string(i) + "=" + motions.members[i] + "\n";
    out->archives.push_back(motions);

    struct Background {
        const char *name, *stage, *motion, *title;
        const char *eye, *target;
    };
    const Background backgrounds[] = {
        {"bg01", "stage01", "stage01.tsb", "わたしの部屋", "-6,10,24", "0,7,-2"},
        {"bg02", "stage02", nullptr, "ひだまりの公園", "-8,9,26", "0,6,-4"},
        {"bg03", "stage03", nullptr, "星空のステージ", "6,8,26", "0,6,-3"},
    };
    for (const Background& b : backgrounds) {
        ArchivePlan a;
        a.archive = std::string(b.name) + ".tr2";
        const std::string sample = std::string("sample_") + b.stage + ".psd";
        a.description = "TYPE=BG\nNAME=" + std::string(b.name) + "\nFILE_0=" + b.stage + ".tmb\n";
        a.members = {std::string(b.stage) + ".tmb"};
        if (b.motion) {
            a.description += std::string("FILE_1=") + b.motion + "\n";
            a.members.push_back(b.motion);
        }
        a.description += "ICON_0=" + sample + "\nCAPTION_0=" + b.title + "\n";
        a.members.push_back(sample);
        IconShot shot;
        shot.file = sample;
        shot.kind = "sample";
        shot.eye = b.eye;
        shot.target = b.target;
        shot.light = "0,-1,0";
        shot.models = {std::string(b.stage) + ".tmb"};
        a.shots = {shot};
        out->archives.push_back(std::move(a));
    }
}
