// A PSD document turned into one texture per layer, with each layer's name and placement.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/render_device.h"

struct ImageLayer {
    std::unique_ptr<Texture> texture;
    int32_t left = 0, top = 0;  // on the PSD canvas, design pixels
    int32_t width = 0, height = 0;
    uint32_t opacity = 0;  // 0..255
    char name[32] = {};    // at most 31 bytes of the layer name
};

class LayeredImage;

// The PSD `name` from the add-ons as a layered image of the process's device (a missing file
// ends the program inside loadFile).
std::unique_ptr<LayeredImage> loadLayeredImage(const char* name);

class LayeredImage {
public:
    // Decodes every layer of the document into a texture of `device`. `psdData` stays the
    // caller's. A document the decoder refuses gives an image without layers. A texture that
    // cannot be created ends the process with exit code -1.
    LayeredImage(RenderDevice* device, const uint8_t* psdData, size_t size);
    ~LayeredImage();
    LayeredImage(const LayeredImage&) = delete;
    LayeredImage& operator=(const LayeredImage&) = delete;

    // The first layer whose name equals `name` in its first 31 bytes, or -1.
    int findLayer(const char* name) const;
    // The layer's texture, or null for an index outside the layers.
    Texture* texture(int index) const;
    // Size and position times the scale, truncated toward zero; 0 outside the layers.
    int layerWidth(int index) const;
    int layerHeight(int index) const;
    int layerLeft(int index) const;
    int layerTop(int index) const;
    int layerCount() const { return count_; }
    // 0..255, 0 outside the layers.
    uint32_t opacity(int index) const;
    // The layer's name, or null outside the layers.
    const char* layerName(int index) const;

    float horizontalScale = 1.0f;
    float verticalScale = 1.0f;

private:
    const ImageLayer* layer(int index) const;

    RenderDevice* device_;
    std::unique_ptr<ImageLayer[]> layers_;
    int32_t count_ = 0;
};
