// Direct3D 8's documented default render, transform, light and texture stage states.
#include "platform/gl/gl_device_state.h"

D3DMATRIX identityMatrix() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

void DeviceState::setDefaults(int backBufferWidth, int backBufferHeight, bool depthBuffer) {
    renderStates.fill(0);
    renderStates[D3DRS_ZENABLE] = depthBuffer ? 1 : 0;
    renderStates[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
    renderStates[D3DRS_ZWRITEENABLE] = 1;
    renderStates[D3DRS_ALPHATESTENABLE] = 0;
    renderStates[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    renderStates[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    renderStates[D3DRS_CULLMODE] = D3DCULL_CCW;
    renderStates[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    renderStates[D3DRS_ALPHAREF] = 0;
    renderStates[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    renderStates[D3DRS_ALPHABLENDENABLE] = 0;
    renderStates[D3DRS_SPECULARENABLE] = 0;
    renderStates[D3DRS_LIGHTING] = 1;
    renderStates[D3DRS_AMBIENT] = 0;
    renderStates[D3DRS_COLORVERTEX] = 1;
    renderStates[D3DRS_LOCALVIEWER] = 1;
    renderStates[D3DRS_NORMALIZENORMALS] = 0;
    renderStates[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    renderStates[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
    renderStates[D3DRS_AMBIENTMATERIALSOURCE] = D3DMCS_MATERIAL;
    renderStates[D3DRS_EMISSIVEMATERIALSOURCE] = D3DMCS_MATERIAL;
    renderStates[D3DRS_VERTEXBLEND] = D3DVBF_DISABLE;
    renderStates[D3DRS_INDEXEDVERTEXBLENDENABLE] = 0;

    view = identityMatrix();
    projection = identityMatrix();
    world.fill(identityMatrix());
    for (D3DLIGHT8& light : lights) {
        light = {};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {1, 1, 1, 0};
        light.Direction = {0, 0, 1};
    }
    lightEnabled.fill(false);
    material = {};
    textures.fill(nullptr);
    for (auto& stage : stageStates) {
        stage.fill(0);
        stage[D3DTSS_MAGFILTER] = D3DTEXF_POINT;
        stage[D3DTSS_MINFILTER] = D3DTEXF_POINT;
        stage[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
    }
    vertexShader = 0;
    stream = nullptr;
    streamStride = 0;
    viewport = {0, 0, static_cast<uint32_t>(backBufferWidth), static_cast<uint32_t>(backBufferHeight),
                0.0f, 1.0f};
}
