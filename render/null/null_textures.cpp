// Headless textures: the CPU pixel copy is the whole texture.
#include <vector>

#include "core/error.h"
#include "core/lock.h"
#include "render/backend.h"
#include "render/backend_shared.h"
#include "render/null/null_backend.h"

struct TextureObject {
    std::vector<uint32_t> pixels;
    bool is3D = false;
    bool repeat[3] = {true, true, true};
    int filter = 2;
};

static const TextureRecord* boundTextures[4] = {};

bool CreateTexture(CTexture& h, int width, int height, int depth, bool mipmap) {
    size_t bytes = 0;
    if (!CheckTextureRequest(h, width, height, depth, bytes))
        return false;
    CAutoLock lock(&RenderLock());
    TextureRecord* r = NewTextureRecord(h, width, height, depth, mipmap);
    r->object = new TextureObject;
    r->object->pixels.assign(bytes / 4, 0);
    r->object->is3D = depth != 1;
    SetTextureWrap(h, true, true, true);
    return true;
}

// No driver to fail the write.
void BeginTextureUpload() {}
void RegisterTextureCallbacks() {}
bool TextureUploadFailed() { return false; }

uint32_t* TexturePixels(TextureRecord* r) { return r->object->pixels.data(); }

// The headless texture has no copy elsewhere to upload to.
void UploadTexturePixels(TextureRecord*) {}

void CTexture::Release() {
    CAutoLock lock(&RenderLock());
    for (const TextureRecord*& bound : boundTextures)
        if (bound == record)
            bound = nullptr;
    delete record->object;
    record->object = nullptr;
}

void BindTexture(const CTexture& h, int unit) {
    const TextureRecord* r = h.GetRecord();
    if (!r || !r->object || unit < 0 || unit > 3) {
        ReportError("Error", "BindTexture()-no texture to bind");
        return;
    }
    boundTextures[unit] = r;
}

void UnbindTexture(int unit) {
    if (unit >= 0 && unit <= 3)
        boundTextures[unit] = nullptr;
}

void DisableTexturing() { boundTextures[0] = nullptr; }

const TextureRecord* NullBoundTexture(int unit) {
    return unit >= 0 && unit <= 3 ? boundTextures[unit] : nullptr;
}

void SetTextureWrap(CTexture& h, bool repeatS, bool repeatT, bool repeatR) {
    TextureRecord* r = h.GetRecord();
    if (!r || !r->object)
        return;
    r->object->repeat[0] = repeatS;
    r->object->repeat[1] = repeatT;
    r->object->repeat[2] = repeatR;
}

bool NullTextureRepeats(const CTexture& h, int axis) {
    const TextureRecord* r = h.GetRecord();
    return r && r->object && axis >= 0 && axis < 3 && r->object->repeat[axis];
}

void SetTextureFilter(int mode, CTexture& h) {
    TextureRecord* r = h.GetRecord();
    if (r && r->object)
        r->object->filter = mode;
}

bool LoadTextureFile(CTexture& h, const std::string& fileName, bool colourKey, int, bool mipmap, bool) {
    return LoadTextureThroughImage(h, fileName, colourKey, mipmap);
}
