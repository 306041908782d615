// The device factory: OpenGL 3.3 core contexts on SDL windows, behind the Direct3D 8 shaped calls.
#include <SDL.h>
#include <epoxy/gl.h>

#include "platform/gl/gl_render_device.h"
#include "platform/system.h"
#include "platform/window.h"

namespace {
D3DFORMAT formatOfBits(int bits) {
    return bits == 16 ? D3DFMT_R5G6B5 : D3DFMT_X8R8G8B8;
}

class GlDirect3D8 final : public Direct3D8 {
public:
    HRESULT getAdapterDisplayMode(uint32_t adapter, D3DDISPLAYMODE* mode) override {
        if (adapter != 0 || !mode) return D3DERR_INVALIDCALL;
        const DisplayMode desktop = desktopMode();
        if (desktop.width <= 0) return D3DERR_NOTAVAILABLE;
        *mode = {static_cast<uint32_t>(desktop.width), static_cast<uint32_t>(desktop.height), 0,
                 formatOfBits(desktop.bitsPerPixel)};
        return D3D_OK;
    }

    HRESULT createDevice(uint32_t adapter, D3DDEVTYPE type, Window* focusWindow,
                         uint32_t behaviourFlags, D3DPRESENT_PARAMETERS* parameters,
                         std::unique_ptr<RenderDevice>* device) override {
        if (!device || !parameters || !focusWindow || adapter != 0) return D3DERR_INVALIDCALL;
        device->reset();
        if (type != D3DDEVTYPE_HAL && type != D3DDEVTYPE_REF) return D3DERR_INVALIDCALL;
        // Exactly one kind of vertex processing, and a pure device only with hardware
        // processing, as Direct3D 8 requires.
        const bool software = behaviourFlags & D3DCREATE_SOFTWARE_VERTEXPROCESSING;
        const bool hardware = behaviourFlags & D3DCREATE_HARDWARE_VERTEXPROCESSING;
        if (software == hardware) return D3DERR_INVALIDCALL;
        if ((behaviourFlags & D3DCREATE_PUREDEVICE) && !hardware) return D3DERR_INVALIDCALL;

        GLenum colourFormat = 0;
        switch (parameters->BackBufferFormat) {
            case D3DFMT_X8R8G8B8:
            case D3DFMT_A8R8G8B8: colourFormat = GL_RGBA8; break;
            case D3DFMT_R5G6B5: colourFormat = GL_RGB565; break;
            default: return D3DERR_INVALIDCALL;
        }
        GLenum depthFormat = GL_DEPTH_COMPONENT24;
        if (parameters->EnableAutoDepthStencil) {
            if (parameters->AutoDepthStencilFormat == D3DFMT_D16) depthFormat = GL_DEPTH_COMPONENT16;
            else if (parameters->AutoDepthStencilFormat != D3DFMT_D24X8) return D3DERR_INVALIDCALL;
        }
        if (parameters->BackBufferWidth == 0) parameters->BackBufferWidth = focusWindow->clientWidth();
        if (parameters->BackBufferHeight == 0) parameters->BackBufferHeight = focusWindow->clientHeight();
        if (parameters->BackBufferWidth == 0 || parameters->BackBufferHeight == 0)
            return D3DERR_INVALIDCALL;

        auto* window = static_cast<SDL_Window*>(focusWindow->nativeHandle());
        if (!window) return D3DERR_INVALIDCALL;
        SDL_GLContext context = SDL_GL_CreateContext(window);
        if (!context) return D3DERR_NOTAVAILABLE;
        SDL_GL_MakeCurrent(window, context);
        if (epoxy_gl_version() < 33) {
            SDL_GL_DeleteContext(context);
            return D3DERR_NOTAVAILABLE;
        }
        // Ask for vsync where the display offers it, so that the never-sleeping loop
        // does not keep a core busy on a desktop.
        SDL_GL_SetSwapInterval(1);
        *device = std::make_unique<GlRenderDevice>(window, context, *parameters, colourFormat,
                                                   depthFormat);
        return D3D_OK;
    }
};
}  // namespace

std::unique_ptr<Direct3D8> Direct3DCreate8(uint32_t sdkVersion) {
    if (sdkVersion != D3D_SDK_VERSION) return nullptr;
    if (!videoAvailable()) return nullptr;
    return std::make_unique<GlDirect3D8>();
}
