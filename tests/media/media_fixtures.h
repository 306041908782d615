// Shared pieces of the media tests: add-on archives and small models.
#pragma once

#include <string>
#include <vector>

#include "tests/support/test_files.h"
#include "tools/writers/archive_writer.h"
#include "tools/writers/motion_writer.h"
#include "tools/writers/tmb_writer.h"

ArchiveMember member(const std::string& name, const std::vector<uint8_t>& bytes);
// Writes add-ons/media.tr2 in the current folder with these members and rebuilds the catalogue.
void installAddOn(const std::vector<ArchiveMember>& members);

// Matrices in the writers' row-major form.
Matrix16 translation16(float x, float y, float z);
Matrix16 rotationZ16(float radians);

// A vertex on bones `a` (weight w) and `b` (the rest) with colour and normal towards -z.
TmbVertex skinnedVertex(float x, float y, float z, uint8_t a, uint8_t b, float w,
                        uint32_t colour = 0xFFFFFFFF);
// A one-sided, untextured rectangle in the z = `z` plane, counter-clockwise (its front) as seen
// from +z, all vertices on bone `bone`; one range of material 0.
TmbMesh rectangleMesh(const std::string& name, float left, float top, float right, float bottom,
                      float z, uint8_t bone = 0, uint32_t colour = 0xFFFFFFFF);
