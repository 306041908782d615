// The TMB model writer.
#include "tools/writers/tmb_writer.h"

#include "tools/writers/byte_writer.h"

Matrix16 identity16() {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

namespace {
void floats(ByteWriter& w, const float* values, size_t count) {
    for (size_t i = 0; i < count; ++i) w.f32le(values[i]);
}
}  // namespace

std::vector<uint8_t> writeTmb(const TmbModel& model) {
    ByteWriter w;
    w.text("TMB0");
    w.i32le(static_cast<int32_t>(model.textures.size()));
    for (const TmbTexture& t : model.textures) {
        w.fixedText(t.name.substr(0, 31), 32);
        w.u16le(static_cast<uint16_t>(t.width));
        w.u16le(static_cast<uint16_t>(t.height));
        const size_t count = static_cast<size_t>(t.width) * static_cast<size_t>(t.height);
        for (size_t i = 0; i < count; ++i) w.u32le(i < t.argb.size() ? t.argb[i] : 0);
    }
    w.i32le(static_cast<int32_t>(model.materials.size()));
    for (const TmbMaterial& m : model.materials) {
        floats(w, m.diffuse.data(), 4);
        floats(w, m.ambient.data(), 4);
        floats(w, m.specular.data(), 4);
        floats(w, m.emissive.data(), 4);
        w.f32le(m.power);
        w.i32le(m.texture);
    }
    w.i32le(static_cast<int32_t>(model.meshes.size()));
    for (const TmbMesh& mesh : model.meshes) {
        w.fixedText(mesh.name, 32);
        floats(w, mesh.matrix.data(), 16);
        w.i32le(static_cast<int32_t>(mesh.vertices.size() / 3));
        w.i32le(mesh.oneSided ? 1 : 0);
        w.i32le(static_cast<int32_t>(mesh.ranges.size() + 1));
        for (const TmbRange& r : mesh.ranges) {
            w.i32le(r.material);
            w.i32le(r.firstVertex);
            w.i32le(r.triangleCount);
        }
        w.i32le(0);
        w.i32le(-1);
        w.i32le(0);
        const size_t whole = mesh.vertices.size() / 3 * 3;  // whole triangles only
        for (size_t i = 0; i < whole; ++i) {
            const TmbVertex& v = mesh.vertices[i];
            floats(w, v.position.data(), 3);
            floats(w, v.weights.data(), 3);
            w.raw(v.bones.data(), 4);
            floats(w, v.normal.data(), 3);
            w.u32le(v.colour);
            floats(w, v.uv.data(), 2);
        }
    }
    w.i32le(static_cast<int32_t>(model.boneOffsets.size()));
    for (const Matrix16& m : model.boneOffsets) floats(w, m.data(), 16);
    w.i32le(static_cast<int32_t>(model.placements.size()));
    for (const TmbPlacement& p : model.placements) {
        w.u32le(0);
        floats(w, p.position.data(), 3);
        floats(w, p.rotation.data(), 3);
        floats(w, p.scale.data(), 3);
    }
    for (const TmbPlacement& p : model.placements) {
        w.text(p.name);
        w.u8(0);
    }
    return std::move(w.bytes);
}
