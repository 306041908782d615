// Layered images: every PSD layer uploaded once into a power-of-two texture.
#include "gfx/layered_image.h"

#include <bit>
#include <cstdlib>
#include <cstring>

#include "archive/catalogue.h"
#include "gfx/graphics_device.h"
#include "media/psd_decoder.h"

namespace {
// The smallest power of two >= n; an empty side gets 1.
uint32_t textureSide(int32_t n) {
    return n <= 0 ? 1 : std::bit_ceil(static_cast<uint32_t>(n));
}

// Zeroes the texture and copies the layer's rows into its top-left corner.
void upload(Texture& texture, const PsdLayer* decoded) {
    D3DLOCKED_RECT locked;
    if (FAILED(texture.lockRect(0, &locked, nullptr, 0))) return;
    auto* bits = static_cast<uint8_t*>(locked.pBits);
    const size_t rowBytes = static_cast<size_t>(texture.width()) * 4;
    for (int y = 0; y < texture.height(); ++y)
        std::memset(bits + size_t(y) * locked.Pitch, 0, rowBytes);
    if (decoded && decoded->pixels)
        for (int32_t y = 0; y < decoded->height; ++y)
            std::memcpy(bits + size_t(y) * locked.Pitch,
                        decoded->pixels + size_t(y) * static_cast<size_t>(decoded->width),
                        static_cast<size_t>(decoded->width) * 4);
    texture.unlockRect(0);
}
}  // namespace

LayeredImage::LayeredImage(RenderDevice* device, const uint8_t* psdData, size_t size)
    : device_(device) {
    const PsdLayers document(psdData, size);
    const int count = document.count();
    count_ = count > 0 ? count : 0;
    layers_ = std::make_unique<ImageLayer[]>(static_cast<size_t>(count_));
    for (int i = 0; i < count_; ++i) {
        ImageLayer& layer = layers_[i];
        // A layer the decoder refuses (too large for any texture, or not backed by the file's
        // bytes) stays empty and unnamed.
        PsdLayer* decoded = document.read(i);
        if (decoded) {
            layer.left = decoded->left;
            layer.top = decoded->top;
            layer.width = decoded->width;
            layer.height = decoded->height;
            layer.opacity = decoded->opacity;
            std::memcpy(layer.name, decoded->name, 31);
            layer.name[31] = 0;
        }
        if (!device_ ||
            FAILED(device_->createTexture(textureSide(layer.width), textureSide(layer.height), 1, 0,
                                          D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &layer.texture)) ||
            !layer.texture) {
            freePsdLayer(decoded);
            std::exit(-1);
        }
        upload(*layer.texture, decoded);
        freePsdLayer(decoded);
    }
}

LayeredImage::~LayeredImage() = default;

const ImageLayer* LayeredImage::layer(int index) const {
    return index >= 0 && index < count_ ? &layers_[index] : nullptr;
}

int LayeredImage::findLayer(const char* name) const {
    if (!name) return -1;
    for (int i = 0; i < count_; ++i)
        if (std::strncmp(layers_[i].name, name, 31) == 0) return i;
    return -1;
}

Texture* LayeredImage::texture(int index) const {
    const ImageLayer* l = layer(index);
    return l ? l->texture.get() : nullptr;
}

int LayeredImage::layerWidth(int index) const {
    const ImageLayer* l = layer(index);
    return l ? static_cast<int>(static_cast<float>(l->width) * horizontalScale) : 0;
}

int LayeredImage::layerHeight(int index) const {
    const ImageLayer* l = layer(index);
    return l ? static_cast<int>(static_cast<float>(l->height) * verticalScale) : 0;
}

int LayeredImage::layerLeft(int index) const {
    const ImageLayer* l = layer(index);
    return l ? static_cast<int>(static_cast<float>(l->left) * horizontalScale) : 0;
}

int LayeredImage::layerTop(int index) const {
    const ImageLayer* l = layer(index);
    return l ? static_cast<int>(static_cast<float>(l->top) * verticalScale) : 0;
}

uint32_t LayeredImage::opacity(int index) const {
    const ImageLayer* l = layer(index);
    return l ? l->opacity : 0;
}

const char* LayeredImage::layerName(int index) const {
    const ImageLayer* l = layer(index);
    return l ? l->name : nullptr;
}

std::unique_ptr<LayeredImage> loadLayeredImage(const char* name) {
    size_t size = 0;
    char* data = loadFile(name, &size);
    GraphicsDevice* g = graphicsDevice();
    auto image = std::make_unique<LayeredImage>(g ? g->device() : nullptr,
                                                reinterpret_cast<const uint8_t*>(data), size);
    std::free(data);
    return image;
}
