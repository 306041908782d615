// The one render device wrapper: device creation, camera transforms, frame begin/end, sprite.
#pragma once

#include <memory>

#include "gfx/glyph_renderer.h"
#include "platform/d3dx8_math.h"
#include "platform/d3dx8_sprite.h"
#include "platform/render_device.h"

class Window;

class GraphicsDevice {
public:
    GraphicsDevice() = default;
    ~GraphicsDevice();

    // Creates the device for `window`; false after telling the user when that fails.
    // `withText` false leaves out the glyph renderer (tools that draw no text need no font).
    bool init(Window* window, bool withText = true);
    // Takes a device made elsewhere (the null device of the tools' dry runs): no window, no text.
    void initWithDevice(std::unique_ptr<RenderDevice> device);
    // Screenshot check, clear of target and depth, camera transforms.
    void beginFrame(D3DCOLOR clearColour);
    void endFrame();
    // `up` null means (0, 1, 0).
    void setCamera(const D3DXVECTOR3& eye, const D3DXVECTOR3& target, const D3DXVECTOR3* up);
    void setProjectionShift(float a, float b);
    void rebuildView();
    // Writes the back buffer as screenshot/XXXXXXXX_NNNN.bmp.
    void takeScreenshot();

    // One character at design position (x, y) of the 800 x 600 space, with its black shadow
    // 2 design pixels right and down; `size` < 0 means 26.
    void drawGlyph(float x, float y, D3DCOLOR colour, uint16_t code, int size = -1);
    // CP932 text: double-byte characters and the control bytes 0x01 and 0x02 (name colours on
    // the name line), 0x0D (back to `colour`), 0x0A (line feed) and "_" (name line). The pen
    // advances by size - 1 (25 when that is negative); lines wrap after `perLine` characters
    // unless the next one is "。" (0x8142); drawing stops after `maxGlyphs` characters.
    void drawText(float x, float y, D3DCOLOR colour, const char* text, int size = -1,
                  int perLine = 0xFFFF, int maxGlyphs = 0xFFFF);
    GlyphRenderer* glyphRenderer() const { return glyphs_.get(); }

    RenderDevice* device() const { return device_.get(); }
    ID3DXSprite* sprite() const { return sprite_.get(); }
    int backBufferWidth() const;
    int backBufferHeight() const;
    bool presented() const { return presented_; }
    const D3DPRESENT_PARAMETERS& presentParameters() const { return parameters_; }
    const D3DXMATRIX& view() const { return view_; }
    const D3DXMATRIX& projection() const { return projection_; }
    D3DXVECTOR3& eye() { return eye_; }
    D3DXVECTOR3& target() { return target_; }
    D3DXVECTOR3& up() { return up_; }
    // Which of the creation attempts succeeded (1-based), 0 before.
    int creationAttempt() const { return creationAttempt_; }

private:
    Window* window_ = nullptr;
    D3DPRESENT_PARAMETERS parameters_{};
    std::unique_ptr<Direct3D8> direct3d_;
    std::unique_ptr<RenderDevice> device_;
    bool presented_ = false;
    std::unique_ptr<ID3DXSprite> sprite_;
    D3DXMATRIX view_, projection_;
    float shiftA_ = 0, shiftB_ = 0;
    D3DXVECTOR3 eye_{1, 1, 1}, target_{0, 1, 0}, up_{0, 1, 0};
    bool printScreenWasDown_ = false;
    int creationAttempt_ = 0;
    std::unique_ptr<GlyphRenderer> glyphs_;
};

// The name colours that 0x01 and 0x02 select on the name line.
constexpr D3DCOLOR kNameColour1 = 0xFF8BB8FB;
constexpr D3DCOLOR kNameColour2 = 0xFFFA8989;

// The process-wide device wrapper (null until the application creates it).
GraphicsDevice* graphicsDevice();
void setGraphicsDevice(GraphicsDevice* device);

// "DirectX8 の初期化に失敗しました。  \n終了します。" in CP932.
extern const char kDeviceFailureMessage[];
