// A real render device on a hidden offscreen window.
#include "tests/support/headless_device.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "app/settings.h"
#include "archive/catalogue.h"
#include "tests/support/test_font.h"
#include "tools/writers/archive_writer.h"

HeadlessDevice::HeadlessDevice(int width, int height) {
    // The device loads "font.bin" from the add-ons of the current folder: give it the test font.
    std::filesystem::create_directories("add-ons");
    ArchiveMember font;
    font.name = "font.bin";
    font.data = testFontBytes();
    // CTest runs the cases of one program side by side in the same folder: write the archive
    // under a name of this process and move it into place, so that no case reads it half written.
    const std::string partial = "add-ons/headless_font." + std::to_string(getpid()) + ".part";
    writeArchiveFile(partial, "FILE_0=font.bin\n", {font});
    std::filesystem::rename(partial, "add-ons/headless_font.tr2");
    buildCatalogue();
    resetSettings();
    Settings& s = mutableSettings();
    s.screenWidth = width;
    s.screenHeight = height;
    s.windowed = true;
    WindowDescription d;
    d.title = "test";
    d.outerWidth = width;
    d.outerHeight = height;
    window = createWindow(d);
    if (!window) return;
    graphics = std::make_unique<GraphicsDevice>();
    setGraphicsDevice(graphics.get());
    if (!graphics->init(window.get())) graphics.reset();
}

HeadlessDevice::~HeadlessDevice() {
    if (graphics && graphicsDevice() == graphics.get()) setGraphicsDevice(nullptr);
    graphics.reset();
    window.reset();
    resetSettings();
}

void HeadlessDevice::readBack() { device()->readBackBuffer(&image); }

uint32_t HeadlessDevice::pixel(int x, int y) {
    uint32_t v = 0;
    std::memcpy(&v, image.bytes.data() + static_cast<size_t>(y) * image.pitch + x * 4, 4);
    return v;
}

std::unique_ptr<Texture> solidTexture(RenderDevice* device, int width, int height, uint32_t argb) {
    std::unique_ptr<Texture> texture;
    device->createTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture);
    if (!texture) return nullptr;
    D3DLOCKED_RECT locked;
    texture->lockRect(0, &locked, nullptr, 0);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < width; ++x) row[x] = argb;
    }
    texture->unlockRect(0);
    return texture;
}

PlainSprites::PlainSprites() {
    setenv("TR2_GL_PLAIN_SPRITES", "1", 1);
}

PlainSprites::~PlainSprites() {
    unsetenv("TR2_GL_PLAIN_SPRITES");
}

std::string firstDifference(const BackBufferImage& a, const BackBufferImage& b) {
    if (a.width != b.width || a.height != b.height || a.pitch != b.pitch) return "sizes differ";
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            uint32_t p = 0, q = 0;
            std::memcpy(&p, a.bytes.data() + size_t(y) * a.pitch + size_t(x) * 4, 4);
            std::memcpy(&q, b.bytes.data() + size_t(y) * b.pitch + size_t(x) * 4, 4);
            if (p != q) {
                char text[80];
                std::snprintf(text, sizeof text, "(%d, %d): %08X vs %08X", x, y, p, q);
                return text;
            }
        }
    return "";
}

std::vector<uint32_t> textureTexels(Texture& texture) {
    D3DLOCKED_RECT locked;
    std::vector<uint32_t> out(static_cast<size_t>(texture.width()) * texture.height());
    if (FAILED(texture.lockRect(0, &locked, nullptr, D3DLOCK_READONLY))) return out;
    for (int y = 0; y < texture.height(); ++y)
        std::memcpy(out.data() + static_cast<size_t>(y) * texture.width(),
                    static_cast<uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch,
                    texture.width() * 4u);
    texture.unlockRect(0);
    return out;
}
