// Headless render states and immediate mode: states are kept so getters read
// them back; primitives are recorded, draws over buffers checked and counted.
#include <cstdio>
#include <cstring>

#include "core/error.h"
#include "render/backend.h"
#include "render/null/null_backend.h"
#include "render/resources.h"

struct NullStates {
    // Switch defaults as a fresh OpenGL context has them.
    bool switches[8] = {false, true, false, false, false, false, false, true};
    CompareFunc depthFunc = CMP_LESS;
    CompareFunc alphaFunc = CMP_ALWAYS;
    float alphaRef = 0.0f;
    int stencilRef = 0;
    CompareFunc stencilFunc = CMP_ALWAYS;
    StencilOp stencilOps[3] = {STENCIL_KEEP, STENCIL_KEEP, STENCIL_KEEP};
    CullMode cull = CULL_NONE;
    BlendFactor blendSource = BLEND_ONE;
    BlendFactor blendDest = BLEND_ZERO;
};

static NullStates states;
static NullPrimitive building;
static NullPrimitive lastPrimitive;
static bool begun = false;
static NullVertex current = {{0, 0, 0, 1}, {0, 0, 1}, {0, 0, 0, 1}, 0xFFFFFFFFu};

NullCounters& NullRenderCounters() {
    static NullCounters counters;
    return counters;
}

void NullResetCounters() { NullRenderCounters() = NullCounters(); }
const NullPrimitive& NullLastPrimitive() { return lastPrimitive; }

static const char* const SwitchNames[8] = {"depth_test", "depth_write", "blend", "alpha_test",
                                           "stencil_test", "lighting", "wireframe", "colour_write"};

void SetRenderSwitch(RenderSwitch which, bool on) {
    int i = int(which);
    if (i >= 0 && i < 8) {
        states.switches[i] = on;
        NullRecord(std::string("state ") + SwitchNames[i] + (on ? " 1" : " 0"));
    }
}

bool GetRenderSwitch(RenderSwitch which) {
    int i = int(which);
    return i >= 0 && i < 8 && states.switches[i];
}

void SetDepthFunc(CompareFunc func) { states.depthFunc = func; }
CompareFunc GetDepthFunc() { return states.depthFunc; }
void SetAlphaFunc(CompareFunc func) { states.alphaFunc = func; }
void SetAlphaRef(float reference) { states.alphaRef = reference; }
CompareFunc GetAlphaFunc() { return states.alphaFunc; }
float GetAlphaRef() { return states.alphaRef; }

void SetStencilFunc(int reference, CompareFunc func) {
    states.stencilRef = reference;
    states.stencilFunc = func;
}

CompareFunc GetStencilFunc() { return states.stencilFunc; }

void SetStencilOp(StencilOp fail, StencilOp depthFail, StencilOp pass) {
    states.stencilOps[0] = fail;
    states.stencilOps[1] = depthFail;
    states.stencilOps[2] = pass;
}

StencilOp GetStencilFailOp() { return states.stencilOps[0]; }
StencilOp GetStencilDepthFailOp() { return states.stencilOps[1]; }
StencilOp GetStencilPassOp() { return states.stencilOps[2]; }
void SetCullMode(CullMode mode) {
    states.cull = mode;
    NullRecord(mode == CULL_CLOCKWISE ? "cull cw" : mode == CULL_COUNTER_CLOCKWISE ? "cull ccw" : "cull none");
}
CullMode GetCullMode() { return states.cull; }

void SetBlendFunc(BlendFactor source, BlendFactor destination) {
    states.blendSource = source;
    states.blendDest = destination;
}

// ---- immediate mode ----

void BeginPrimitive(PrimitiveType type) {
    if (int(type) < PRIM_POINTS || int(type) > PRIM_TRIANGLE_FAN) {
        ReportError("Error", "BeginPrimitive()-unknown primitive type");
        type = PRIM_POINTS;
    }
    building.type = type;
    building.vertices.clear();
    begun = true;
}

static uint8_t ToByte(float f) {
    if (!(f > 0.0f))
        return 0;
    return f >= 1.0f ? 255 : uint8_t(f * 255.0f);
}

uint32_t ToDeviceColour(uint32_t packedColour) { return packedColour; }
void SetVertexColour(uint32_t packedColour) { current.colour = packedColour; }
void SetVertexColour(float r, float g, float b) { SetVertexColour(r, g, b, 1.0f); }

void SetVertexColour(float r, float g, float b, float a) {
    current.colour = uint32_t(ToByte(r)) | (uint32_t(ToByte(g)) << 8) | (uint32_t(ToByte(b)) << 16) |
                     (uint32_t(ToByte(a)) << 24);
}

void SetVertexNormal(float x, float y, float z) {
    current.normal[0] = x;
    current.normal[1] = y;
    current.normal[2] = z;
}

void SetVertexTexCoord(float s) { SetVertexTexCoord(s, 0.0f, 0.0f, 1.0f); }
void SetVertexTexCoord(float s, float t) { SetVertexTexCoord(s, t, 0.0f, 1.0f); }
void SetVertexTexCoord(float s, float t, float r) { SetVertexTexCoord(s, t, r, 1.0f); }

void SetVertexTexCoord(float s, float t, float r, float q) {
    current.texCoord[0] = s;
    current.texCoord[1] = t;
    current.texCoord[2] = r;
    current.texCoord[3] = q;
}

void AddVertex(float x, float y) { AddVertex(x, y, 0.0f, 1.0f); }
void AddVertex(float x, float y, float z) { AddVertex(x, y, z, 1.0f); }

void AddVertex(float x, float y, float z, float w) {
    if (!begun)
        return;
    NullVertex v = current;
    v.position[0] = x;
    v.position[1] = y;
    v.position[2] = z;
    v.position[3] = w;
    building.vertices.push_back(v);
}


void EndPrimitive() {
    current.colour = 0xFFFFFFFFu;
    if (!begun)
        return;
    begun = false;
    lastPrimitive = building;
    building.vertices.clear();
    NullRenderCounters().primitives++;
    // The first vertex's colour and the texture on unit 0 tell the 2D
    // helpers' pictures and their alpha apart.
    const TextureRecord* texture = NullBoundTexture(0);
    char text[64];
    snprintf(text, sizeof text, "primitive %d %u %08x ", int(lastPrimitive.type),
             unsigned(lastPrimitive.vertices.size()),
             unsigned(lastPrimitive.vertices.empty() ? 0u : lastPrimitive.vertices[0].colour));
    NullRecord(text + (!texture ? std::string("-") : texture->fileName.empty() ? std::string("(made)")
                                                                                : texture->fileName));
    NullRecordPrimitive(lastPrimitive);
}

// ---- draws over bound buffers ----

// Checks what a driver would choke on: no buffer, a buffer still mapped, or
// more vertices than the buffer holds.
bool NullCheckVertexDraw(int64_t vertexEnd);
bool NullCheckIndexedDraw(int indexCount);

static void CountDraw(bool ok) {
    NullRenderCounters().drawCalls++;
    if (!ok) {
        NullRenderCounters().drawErrors++;
        ReportError("Error", "Draw()-bound buffers cannot serve this draw");
    }
}

void DrawPoints(int count) { CountDraw(count >= 0 && NullCheckVertexDraw(count)); }
void DrawLines(int lineCount) { CountDraw(lineCount >= 0 && NullCheckVertexDraw(int64_t(lineCount) * 2)); }

void DrawIndexedTriangles(int triangleCount) {
    bool ok = triangleCount >= 0 && triangleCount <= 65535 && NullCheckIndexedDraw(triangleCount * 3);
    CountDraw(ok);
    if (ok)
        NullRenderCounters().indexedTriangles += triangleCount;
    NullRecord("draw " + std::to_string(triangleCount));
}

void DrawTriangles(int firstVertex, int triangleCount) {
    CountDraw(firstVertex >= 0 && triangleCount >= 0 &&
              NullCheckVertexDraw(int64_t(firstVertex) + int64_t(triangleCount) * 3));
}
