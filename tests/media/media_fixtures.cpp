// Shared pieces of the media tests.
#include "tests/media/media_fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "archive/catalogue.h"

ArchiveMember member(const std::string& name, const std::vector<uint8_t>& bytes) {
    ArchiveMember m;
    m.name = name;
    m.data = bytes;
    return m;
}

void installAddOn(const std::vector<ArchiveMember>& members) {
    std::filesystem::create_directories("add-ons");
    std::string error;
    ASSERT_TRUE(
        writeArchiveFile("add-ons/media.tr2", fileListDescription(members), members, &error))
        << error;
    buildCatalogue();
}

Matrix16 translation16(float x, float y, float z) {
    Matrix16 m = identity16();
    m[12] = x, m[13] = y, m[14] = z;
    return m;
}

Matrix16 rotationZ16(float a) {
    Matrix16 m = identity16();
    m[0] = std::cos(a), m[1] = std::sin(a);
    m[4] = -std::sin(a), m[5] = std::cos(a);
    return m;
}

TmbVertex skinnedVertex(float x, float y, float z, uint8_t a, uint8_t b, float w, uint32_t colour) {
    TmbVertex v;
    v.position = {x, y, z};
    v.weights = {w, 1 - w, 0};
    v.bones = {a, b, 0, 0};
    v.normal = {0, 0, 1};
    v.colour = colour;
    return v;
}

TmbMesh rectangleMesh(const std::string& name, float left, float top, float right, float bottom,
                      float z, uint8_t bone, uint32_t colour) {
    TmbMesh mesh;
    mesh.name = name;
    const TmbVertex tl = skinnedVertex(left, top, z, bone, bone, 1, colour);
    const TmbVertex tr = skinnedVertex(right, top, z, bone, bone, 1, colour);
    const TmbVertex br = skinnedVertex(right, bottom, z, bone, bone, 1, colour);
    const TmbVertex bl = skinnedVertex(left, bottom, z, bone, bone, 1, colour);
    mesh.vertices = {tl, bl, br, tl, br, tr};
    mesh.ranges = {{0, 0, 2}};
    return mesh;
}
