// Textures: an OpenGL texture plus the CPU copy of its pixels, which each
// write-back unlock uploads.
#include <vector>

#include "core/error.h"
#include "core/lock.h"
#include "render/backend.h"
#include "render/backend_shared.h"
#include "render/gl/gl_frame.h"
#include "render/gl/gl_local.h"

struct TextureObject {
    GLuint name = 0;
    std::vector<uint32_t> pixels;   // B, G, R, A bytes per texel
    bool is3D = false;
};

static GLenum Target(const TextureObject* t) { return t->is3D ? GL_TEXTURE_3D_EXT : GL_TEXTURE_2D; }

bool CreateTexture(CTexture& h, int width, int height, int depth, bool mipmap) {
    size_t bytes = 0;
    if (!CheckTextureRequest(h, width, height, depth, bytes))
        return false;
    CAutoLock lock(&RenderLock());
    ClearGLErrors();
    GLuint name = 0;
    glGenTextures(1, &name);
    if (name == 0)
        return false;
    GLenum target = depth == 1 ? GL_TEXTURE_2D : GL_TEXTURE_3D_EXT;
    glBindTexture(target, name);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(target, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(target, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_LINEAR);

    TextureRecord* r = NewTextureRecord(h, width, height, depth, mipmap);
    r->object = new TextureObject;
    r->object->name = name;
    r->object->pixels.assign(bytes / 4, 0);
    r->object->is3D = depth != 1;
    SetTextureWrap(h, true, true, true);
    return true;
}

void BeginTextureUpload() { ClearGLErrors(); }

// This back-end's pair goes in with the first vertex buffer (both do nothing).
void RegisterTextureCallbacks() {}

bool TextureUploadFailed() { return CheckGLError(true, "Error loading image to texture:\n"); }

uint32_t* TexturePixels(TextureRecord* r) { return r->object->pixels.data(); }

void UploadTexturePixels(TextureRecord* r) {
    TextureObject* t = r->object;
    glBindTexture(Target(t), t->name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (t->is3D) {
        if (glTexImage3DEXT_)
            glTexImage3DEXT_(GL_TEXTURE_3D_EXT, 0, 4, r->textureWidth, r->textureHeight, r->depth, 0,
                             GL_BGRA_EXT, GL_UNSIGNED_BYTE, t->pixels.data());
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, 4, r->textureWidth, r->textureHeight, 0, GL_BGRA_EXT,
                     GL_UNSIGNED_BYTE, t->pixels.data());
    }
}

void CTexture::Release() {
    CAutoLock lock(&RenderLock());
    if (!record->object)
        return;
    if (record->object->name != 0 && HasRenderContext())
        glDeleteTextures(1, &record->object->name);
    delete record->object;
    record->object = nullptr;
}

void BindTexture(const CTexture& h, int unit) {
    const TextureRecord* r = h.GetRecord();
    if (!r || !r->object || r->object->name == 0) {
        ReportError("Error", "BindTexture()-no texture to bind");
        return;
    }
    const TextureObject* t = r->object;
    if (glActiveTextureARB_)
        glActiveTextureARB_(GL_TEXTURE0_ARB + unit);
    glBindTexture(Target(t), t->name);
    glDisable(t->is3D ? GL_TEXTURE_2D : GL_TEXTURE_3D_EXT);
    glEnable(Target(t));
}

void UnbindTexture(int unit) {
    if (glActiveTextureARB_)
        glActiveTextureARB_(GL_TEXTURE0_ARB + unit);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_3D_EXT);
}

void DisableTexturing() {
    if (glBindBufferARB_)
        glBindBufferARB_(GL_PIXEL_UNPACK_BUFFER_ARB, 0);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_3D_EXT);
}

// Clamping holds the edge texel, so sprite edges do not fade into a border
// colour, as they do not in the Direct3D build.
void SetTextureWrap(CTexture& h, bool repeatS, bool repeatT, bool repeatR) {
    const TextureRecord* r = h.GetRecord();
    if (!r || !r->object)
        return;
    const TextureObject* t = r->object;
    glBindTexture(Target(t), t->name);
    glTexParameteri(Target(t), GL_TEXTURE_WRAP_S, repeatS ? GL_REPEAT : GL_CLAMP_TO_EDGE);
    glTexParameteri(Target(t), GL_TEXTURE_WRAP_T, repeatT ? GL_REPEAT : GL_CLAMP_TO_EDGE);
    if (t->is3D)
        glTexParameteri(Target(t), GL_TEXTURE_WRAP_R_EXT, repeatR ? GL_REPEAT : GL_CLAMP_TO_EDGE);
}

// Textures carry no mip levels, so the mipmap filters are never asked for:
// a texture without its levels would draw white.
void SetTextureFilter(int mode, CTexture& h) {
    const TextureRecord* r = h.GetRecord();
    if (!r || !r->object)
        return;
    GLint filter = (mode == 2 || mode == 3) ? GL_LINEAR : GL_NEAREST;
    GLenum target = Target(r->object);
    glBindTexture(target, r->object->name);
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, filter);
}

bool LoadTextureFile(CTexture& h, const std::string& fileName, bool colourKey, int, bool mipmap, bool) {
    return LoadTextureThroughImage(h, fileName, colourKey, mipmap);
}

int TextureLevelCount(const CTexture&) { return 1; }
int TextureBitsPerPixel(const CTexture&) { return 32; }
bool IsTextureLost(const CTexture&) { return false; }
bool SupportsCompressedTextures() { return false; }
