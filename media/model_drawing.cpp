// Skinned drawing: bone palette from the motion's frame, one world matrix per bone per mesh.
#include "media/model_drawing.h"

#include <algorithm>

#include "media/motion.h"

D3DXMATRIX* bonePalette() {
    static D3DXMATRIX* palette = [] {
        static D3DXMATRIX entries[kBonePaletteSize];
        for (D3DXMATRIX& m : entries) D3DXMatrixIdentity(&m);
        return entries;
    }();
    return palette;
}

namespace {
D3DXMATRIX product(const D3DXMATRIX& a, const D3DXMATRIX& b) {
    D3DXMATRIX r;
    D3DXMatrixMultiply(&r, &a, &b);
    return r;
}

void setStates(RenderDevice* d, int boneCount) {
    d->setRenderState(D3DRS_ALPHABLENDENABLE, 1);
    d->setRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->setRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    d->setRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    d->setRenderState(D3DRS_NORMALIZENORMALS, 1);
    d->setRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    d->setRenderState(D3DRS_ALPHATESTENABLE, 1);
    d->setRenderState(D3DRS_ALPHAREF, 1);
    d->setTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    d->setTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    d->setRenderState(D3DRS_VERTEXBLEND, boneCount != 0 ? D3DVBF_3WEIGHTS : D3DVBF_0WEIGHTS);
    d->setRenderState(D3DRS_INDEXEDVERTEXBLENDENABLE, 1);
    d->setVertexShader(kModelVertexFormat);
}

void drawRanges(Model* model, const Mesh& mesh) {
    RenderDevice* d = model->device;
    const int64_t vertexCount = static_cast<int64_t>(mesh.triangleCount) * 3;
    for (int32_t i = 0; i < mesh.rangeCount; ++i) {
        const DrawRange& r = mesh.ranges[i];
        if (r.firstVertex < 0) break;
        // A range naming no material of the file, or running past the mesh, is skipped.
        if (r.material < 0 || r.material >= model->materialCount || r.triangleCount <= 0 ||
            r.firstVertex + static_cast<int64_t>(r.triangleCount) * 3 > vertexCount)
            continue;
        d->setMaterial(*model->materials[r.material]);
        ModelTexture* texture = model->materialTextures[r.material];
        d->setTexture(0, texture ? texture->texture.get() : nullptr);
        d->drawPrimitive(D3DPT_TRIANGLELIST, static_cast<uint32_t>(r.firstVertex),
                         static_cast<uint32_t>(r.triangleCount));
    }
}
}  // namespace

void drawModel(Model* model, const D3DXMATRIX& world, float time, bool computePalette) {
    if (!model || !model->loaded || !model->device) return;
    RenderDevice* d = model->device;
    const int bones = std::clamp(model->boneCount, 0, kBonePaletteSize);
    setStates(d, bones);

    const Motion* motion = model->motionSource ? model->motionSource->motion : model->motion;
    const D3DMATRIX* frame = motion ? frameMatrices(motion, time) : nullptr;
    D3DXMATRIX* palette = bonePalette();
    if (frame && computePalette && bones > 0) {
        // Bones the motion does not have stay in their bind pose.
        const int animated = std::min(bones, motion->boneCount);
        for (int i = 0; i < bones; ++i)
            palette[i] =
                i < animated
                    ? product(product(D3DXMATRIX(model->boneOffsets[i]), D3DXMATRIX(frame[i])),
                              world)
                    : world;
    }
    for (Mesh* mesh = model->firstMesh; mesh; mesh = mesh->next) {
        d->setRenderState(D3DRS_CULLMODE, mesh->oneSided ? D3DCULL_CW : D3DCULL_NONE);
        d->setStreamSource(0, mesh->vertexBuffer.get(), 52);
        if (frame && bones > 0) {
            for (int j = 0; j < bones; ++j)
                d->setTransform(D3DTS_WORLDMATRIX(static_cast<uint32_t>(j)),
                                product(mesh->matrix, palette[j]));
        } else {
            // Unanimated: every matrix a vertex can name (of this model's bones) is the mesh's
            // world, so the bind pose shows whatever the weights.
            const D3DXMATRIX meshWorld = product(mesh->matrix, world);
            for (int j = 0; j < std::max(bones, 1); ++j)
                d->setTransform(D3DTS_WORLDMATRIX(static_cast<uint32_t>(j)), meshWorld);
        }
        drawRanges(model, *mesh);
    }
    d->setRenderState(D3DRS_VERTEXBLEND, D3DVBF_DISABLE);
    d->setRenderState(D3DRS_INDEXEDVERTEXBLENDENABLE, 0);
}
