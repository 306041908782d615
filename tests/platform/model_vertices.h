// The 52-byte model vertex (format 0x115C) and a triangle list of them drawn on a device, for
// tests that draw through the fixed-function pipeline.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/render_device.h"

struct Vertex {
    float x, y, z;
    float weights[3];
    uint8_t indices[4];
    float nx, ny, nz;
    uint32_t colour;
    float u, v;
};
static_assert(sizeof(Vertex) == 52);

// Draws `vertices` as a triangle list from a buffer of their own, which `buffers` keeps: the
// device's stream source must outlive the draw.
inline void drawTriangleList(RenderDevice* device, const std::vector<Vertex>& vertices,
                             std::vector<std::unique_ptr<VertexBuffer>>& buffers) {
    std::unique_ptr<VertexBuffer> buffer;
    ASSERT_EQ(device->createVertexBuffer(static_cast<uint32_t>(vertices.size() * sizeof(Vertex)), 0,
                                         kModelVertexFormat, D3DPOOL_MANAGED, &buffer),
              D3D_OK);
    uint8_t* bytes = nullptr;
    buffer->lock(0, 0, &bytes, 0);
    std::memcpy(bytes, vertices.data(), vertices.size() * sizeof(Vertex));
    buffer->unlock();
    device->setStreamSource(0, buffer.get(), sizeof(Vertex));
    ASSERT_EQ(
        device->drawPrimitive(D3DPT_TRIANGLELIST, 0, static_cast<uint32_t>(vertices.size() / 3)),
        D3D_OK);
    buffers.push_back(std::move(buffer));
}
