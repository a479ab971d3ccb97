// Render states over the neutral enums, immediate mode and the draws over
// the bound buffers.
#include "core/error.h"
#include "render/backend.h"
#include "render/gl/gl_local.h"

static const GLenum compareFuncs[8] = {GL_NEVER, GL_ALWAYS, GL_EQUAL, GL_NOTEQUAL,
                                       GL_LESS, GL_LEQUAL, GL_GREATER, GL_GEQUAL};
static const GLenum stencilOps[6] = {GL_KEEP, GL_ZERO, GL_REPLACE, GL_INCR, GL_DECR, GL_INVERT};
static const GLenum blendFactors[10] = {GL_ZERO, GL_ONE, GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR,
                                        GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_DST_ALPHA,
                                        GL_ONE_MINUS_DST_ALPHA, GL_DST_COLOR, GL_ONE_MINUS_DST_COLOR};
static const GLenum switchCaps[6] = {GL_DEPTH_TEST, 0, GL_BLEND, GL_ALPHA_TEST, GL_STENCIL_TEST, GL_LIGHTING};

static GLenum ToGL(CompareFunc f) { return (int(f) >= 0 && int(f) < 8) ? compareFuncs[int(f)] : GL_ALWAYS; }
static GLenum ToGL(StencilOp op) { return (int(op) >= 0 && int(op) < 6) ? stencilOps[int(op)] : GL_KEEP; }
static GLenum ToGL(BlendFactor f) {
    return (int(f) >= 0 && int(f) < 10) ? blendFactors[int(f)] : GL_SRC_ALPHA_SATURATE;
}

static CompareFunc CompareFromGL(GLint v) {
    for (int i = 0; i < 8; i++)
        if (GLint(compareFuncs[i]) == v)
            return CompareFunc(i);
    return CMP_GREATER_EQUAL;
}

static StencilOp StencilFromGL(GLint v) {
    for (int i = 0; i < 6; i++)
        if (GLint(stencilOps[i]) == v)
            return StencilOp(i);
    return STENCIL_INVERT;
}

static GLint GetInteger(GLenum what) {
    GLint v = 0;
    glGetIntegerv(what, &v);
    return v;
}

void SetRenderSwitch(RenderSwitch which, bool on) {
    switch (which) {
    case RS_DEPTH_WRITE: glDepthMask(on ? GL_TRUE : GL_FALSE); break;
    case RS_WIREFRAME: glPolygonMode(GL_FRONT_AND_BACK, on ? GL_LINE : GL_FILL); break;
    case RS_COLOUR_WRITE: {
        GLboolean b = on ? GL_TRUE : GL_FALSE;
        glColorMask(b, b, b, b);
        break;
    }
    default:
        if (int(which) >= 0 && int(which) < 6) {
            if (on)
                glEnable(switchCaps[int(which)]);
            else
                glDisable(switchCaps[int(which)]);
        }
        break;
    }
}

bool GetRenderSwitch(RenderSwitch which) {
    switch (which) {
    case RS_DEPTH_WRITE: {
        GLboolean b = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &b);
        return b != GL_FALSE;
    }
    case RS_WIREFRAME: {
        GLint modes[2] = {GL_FILL, GL_FILL};
        glGetIntegerv(GL_POLYGON_MODE, modes);
        return modes[0] == GL_LINE;
    }
    case RS_COLOUR_WRITE: {
        GLboolean mask[4] = {GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE};
        glGetBooleanv(GL_COLOR_WRITEMASK, mask);
        return mask[0] != GL_FALSE;
    }
    default:
        return int(which) >= 0 && int(which) < 6 && glIsEnabled(switchCaps[int(which)]) != GL_FALSE;
    }
}

void SetDepthFunc(CompareFunc func) { glDepthFunc(ToGL(func)); }
CompareFunc GetDepthFunc() { return CompareFromGL(GetInteger(GL_DEPTH_FUNC)); }

float GetAlphaRef() {
    GLfloat ref = 0.0f;
    glGetFloatv(GL_ALPHA_TEST_REF, &ref);
    return ref;
}

CompareFunc GetAlphaFunc() { return CompareFromGL(GetInteger(GL_ALPHA_TEST_FUNC)); }
void SetAlphaFunc(CompareFunc func) { glAlphaFunc(ToGL(func), GetAlphaRef()); }
void SetAlphaRef(float reference) { glAlphaFunc(GLenum(GetInteger(GL_ALPHA_TEST_FUNC)), reference); }
void SetStencilFunc(int reference, CompareFunc func) { glStencilFunc(ToGL(func), reference, ~0u); }
CompareFunc GetStencilFunc() { return CompareFromGL(GetInteger(GL_STENCIL_FUNC)); }
void SetStencilOp(StencilOp fail, StencilOp depthFail, StencilOp pass) {
    glStencilOp(ToGL(fail), ToGL(depthFail), ToGL(pass));
}
StencilOp GetStencilFailOp() { return StencilFromGL(GetInteger(GL_STENCIL_FAIL)); }
StencilOp GetStencilDepthFailOp() { return StencilFromGL(GetInteger(GL_STENCIL_PASS_DEPTH_FAIL)); }
StencilOp GetStencilPassOp() { return StencilFromGL(GetInteger(GL_STENCIL_PASS_DEPTH_PASS)); }

void SetCullMode(CullMode mode) {
    if (mode == CULL_NONE) {
        glDisable(GL_CULL_FACE);
        return;
    }
    glEnable(GL_CULL_FACE);
    glFrontFace(mode == CULL_CLOCKWISE ? GL_CW : GL_CCW);
}

CullMode GetCullMode() {
    if (!glIsEnabled(GL_CULL_FACE))
        return CULL_NONE;
    return GetInteger(GL_FRONT_FACE) == GL_CW ? CULL_CLOCKWISE : CULL_COUNTER_CLOCKWISE;
}

void SetBlendFunc(BlendFactor source, BlendFactor destination) {
    glBlendFunc(ToGL(source), ToGL(destination));
}

// ---- immediate mode ----

static const GLenum primitives[4] = {GL_POINTS, GL_LINES, GL_TRIANGLES, GL_TRIANGLE_FAN};

void BeginPrimitive(PrimitiveType type) {
    if (int(type) < PRIM_POINTS || int(type) > PRIM_TRIANGLE_FAN) {
        ReportError("Error", "BeginPrimitive()-unknown primitive type");
        type = PRIM_POINTS;
    }
    glBegin(primitives[int(type)]);
}

uint32_t ToDeviceColour(uint32_t packedColour) { return packedColour; }

void SetVertexColour(uint32_t packedColour) {
    glColor4ubv(reinterpret_cast<const GLubyte*>(&packedColour));
}
void SetVertexColour(float r, float g, float b) { glColor3f(r, g, b); }
void SetVertexColour(float r, float g, float b, float a) { glColor4f(r, g, b, a); }
void SetVertexNormal(float x, float y, float z) { glNormal3f(x, y, z); }
void SetVertexTexCoord(float s) { glTexCoord1f(s); }
void SetVertexTexCoord(float s, float t) { glTexCoord2f(s, t); }
void SetVertexTexCoord(float s, float t, float r) { glTexCoord3f(s, t, r); }
void SetVertexTexCoord(float s, float t, float r, float q) { glTexCoord4f(s, t, r, q); }
void AddVertex(float x, float y) { glVertex2f(x, y); }
void AddVertex(float x, float y, float z) { glVertex3f(x, y, z); }
void AddVertex(float x, float y, float z, float w) { glVertex4f(x, y, z, w); }

void EndPrimitive() {
    glColor4f(1, 1, 1, 1);
    glEnd();
    glFlush();
}

// ---- draws over the bound buffers ----

void DrawPoints(int count) { glDrawArrays(GL_POINTS, 0, count); }
void DrawLines(int lineCount) { glDrawArrays(GL_LINES, 0, lineCount * 2); }
void DrawIndexedTriangles(int triangleCount) {
    glDrawElements(GL_TRIANGLES, triangleCount * 3, GL_UNSIGNED_SHORT, nullptr);
}
void DrawTriangles(int firstVertex, int triangleCount) {
    glDrawArrays(GL_TRIANGLES, firstVertex, triangleCount * 3);
}

void DisableClientArrays() {
    if (glClientActiveTextureARB_) {
        for (int unit = 3; unit >= 0; unit--) {
            glClientActiveTextureARB_(GL_TEXTURE0_ARB + unit);
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
    }
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}
