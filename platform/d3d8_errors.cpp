// Symbolic names of render device result codes, for fatal messages.
#include "platform/d3d8_types.h"

const char* DXGetErrorString8(HRESULT hr) {
    switch (hr) {
        case D3D_OK: return "D3D_OK";
        case D3DERR_WRONGTEXTUREFORMAT: return "D3DERR_WRONGTEXTUREFORMAT";
        case D3DERR_DEVICELOST: return "D3DERR_DEVICELOST";
        case D3DERR_NOTAVAILABLE: return "D3DERR_NOTAVAILABLE";
        case D3DERR_INVALIDCALL: return "D3DERR_INVALIDCALL";
        case D3DERR_OUTOFVIDEOMEMORY: return "D3DERR_OUTOFVIDEOMEMORY";
        case E_OUTOFMEMORY: return "E_OUTOFMEMORY";
        case E_FAIL: return "E_FAIL";
        default: return "Unknown";
    }
}
