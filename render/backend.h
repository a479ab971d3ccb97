// The render operations every drawing file calls. The bodies live in one
// back-end chosen when the program is built: render/gl (OpenGL), render/d3d9
// (Direct3D 9) or render/null (headless, CPU memory, what the native tests
// link). Nothing here names a graphics library.
#ifndef RENDER_BACKEND_H
#define RENDER_BACKEND_H

#include <cstdint>
#include <string>

struct Matrix4;
class CCriticalSection;
class CTexture;

// ---- lock and set-up -------------------------------------------------------

// The one lock held around every back-end resource operation and around the
// whole draw pass. Re-entrant for its owning thread. Never destroyed, so an
// exit path that skipped shutdown can still take it.
CCriticalSection& RenderLock();

struct RenderSetup {
    int32_t adapter = 0;
    bool fullScreen = true;
    bool colour32 = true;
    int32_t width = 800;
    int32_t height = 600;
    bool extraBackBuffer = false;
    int32_t vertexProcessing = 1;   // 2 hardware, 1 mixed, else software
    bool multithreaded = true;
    bool verticalSync = true;
    bool stencil = false;           // cleared in the back-end's copy when none could be had
};

// x, y from the top-left corner of the window.
struct ViewportRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// window is the HWND of the main window (null for the headless back-end).
bool InitRenderer(const RenderSetup* setup, void* window);
// Runs the shutdown callbacks, then releases the device. Safe when nothing was made.
void ShutdownRenderer();
bool CheckRenderSetup(const RenderSetup* setup, std::string& error);
// Before InitRenderer: the back-end's look at the graphics hardware. May
// change the set-up record (vertex processing) and appends the warnings the
// user is shown; true when it appended any. fatal: the device must not be made.
bool CheckRendererCaps(RenderSetup& setup, std::string& warnings, bool& fatal);
bool HasRenderContext();
const RenderSetup* GetRenderSetup();
bool IsStencilEnabled();
bool IsColour32();
bool ShadersAvailable();      // GLSL / pixel shaders present; else the fixed pipeline
bool Has3DTextures();

// ---- frame ------------------------------------------------------------------

// colour is packed: red in bits 0-7, green 8-15, blue 16-23, alpha 24-31.
void ClearFrame(uint32_t colour, bool clearColour, bool clearDepth, bool clearStencil);
// Opens the frame to draw in. False while the device is lost or being
// reset: nothing is drawn, polled or presented this frame.
bool BeginDrawFrame(float frameTime);
void FlushFrame();            // hands queued commands to the driver
void PresentFrame();          // buffer swap

// ---- matrices and viewport -----------------------------------------------------

// Row-major Matrix4 in, as the rest of the game keeps them. The model-view
// in force is always View x World, whichever of the two changed last.
void SetWorldMatrix(const Matrix4& world);
void SetViewMatrix(const Matrix4& view);
void GetWorldMatrix(Matrix4& out);
void GetViewMatrix(Matrix4& out);
// The projection is kept exactly as loaded (MakePerspectiveMatrix's layout).
void SetProjectionMatrix(const Matrix4& projection);
void GetProjectionMatrix(Matrix4& out);
void SetViewport(const ViewportRect& rect);
void SetViewport(int x, int y, int width, int height);
void GetViewport(ViewportRect& out);
// Where a pixel's centre lies in window coordinates: 0.5 in OpenGL (and the
// headless build), 0 in Direct3D 9.
float PixelCentre();
// Depth mapped to [0, 1] in both builds; ProjectPoint and culling rely on it.
void MakePerspectiveMatrix(Matrix4& out, float fieldOfView, float heightOverWidth,
                           float nearPlane, float farPlane);

// ---- render states ---------------------------------------------------------------

enum RenderSwitch {
    RS_DEPTH_TEST = 0,
    RS_DEPTH_WRITE = 1,
    RS_BLEND = 2,
    RS_ALPHA_TEST = 3,
    RS_STENCIL_TEST = 4,
    RS_LIGHTING = 5,
    RS_WIREFRAME = 6,
    RS_COLOUR_WRITE = 7
};

enum BlendFactor {
    BLEND_ZERO = 0,
    BLEND_ONE = 1,
    BLEND_SRC_COLOUR = 2,
    BLEND_INV_SRC_COLOUR = 3,
    BLEND_SRC_ALPHA = 4,
    BLEND_INV_SRC_ALPHA = 5,
    BLEND_DEST_ALPHA = 6,
    BLEND_INV_DEST_ALPHA = 7,
    BLEND_DEST_COLOUR = 8,
    BLEND_INV_DEST_COLOUR = 9,
    BLEND_SRC_ALPHA_SATURATE = 10
};

enum CompareFunc {
    CMP_NEVER = 0,
    CMP_ALWAYS = 1,
    CMP_EQUAL = 2,
    CMP_NOT_EQUAL = 3,
    CMP_LESS = 4,
    CMP_LESS_EQUAL = 5,
    CMP_GREATER = 6,
    CMP_GREATER_EQUAL = 7
};

enum StencilOp {
    STENCIL_KEEP = 0,
    STENCIL_ZERO = 1,
    STENCIL_REPLACE = 2,
    STENCIL_INCREMENT = 3,
    STENCIL_DECREMENT = 4,
    STENCIL_INVERT = 5
};

enum PrimitiveType {
    PRIM_POINTS = 0,
    PRIM_LINES = 1,
    PRIM_TRIANGLES = 2,
    PRIM_TRIANGLE_FAN = 3
};

enum CullMode {
    CULL_CLOCKWISE = 0,          // culling on, clockwise front faces
    CULL_COUNTER_CLOCKWISE = 1,  // culling on, counter-clockwise front faces
    CULL_NONE = 2
};

void SetRenderSwitch(RenderSwitch which, bool on);
bool GetRenderSwitch(RenderSwitch which);
void SetDepthFunc(CompareFunc func);
CompareFunc GetDepthFunc();
void SetAlphaFunc(CompareFunc func);   // keeps the reference
void SetAlphaRef(float reference);     // keeps the function
CompareFunc GetAlphaFunc();
float GetAlphaRef();
void SetStencilFunc(int reference, CompareFunc func);
CompareFunc GetStencilFunc();
void SetStencilOp(StencilOp fail, StencilOp depthFail, StencilOp pass);
StencilOp GetStencilFailOp();
StencilOp GetStencilDepthFailOp();
StencilOp GetStencilPassOp();
void SetCullMode(CullMode mode);
CullMode GetCullMode();
// Source first in both builds.
void SetBlendFunc(BlendFactor source, BlendFactor destination);

// ---- immediate mode ------------------------------------------------------------
// BeginPrimitive, then per vertex the current attributes and AddVertex, then
// EndPrimitive (colour back to opaque white, end, flush).

void BeginPrimitive(PrimitiveType type);
// A packed colour as this back-end's vertices hold it: the same in OpenGL,
// red and blue exchanged in Direct3D. For colours written into vertex buffers.
uint32_t ToDeviceColour(uint32_t packedColour);
void SetVertexColour(uint32_t packedColour);
void SetVertexColour(float r, float g, float b);
void SetVertexColour(float r, float g, float b, float a);
void SetVertexNormal(float x, float y, float z);
void SetVertexTexCoord(float s);
void SetVertexTexCoord(float s, float t);
void SetVertexTexCoord(float s, float t, float r);
void SetVertexTexCoord(float s, float t, float r, float q);
void AddVertex(float x, float y);
void AddVertex(float x, float y, float z);
void AddVertex(float x, float y, float z, float w);
void EndPrimitive();
// The array forms, written once over the forms above.
void SetVertexColour3(const float* rgb);
void SetVertexColour4(const float* rgba);
// Red, green, blue, alpha bytes: the packed colour of those bytes.
void SetVertexColourBytes(const uint8_t* rgba);
void SetVertexNormal(const float* xyz);
void SetVertexTexCoord1(const float* s);
void SetVertexTexCoord2(const float* st);
void SetVertexTexCoord3(const float* str);
void SetVertexTexCoord4(const float* strq);
void AddVertex2(const float* xy);
void AddVertex3(const float* xyz);
void AddVertex4(const float* xyzw);

// ---- draws over the bound vertex and index buffers ---------------------------------

void DrawPoints(int count);
void DrawLines(int lineCount);
void DrawIndexedTriangles(int triangleCount);   // 16-bit indices
void DrawTriangles(int firstVertex, int triangleCount);

// ---- 2D and debug helpers ------------------------------------------------------------
// Draw in whatever projection is current; the textured ones take alpha 0..1
// (clamped) as white of that alpha. An empty texture handle draws nothing.

void DrawSprite(const CTexture& texture, float x, float y, float angle, float scale, float alpha);
void DrawTexture(const CTexture& texture, float x, float y, float alpha);
void DrawTexturedRect(float x0, float y0, float x1, float y1, const CTexture& texture, float alpha);
void DrawShadedRect(float x, float y, float width, float height, uint32_t topLeft,
                    uint32_t topRight, uint32_t bottomLeft, uint32_t bottomRight);
void DrawLine3D(float x0, float y0, float z0, uint32_t colour0, float x1, float y1, float z1,
                uint32_t colour1);
void DrawLine2D(float x0, float y0, uint32_t colour0, float x1, float y1, uint32_t colour1);
void DrawPoint3D(float x, float y, float z, uint32_t colour);
void DrawPoint2D(float x, float y, uint32_t colour);

#endif
