// Shared state of the OpenGL back-end files: the extension entry points, the
// capability flags and the error helpers. Included only by render/gl.
#ifndef RENDER_GL_GL_LOCAL_H
#define RENDER_GL_GL_LOCAL_H

#include <windows.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <string>

// ---- extension entry points (null when absent) ----
extern PFNGLBINDBUFFERARBPROC glBindBufferARB_;
extern PFNGLDELETEBUFFERSARBPROC glDeleteBuffersARB_;
extern PFNGLGENBUFFERSARBPROC glGenBuffersARB_;
extern PFNGLISBUFFERARBPROC glIsBufferARB_;
extern PFNGLBUFFERDATAARBPROC glBufferDataARB_;
extern PFNGLBUFFERSUBDATAARBPROC glBufferSubDataARB_;
extern PFNGLGETBUFFERSUBDATAARBPROC glGetBufferSubDataARB_;
extern PFNGLMAPBUFFERARBPROC glMapBufferARB_;
extern PFNGLUNMAPBUFFERARBPROC glUnmapBufferARB_;
extern PFNGLGETBUFFERPARAMETERIVARBPROC glGetBufferParameterivARB_;
extern PFNGLGETBUFFERPOINTERVARBPROC glGetBufferPointervARB_;

extern PFNGLACTIVETEXTUREARBPROC glActiveTextureARB_;
extern PFNGLCLIENTACTIVETEXTUREARBPROC glClientActiveTextureARB_;
extern PFNGLMULTITEXCOORD1FARBPROC glMultiTexCoord1fARB_;
extern PFNGLMULTITEXCOORD2FVARBPROC glMultiTexCoord2fvARB_;
extern PFNGLMULTITEXCOORD2FARBPROC glMultiTexCoord2fARB_;
extern PFNGLMULTITEXCOORD3FVARBPROC glMultiTexCoord3fvARB_;
extern PFNGLMULTITEXCOORD3FARBPROC glMultiTexCoord3fARB_;
extern PFNGLMULTITEXCOORD4FVARBPROC glMultiTexCoord4fvARB_;
extern PFNGLMULTITEXCOORD4FARBPROC glMultiTexCoord4fARB_;

extern PFNGLCREATEPROGRAMOBJECTARBPROC glCreateProgramObjectARB_;
extern PFNGLCREATESHADEROBJECTARBPROC glCreateShaderObjectARB_;
extern PFNGLDELETEOBJECTARBPROC glDeleteObjectARB_;
extern PFNGLSHADERSOURCEARBPROC glShaderSourceARB_;
extern PFNGLCOMPILESHADERARBPROC glCompileShaderARB_;
extern PFNGLATTACHOBJECTARBPROC glAttachObjectARB_;
extern PFNGLLINKPROGRAMARBPROC glLinkProgramARB_;
extern PFNGLUSEPROGRAMOBJECTARBPROC glUseProgramObjectARB_;
extern PFNGLGETOBJECTPARAMETERFVARBPROC glGetObjectParameterfvARB_;
extern PFNGLGETOBJECTPARAMETERIVARBPROC glGetObjectParameterivARB_;
extern PFNGLGETINFOLOGARBPROC glGetInfoLogARB_;
extern PFNGLGETUNIFORMLOCATIONARBPROC glGetUniformLocationARB_;
extern PFNGLUNIFORMMATRIX4FVARBPROC glUniformMatrix4fvARB_;
extern PFNGLUNIFORMMATRIX3FVARBPROC glUniformMatrix3fvARB_;
extern PFNGLUNIFORMMATRIX2FVARBPROC glUniformMatrix2fvARB_;
extern PFNGLUNIFORM4FVARBPROC glUniform4fvARB_;
extern PFNGLUNIFORM3FVARBPROC glUniform3fvARB_;
extern PFNGLUNIFORM2FVARBPROC glUniform2fvARB_;
extern PFNGLUNIFORM1FVARBPROC glUniform1fvARB_;

typedef BOOL(WINAPI* WglSwapIntervalProc)(int interval);
extern WglSwapIntervalProc wglSwapIntervalEXT_;
extern PFNGLTEXIMAGE3DEXTPROC glTexImage3DEXT_;

// ---- capabilities ----
extern bool glShadersAvailable;
extern bool gl3DTextures;
extern bool glTwoSidedStencil;

bool LoadGLExtensions();
bool HasGLExtension(const char* name);
// Reads every pending error; with log set the texts go into an error report
// headed by title. True when any error came.
bool CheckGLError(bool log, const std::string& title = "OpenGL error:\n");
void GLErrorText(uint32_t code, std::string& out);
void ClearGLErrors();

// Client arrays of texture units 3..0, then colour, normal and vertex arrays off.
void DisableClientArrays();

#endif
