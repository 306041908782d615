// The render device wrapper: creation with fallbacks, fixed states, camera transforms and frames.
#include "gfx/graphics_device.h"

#include <cmath>

#include "app/settings.h"
#include "app/startup_report.h"
#include "platform/message_box.h"
#include "platform/system.h"
#include "platform/window.h"

const char kDeviceFailureMessage[] =
    "DirectX8 \x82\xCC\x8F\x89\x8A\xFA\x89\xBB\x82\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC\x82\xB5"
    "\x82\xBD\x81\x42  \n\x8F\x49\x97\xB9\x82\xB5\x82\xDC\x82\xB7\x81\x42";

namespace {
GraphicsDevice* current = nullptr;

struct CreationAttempt {
    D3DDEVTYPE type;
    uint32_t flags;
};
constexpr CreationAttempt kAttempts[] = {
    {D3DDEVTYPE_HAL, D3DCREATE_PUREDEVICE | D3DCREATE_SOFTWARE_VERTEXPROCESSING},
    {D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
    {D3DDEVTYPE_REF, D3DCREATE_PUREDEVICE | D3DCREATE_HARDWARE_VERTEXPROCESSING},
    {D3DDEVTYPE_REF, D3DCREATE_HARDWARE_VERTEXPROCESSING},
    {D3DDEVTYPE_REF, D3DCREATE_PUREDEVICE | D3DCREATE_SOFTWARE_VERTEXPROCESSING},
    {D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
};
}  // namespace

GraphicsDevice* graphicsDevice() {
    return current;
}
void setGraphicsDevice(GraphicsDevice* device) {
    current = device;
}

GraphicsDevice::~GraphicsDevice() {
    // The glyphs, the sprite and the device go before the factory, as their owner would
    // release them.
    glyphs_.reset();
    sprite_.reset();
    device_.reset();
    direct3d_.reset();
    if (current == this) current = nullptr;
}

bool GraphicsDevice::init(Window* window, bool withText) {
    window_ = window;
    shiftA_ = shiftB_ = 0;
    eye_ = {1, 1, 1};
    target_ = {0, 1, 0};
    up_ = {0, 1, 0};

    bool ok = false;
    direct3d_ = window ? Direct3DCreate8(D3D_SDK_VERSION) : nullptr;
    if (direct3d_) {
        parameters_ = {};
        parameters_.BackBufferWidth = static_cast<uint32_t>(screenWidth());
        parameters_.BackBufferHeight = static_cast<uint32_t>(screenHeight());
        parameters_.BackBufferCount = 1;
        parameters_.SwapEffect = D3DSWAPEFFECT_DISCARD;
        parameters_.Windowed = isWindowed() ? 1 : 0;
        parameters_.EnableAutoDepthStencil = 1;
        parameters_.AutoDepthStencilFormat = D3DFMT_D24X8;
        bool haveFormat = true;
        if (isWindowed()) {
            D3DDISPLAYMODE mode;
            haveFormat = SUCCEEDED(direct3d_->getAdapterDisplayMode(0, &mode));
            parameters_.BackBufferFormat = mode.Format;
        } else {
            parameters_.BackBufferFormat = D3DFMT_X8R8G8B8;
        }
        for (int i = 0; haveFormat && i < static_cast<int>(std::size(kAttempts)); ++i) {
            D3DPRESENT_PARAMETERS tried = parameters_;
            if (SUCCEEDED(direct3d_->createDevice(0, kAttempts[i].type, window, kAttempts[i].flags,
                                                  &tried, &device_))) {
                parameters_ = tried;
                creationAttempt_ = i + 1;
                ok = true;
                break;
            }
        }
    }
    if (!ok) {
        messageBox(kDeviceFailureMessage, "TR2WINDOW", MB_ICONERROR);
        return false;
    }

    device_->setRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device_->setRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    device_->setRenderState(D3DRS_AMBIENT, 0xFFFFFFFF);
    device_->setRenderState(D3DRS_SPECULARENABLE, 1);
    device_->setRenderState(D3DRS_ZENABLE, 1);
    rebuildView();
    if (!sprite_) D3DXCreateSprite(device_.get(), &sprite_);

    beginFrame(0);
    endFrame();
    noteStartupStage("device");
    // The first content the program asks for: without "font.bin" it ends here.
    if (withText && !glyphs_) glyphs_ = std::make_unique<GlyphRenderer>(device_.get());
    return true;
}

int GraphicsDevice::backBufferWidth() const {
    return device_ ? device_->backBufferWidth() : static_cast<int>(parameters_.BackBufferWidth);
}

int GraphicsDevice::backBufferHeight() const {
    return device_ ? device_->backBufferHeight() : static_cast<int>(parameters_.BackBufferHeight);
}

void GraphicsDevice::initWithDevice(std::unique_ptr<RenderDevice> device) {
    window_ = nullptr;
    device_ = std::move(device);
    parameters_ = {};
    parameters_.BackBufferWidth = static_cast<uint32_t>(device_->backBufferWidth());
    parameters_.BackBufferHeight = static_cast<uint32_t>(device_->backBufferHeight());
    if (!sprite_) D3DXCreateSprite(device_.get(), &sprite_);
    rebuildView();
    presented_ = true;
}

void GraphicsDevice::rebuildView() {
    D3DXMatrixLookAtRH(&view_, &eye_, &target_, &up_);
    const float dx = eye_.x - target_.x, dy = eye_.y - target_.y, dz = eye_.z - target_.z;
    const float distance = std::sqrt(dx * dx + dy * dy + dz * dz);
    const float nearPlane = distance < 2.0f ? 0.1f : 1.0f;
    float aspect = 4.0f / 3.0f;
    if (window_ && window_->clientHeight() > 0)
        aspect = static_cast<float>(window_->clientWidth()) /
                 static_cast<float>(window_->clientHeight());
    D3DXMatrixPerspectiveFovRH(&projection_, 0.7853982f, aspect, nearPlane, 1000.0f);
    projection_._41 += shiftB_ != 0.0f ? shiftA_ / shiftB_ * distance : shiftA_;
    if (device_) {
        device_->setTransform(D3DTS_VIEW, view_);
        device_->setTransform(D3DTS_PROJECTION, projection_);
    }
}

void GraphicsDevice::setCamera(const D3DXVECTOR3& eye, const D3DXVECTOR3& target,
                               const D3DXVECTOR3* up) {
    eye_ = eye;
    target_ = target;
    up_ = up ? *up : D3DXVECTOR3(0, 1, 0);
    rebuildView();
}

void GraphicsDevice::setProjectionShift(float a, float b) {
    shiftA_ = a;
    shiftB_ = b;
    rebuildView();
}

void GraphicsDevice::beginFrame(D3DCOLOR clearColour) {
    if (!device_) return;
    const bool down = asyncKeyDown(VK_SNAPSHOT);
    if (down && !printScreenWasDown_) takeScreenshot();
    printScreenWasDown_ = down;
    device_->clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clearColour, 1.0f, 0);
    rebuildView();
}

void GraphicsDevice::endFrame() {
    if (!device_ || !window_) return;
    if (device_->present() == D3D_OK) presented_ = true;
}

void GraphicsDevice::drawGlyph(float x, float y, D3DCOLOR colour, uint16_t code, int size) {
    if (!glyphs_ || !sprite_) return;
    if (size < 0) size = 26;
    const float sx = static_cast<float>(backBufferWidth()) * 0.00125f;
    const float sy = static_cast<float>(backBufferHeight()) * 0.0016666667f;
    Texture* texture = glyphs_->glyphTexture(code);
    const D3DXVECTOR2 scale{static_cast<float>(size) * sx / 32, static_cast<float>(size) * sy / 32};
    const D3DXVECTOR2 shadow{(x + 2) * sx, (y + 2) * sy};
    sprite_->Draw(texture, nullptr, &scale, nullptr, 0, &shadow, colour & 0xFF000000);
    const D3DXVECTOR2 at{x * sx, y * sy};
    sprite_->Draw(texture, nullptr, &scale, nullptr, 0, &at, colour);
}

void GraphicsDevice::drawText(float x, float y, D3DCOLOR colour, const char* text, int size,
                              int perLine, int maxGlyphs) {
    if (maxGlyphs < 0 || !text) return;
    const float advance = static_cast<float>(size - 1 < 0 ? 25 : size - 1);
    D3DCOLOR current = colour;
    bool nameLine = false;
    float penX = x, penY = y;
    int drawn = 0, onLine = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        const unsigned char b = *p++;
        switch (b) {
            case 0x01:
                if (nameLine) current = kNameColour1;
                continue;
            case 0x02:
                if (nameLine) current = kNameColour2;
                continue;
            case 0x0D:
                current = colour;
                continue;
            case 0x0A:
                nameLine = false;
                penX = x;
                penY += advance + 4;
                continue;
            case 0x5F:
                penX -= 8;
                nameLine = true;
                continue;
            default:
                break;
        }
        // A lead byte without its trail byte ends the text.
        if (!*p || drawn >= maxGlyphs) return;
        const auto code = static_cast<uint16_t>(b << 8 | *p++);
        drawGlyph(penX, penY, current, code, size);
        ++drawn;
        ++onLine;
        penX += advance;
        if (drawn >= maxGlyphs) return;
        // A full stop at the wrap point stays on the line.
        const bool fullStopNext = p[0] == 0x81 && p[1] == 0x42;
        if (onLine >= perLine && !fullStopNext) {
            onLine = 0;
            penX = x;
            penY += advance + 4;
        }
    }
}
