// The 2D and debug helpers, written over the immediate-mode operations so
// every back-end draws them the same way.
#include "render/backend.h"
#include "render/render_maths.h"
#include "render/resources.h"
#include "render/shader.h"

static void UntexturedSetUp() {
    DisableTexturing();
    UnbindShaderProgram();
}

static void TexturedSetUp(const CTexture& texture) {
    BindTexture(texture, 0);
    UnbindShaderProgram();
}

static bool DepthOff() {
    bool was = GetRenderSwitch(RS_DEPTH_TEST);
    SetRenderSwitch(RS_DEPTH_TEST, false);
    return was;
}

static void TexturedFan(const float corners[8], uint32_t colour) {
    static const float texCoords[8] = {0, 0, 1, 0, 1, 1, 0, 1};
    BeginPrimitive(PRIM_TRIANGLE_FAN);
    for (int i = 0; i < 4; i++) {
        SetVertexColour(colour);
        SetVertexTexCoord(texCoords[i * 2], texCoords[i * 2 + 1]);
        AddVertex(corners[i * 2], corners[i * 2 + 1]);
    }
    EndPrimitive();
}

// An empty handle has no size to draw (a cursor image that failed to load).
void DrawSprite(const CTexture& texture, float x, float y, float angle, float scale, float alpha) {
    if (texture.IsEmpty())
        return;
    TexturedSetUp(texture);
    bool depth = DepthOff();
    float corners[8];
    SpriteCorners(corners, float(texture.GetWidth()), float(texture.GetHeight()), x, y, angle, scale);
    TexturedFan(corners, AlphaToWhite(alpha));
    SetRenderSwitch(RS_DEPTH_TEST, depth);
}

void DrawTexture(const CTexture& texture, float x, float y, float alpha) {
    if (texture.IsEmpty())
        return;
    TexturedSetUp(texture);
    bool depth = DepthOff();
    float corners[8];
    RectCorners(corners, x, y, x + float(texture.GetWidth()), y + float(texture.GetHeight()));
    TexturedFan(corners, AlphaToWhite(alpha));
    SetRenderSwitch(RS_DEPTH_TEST, depth);
}

void DrawTexturedRect(float x0, float y0, float x1, float y1, const CTexture& texture, float alpha) {
    if (texture.IsEmpty())
        return;
    TexturedSetUp(texture);
    bool depth = DepthOff();
    CullMode cull = GetCullMode();
    SetCullMode(CULL_NONE);
    float corners[8];
    RectCorners(corners, x0, y0, x1, y1);
    TexturedFan(corners, AlphaToWhite(alpha));
    SetCullMode(cull);
    SetRenderSwitch(RS_DEPTH_TEST, depth);
}

void DrawShadedRect(float x, float y, float width, float height, uint32_t topLeft,
                    uint32_t topRight, uint32_t bottomLeft, uint32_t bottomRight) {
    UntexturedSetUp();
    bool depth = DepthOff();
    BeginPrimitive(PRIM_TRIANGLE_FAN);
    SetVertexColour(AverageColour(topLeft, topRight, bottomLeft, bottomRight));
    AddVertex(x + width * 0.5f, y + height * 0.5f);
    SetVertexColour(topLeft);
    AddVertex(x, y);
    SetVertexColour(topRight);
    AddVertex(x + width, y);
    SetVertexColour(bottomRight);
    AddVertex(x + width, y + height);
    SetVertexColour(bottomLeft);
    AddVertex(x, y + height);
    SetVertexColour(topLeft);
    AddVertex(x, y);
    EndPrimitive();
    SetRenderSwitch(RS_DEPTH_TEST, depth);
}

void DrawLine3D(float x0, float y0, float z0, uint32_t colour0, float x1, float y1, float z1,
                uint32_t colour1) {
    UntexturedSetUp();
    BeginPrimitive(PRIM_LINES);
    SetVertexColour(colour0);
    AddVertex(x0, y0, z0);
    SetVertexColour(colour1);
    AddVertex(x1, y1, z1);
    EndPrimitive();
}

void DrawLine2D(float x0, float y0, uint32_t colour0, float x1, float y1, uint32_t colour1) {
    UntexturedSetUp();
    bool depth = DepthOff();
    BeginPrimitive(PRIM_LINES);
    SetVertexColour(colour0);
    AddVertex(x0, y0);
    SetVertexColour(colour1);
    AddVertex(x1, y1);
    EndPrimitive();
    SetRenderSwitch(RS_DEPTH_TEST, depth);
}

void DrawPoint3D(float x, float y, float z, uint32_t colour) {
    UntexturedSetUp();
    BeginPrimitive(PRIM_POINTS);
    SetVertexColour(colour);
    AddVertex(x, y, z);
    EndPrimitive();
}

void DrawPoint2D(float x, float y, uint32_t colour) {
    UntexturedSetUp();
    bool depth = DepthOff();
    BeginPrimitive(PRIM_POINTS);
    SetVertexColour(colour);
    AddVertex(x, y);
    EndPrimitive();
    SetRenderSwitch(RS_DEPTH_TEST, depth);
}
