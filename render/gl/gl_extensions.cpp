// Extension loading by name and the OpenGL error texts.
#include <vector>

#include "core/error.h"
#include "render/gl/gl_local.h"

PFNGLBINDBUFFERARBPROC glBindBufferARB_;
PFNGLDELETEBUFFERSARBPROC glDeleteBuffersARB_;
PFNGLGENBUFFERSARBPROC glGenBuffersARB_;
PFNGLISBUFFERARBPROC glIsBufferARB_;
PFNGLBUFFERDATAARBPROC glBufferDataARB_;
PFNGLBUFFERSUBDATAARBPROC glBufferSubDataARB_;
PFNGLGETBUFFERSUBDATAARBPROC glGetBufferSubDataARB_;
PFNGLMAPBUFFERARBPROC glMapBufferARB_;
PFNGLUNMAPBUFFERARBPROC glUnmapBufferARB_;
PFNGLGETBUFFERPARAMETERIVARBPROC glGetBufferParameterivARB_;
PFNGLGETBUFFERPOINTERVARBPROC glGetBufferPointervARB_;
PFNGLACTIVETEXTUREARBPROC glActiveTextureARB_;
PFNGLCLIENTACTIVETEXTUREARBPROC glClientActiveTextureARB_;
PFNGLMULTITEXCOORD1FARBPROC glMultiTexCoord1fARB_;
PFNGLMULTITEXCOORD2FVARBPROC glMultiTexCoord2fvARB_;
PFNGLMULTITEXCOORD2FARBPROC glMultiTexCoord2fARB_;
PFNGLMULTITEXCOORD3FVARBPROC glMultiTexCoord3fvARB_;
PFNGLMULTITEXCOORD3FARBPROC glMultiTexCoord3fARB_;
PFNGLMULTITEXCOORD4FVARBPROC glMultiTexCoord4fvARB_;
PFNGLMULTITEXCOORD4FARBPROC glMultiTexCoord4fARB_;
PFNGLCREATEPROGRAMOBJECTARBPROC glCreateProgramObjectARB_;
PFNGLCREATESHADEROBJECTARBPROC glCreateShaderObjectARB_;
PFNGLDELETEOBJECTARBPROC glDeleteObjectARB_;
PFNGLSHADERSOURCEARBPROC glShaderSourceARB_;
PFNGLCOMPILESHADERARBPROC glCompileShaderARB_;
PFNGLATTACHOBJECTARBPROC glAttachObjectARB_;
PFNGLLINKPROGRAMARBPROC glLinkProgramARB_;
PFNGLUSEPROGRAMOBJECTARBPROC glUseProgramObjectARB_;
PFNGLGETOBJECTPARAMETERFVARBPROC glGetObjectParameterfvARB_;
PFNGLGETOBJECTPARAMETERIVARBPROC glGetObjectParameterivARB_;
PFNGLGETINFOLOGARBPROC glGetInfoLogARB_;
PFNGLGETUNIFORMLOCATIONARBPROC glGetUniformLocationARB_;
PFNGLUNIFORMMATRIX4FVARBPROC glUniformMatrix4fvARB_;
PFNGLUNIFORMMATRIX3FVARBPROC glUniformMatrix3fvARB_;
PFNGLUNIFORMMATRIX2FVARBPROC glUniformMatrix2fvARB_;
PFNGLUNIFORM4FVARBPROC glUniform4fvARB_;
PFNGLUNIFORM3FVARBPROC glUniform3fvARB_;
PFNGLUNIFORM2FVARBPROC glUniform2fvARB_;
PFNGLUNIFORM1FVARBPROC glUniform1fvARB_;
WglSwapIntervalProc wglSwapIntervalEXT_;
PFNGLTEXIMAGE3DEXTPROC glTexImage3DEXT_;

bool glShadersAvailable = false;
bool gl3DTextures = false;
bool glTwoSidedStencil = false;

static std::vector<std::string> extensions;

// Some drivers hand back 1, 2, 3 or -1 for a function they lack.
template <class Proc>
static bool Load(Proc& out, const char* name) {
    PROC p = wglGetProcAddress(name);
    intptr_t v = reinterpret_cast<intptr_t>(p);
    if (v == 0 || v == 1 || v == 2 || v == 3 || v == -1)
        p = nullptr;
    out = reinterpret_cast<Proc>(reinterpret_cast<void*>(p));
    return p != nullptr;
}

#define LOAD(ok, name) ok &= Load(name##_, #name)

bool HasGLExtension(const char* name) {
    for (const std::string& e : extensions)
        if (lstrcmpiA(e.c_str(), name) == 0)
            return true;
    return false;
}

static void ReadExtensionList() {
    extensions.clear();
    const char* text = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    std::string piece;
    for (const char* p = text ? text : ""; ; p++) {
        if (*p == ' ' || *p == '\n' || *p == 0) {
            if (!piece.empty())
                extensions.push_back(piece);
            piece.clear();
            if (*p == 0)
                break;
        } else {
            piece += *p;
        }
    }
}

bool LoadGLExtensions() {
    ReadExtensionList();
    bool buffers = HasGLExtension("GL_ARB_vertex_buffer_object");
    if (buffers) {
        LOAD(buffers, glBindBufferARB);
        LOAD(buffers, glDeleteBuffersARB);
        LOAD(buffers, glGenBuffersARB);
        LOAD(buffers, glIsBufferARB);
        LOAD(buffers, glBufferDataARB);
        LOAD(buffers, glBufferSubDataARB);
        LOAD(buffers, glGetBufferSubDataARB);
        LOAD(buffers, glMapBufferARB);
        LOAD(buffers, glUnmapBufferARB);
        LOAD(buffers, glGetBufferParameterivARB);
        LOAD(buffers, glGetBufferPointervARB);
    }
    bool multitexture = HasGLExtension("GL_ARB_multitexture");
    if (multitexture) {
        LOAD(multitexture, glActiveTextureARB);
        LOAD(multitexture, glClientActiveTextureARB);
        LOAD(multitexture, glMultiTexCoord1fARB);
        LOAD(multitexture, glMultiTexCoord2fvARB);
        LOAD(multitexture, glMultiTexCoord2fARB);
        LOAD(multitexture, glMultiTexCoord3fvARB);
        LOAD(multitexture, glMultiTexCoord3fARB);
        LOAD(multitexture, glMultiTexCoord4fvARB);
        LOAD(multitexture, glMultiTexCoord4fARB);
    }
    glShadersAvailable = HasGLExtension("GL_ARB_shading_language_100") &&
                         HasGLExtension("GL_ARB_shader_objects");
    if (glShadersAvailable) {
        bool ok = true;
        LOAD(ok, glCreateProgramObjectARB);
        LOAD(ok, glCreateShaderObjectARB);
        LOAD(ok, glDeleteObjectARB);
        LOAD(ok, glShaderSourceARB);
        LOAD(ok, glCompileShaderARB);
        LOAD(ok, glAttachObjectARB);
        LOAD(ok, glLinkProgramARB);
        LOAD(ok, glUseProgramObjectARB);
        LOAD(ok, glGetObjectParameterfvARB);
        LOAD(ok, glGetObjectParameterivARB);
        LOAD(ok, glGetInfoLogARB);
        LOAD(ok, glGetUniformLocationARB);
        LOAD(ok, glUniformMatrix4fvARB);
        LOAD(ok, glUniformMatrix3fvARB);
        LOAD(ok, glUniformMatrix2fvARB);
        LOAD(ok, glUniform4fvARB);
        LOAD(ok, glUniform3fvARB);
        LOAD(ok, glUniform2fvARB);
        LOAD(ok, glUniform1fvARB);
        glShadersAvailable = ok;   // a listed extension without its functions is no use
    }
    bool cubeMaps = HasGLExtension("GL_ARB_texture_cube_map");
    wglSwapIntervalEXT_ = nullptr;
    if (HasGLExtension("WGL_EXT_swap_control"))
        Load(wglSwapIntervalEXT_, "wglSwapIntervalEXT");
    gl3DTextures = HasGLExtension("GL_EXT_texture3D") && Load(glTexImage3DEXT_, "glTexImage3DEXT");
    glTwoSidedStencil = HasGLExtension("ATI_separate_stencil") || HasGLExtension("GL_EXT_stencil_two_side");
    return buffers && multitexture && cubeMaps;
}

void GLErrorText(uint32_t code, std::string& out) {
    switch (code) {
    case GL_INVALID_ENUM: out = "An invalid enum was specifed.\n"; break;
    case GL_INVALID_VALUE: out = "A numeric argument had an invalid value.\n"; break;
    case GL_INVALID_OPERATION: out = "Operation not allowed in the current state.\n"; break;
    case GL_STACK_OVERFLOW: out = "An operation would have caused a stack overflow.\n"; break;
    case GL_STACK_UNDERFLOW: out = "An operation would have caused a stack underflow.\n"; break;
    case GL_OUT_OF_MEMORY: out = "Out of memory.  This is bad.\n"; break;
    default: out = "...unknown error...\n"; break;
    }
}

bool CheckGLError(bool log, const std::string& title) {
    std::string message = title;
    bool any = false;
    // Bounded: without a context glGetError may keep answering.
    for (int i = 0; i < 32; i++) {
        GLenum code = glGetError();
        if (code == GL_NO_ERROR)
            break;
        std::string text;
        GLErrorText(code, text);
        message += text;
        any = true;
    }
    if (any && log)
        ReportError("Error", message);
    return any;
}

void ClearGLErrors() {
    for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; i++) {
    }
}
