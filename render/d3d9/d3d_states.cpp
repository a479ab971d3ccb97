// Render states over the neutral enums, and OpenGL's immediate mode
// emulated with one DrawPrimitiveUP per primitive.
#include <vector>

#include "core/error.h"
#include "render/backend.h"
#include "render/d3d9/d3d_local.h"
#include "render/device_choices.h"
#include "render/immediate_batch.h"

static const D3DCMPFUNC compareFuncs[8] = {D3DCMP_NEVER, D3DCMP_ALWAYS, D3DCMP_EQUAL, D3DCMP_NOTEQUAL,
                                          D3DCMP_LESS, D3DCMP_LESSEQUAL, D3DCMP_GREATER, D3DCMP_GREATEREQUAL};
// Increment and decrement saturate, as OpenGL's do.
static const D3DSTENCILOP stencilOps[6] = {D3DSTENCILOP_KEEP, D3DSTENCILOP_ZERO, D3DSTENCILOP_REPLACE,
                                           D3DSTENCILOP_INCRSAT, D3DSTENCILOP_DECRSAT, D3DSTENCILOP_INVERT};
static const D3DRENDERSTATETYPE switchStates[8] = {
    D3DRS_ZENABLE,   D3DRS_ZWRITEENABLE, D3DRS_ALPHABLENDENABLE, D3DRS_ALPHATESTENABLE,
    D3DRS_STENCILENABLE, D3DRS_LIGHTING, D3DRS_FILLMODE,         D3DRS_COLORWRITEENABLE};

static DWORD GetState(D3DRENDERSTATETYPE which) {
    DWORD v = 0;
    if (d3dDevice)
        d3dDevice->GetRenderState(which, &v);
    return v;
}

static void SetState(D3DRENDERSTATETYPE which, DWORD value) {
    if (d3dDevice)
        d3dDevice->SetRenderState(which, value);
}

static DWORD ToD3D(CompareFunc f) { return (int(f) >= 0 && int(f) < 8) ? compareFuncs[int(f)] : D3DCMP_ALWAYS; }
static DWORD ToD3D(StencilOp op) { return (int(op) >= 0 && int(op) < 6) ? stencilOps[int(op)] : D3DSTENCILOP_KEEP; }
static DWORD ToD3D(BlendFactor f) { return (int(f) >= 0 && int(f) < 10) ? DWORD(f) + 1 : DWORD(D3DBLEND_SRCALPHASAT); }

static CompareFunc CompareFromD3D(DWORD v) {
    for (int i = 0; i < 8; i++)
        if (DWORD(compareFuncs[i]) == v)
            return CompareFunc(i);
    return CMP_GREATER_EQUAL;
}

static StencilOp StencilFromD3D(DWORD v) {
    for (int i = 0; i < 6; i++)
        if (DWORD(stencilOps[i]) == v)
            return StencilOp(i);
    return STENCIL_INVERT;
}

void SetRenderSwitch(RenderSwitch which, bool on) {
    if (int(which) < 0 || int(which) > 7)
        return;
    DWORD value = on ? 1 : 0;
    if (which == RS_WIREFRAME)
        value = on ? D3DFILL_WIREFRAME : D3DFILL_SOLID;
    else if (which == RS_COLOUR_WRITE)
        value = on ? 15 : 0;
    SetState(switchStates[int(which)], value);
}

bool GetRenderSwitch(RenderSwitch which) {
    if (int(which) < 0 || int(which) > 7)
        return false;
    DWORD v = GetState(switchStates[int(which)]);
    switch (which) {
    case RS_DEPTH_TEST: return v == D3DZB_TRUE;
    case RS_WIREFRAME: return v == D3DFILL_WIREFRAME;
    case RS_COLOUR_WRITE: return v == 15;
    default: return v != 0;
    }
}

void SetDepthFunc(CompareFunc func) { SetState(D3DRS_ZFUNC, ToD3D(func)); }
CompareFunc GetDepthFunc() { return CompareFromD3D(GetState(D3DRS_ZFUNC)); }
void SetAlphaFunc(CompareFunc func) { SetState(D3DRS_ALPHAFUNC, ToD3D(func)); }
CompareFunc GetAlphaFunc() { return CompareFromD3D(GetState(D3DRS_ALPHAFUNC)); }
void SetAlphaRef(float reference) { SetState(D3DRS_ALPHAREF, DWORD(reference * 255.0f)); }
float GetAlphaRef() { return float(GetState(D3DRS_ALPHAREF)) / 255.0f; }

void SetStencilFunc(int reference, CompareFunc func) {
    SetState(D3DRS_STENCILFUNC, ToD3D(func));
    SetState(D3DRS_STENCILREF, DWORD(reference));
    SetState(D3DRS_STENCILMASK, 0xFFFFFFFFu);
}

CompareFunc GetStencilFunc() { return CompareFromD3D(GetState(D3DRS_STENCILFUNC)); }

void SetStencilOp(StencilOp fail, StencilOp depthFail, StencilOp pass) {
    SetState(D3DRS_STENCILFAIL, ToD3D(fail));
    SetState(D3DRS_STENCILZFAIL, ToD3D(depthFail));
    SetState(D3DRS_STENCILPASS, ToD3D(pass));
}

StencilOp GetStencilFailOp() { return StencilFromD3D(GetState(D3DRS_STENCILFAIL)); }
StencilOp GetStencilDepthFailOp() { return StencilFromD3D(GetState(D3DRS_STENCILZFAIL)); }
StencilOp GetStencilPassOp() { return StencilFromD3D(GetState(D3DRS_STENCILPASS)); }

// Clockwise front faces cull the counter-clockwise ones.
void SetCullMode(CullMode mode) {
    SetState(D3DRS_CULLMODE, mode == CULL_CLOCKWISE           ? D3DCULL_CCW
                             : mode == CULL_COUNTER_CLOCKWISE ? D3DCULL_CW
                                                              : D3DCULL_NONE);
}

CullMode GetCullMode() {
    DWORD v = GetState(D3DRS_CULLMODE);
    return v == D3DCULL_CCW ? CULL_CLOCKWISE : v == D3DCULL_CW ? CULL_COUNTER_CLOCKWISE : CULL_NONE;
}

void SetBlendFunc(BlendFactor source, BlendFactor destination) {
    SetState(D3DRS_SRCBLEND, ToD3D(source));
    SetState(D3DRS_DESTBLEND, ToD3D(destination));
}

// ---- immediate mode ----

static CImmediateBatch batch;

uint32_t ToDeviceColour(uint32_t packedColour) { return SwapRedBlue(packedColour); }

static uint32_t Channel(float v) { return v <= 0.0f ? 0u : v >= 1.0f ? 255u : uint32_t(v * 255.0f); }

void BeginPrimitive(PrimitiveType type) { batch.Begin(int(type)); }
void SetVertexColour(uint32_t packedColour) { batch.SetColour(SwapRedBlue(packedColour)); }
void SetVertexColour(float r, float g, float b) { SetVertexColour(r, g, b, 1.0f); }
void SetVertexColour(float r, float g, float b, float a) {
    batch.SetColour(Channel(a) << 24 | Channel(r) << 16 | Channel(g) << 8 | Channel(b));
}
void SetVertexNormal(float x, float y, float z) { batch.SetNormal(x, y, z); }
void SetVertexTexCoord(float s) { batch.SetTexCoord(s, 0, 0, 1); }
void SetVertexTexCoord(float s, float t) { batch.SetTexCoord(s, t, 0, 1); }
void SetVertexTexCoord(float s, float t, float r) { batch.SetTexCoord(s, t, r, 1); }
void SetVertexTexCoord(float s, float t, float r, float q) { batch.SetTexCoord(s, t, r, q); }
void AddVertex(float x, float y) { batch.Add(x, y, 0); }
void AddVertex(float x, float y, float z) { batch.Add(x, y, z); }
void AddVertex(float x, float y, float z, float w) {
    if (w != 0.0f && w != 1.0f) {
        x /= w;
        y /= w;
        z /= w;
    }
    batch.Add(x, y, z);
}

// Drawing from user memory leaves stream 0 unset and puts in the
// immediate-mode declaration, so the bound-buffer caches are dropped.
void EndPrimitive() {
    static const D3DPRIMITIVETYPE types[4] = {D3DPT_POINTLIST, D3DPT_LINELIST, D3DPT_TRIANGLELIST,
                                              D3DPT_TRIANGLEFAN};
    static const VertexLayout layout = MakeImmediateVertexLayout();
    static std::vector<ImmediateVertex> vertices;
    int type = 0, count = 0;
    if (!batch.End(type, count, vertices) || count <= 0 || !DeviceUsable())
        return;
    IDirect3DVertexDeclaration9* declaration = FindVertexDeclaration(layout);
    if (!declaration)
        return;
    d3dDevice->SetVertexDeclaration(declaration);
    d3dDevice->DrawPrimitiveUP(types[type], UINT(count), vertices.data(), sizeof(ImmediateVertex));
    ForgetDeviceBindings();
}
