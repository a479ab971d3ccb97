// Texture records and the parts of loading and locking that do not depend
// on the graphics library: every back-end keeps a CPU copy of the pixels
// behind its object, which CTextureLock hands out.
#include <cstring>

#include "core/error.h"
#include "core/lock.h"
#include "core/strings.h"
#include "render/backend.h"
#include "render/backend_shared.h"
#include "render/image.h"
#include "render/render_maths.h"

static const size_t MAX_TEXTURE_BYTES = size_t(256) << 20;

bool CheckTextureRequest(CTexture& h, int width, int height, int depth, size_t& bytes) {
    h.DropRecord();
    if (!IsPowerOfTwo(width) || !IsPowerOfTwo(height) || !IsPowerOfTwo(depth))
        return false;
    if (depth != 1 && !Has3DTextures())
        return false;
    if (!CheckedSize(bytes, width, height, depth, 4, MAX_TEXTURE_BYTES)) {
        ReportError("Error", "CreateTexture()-texture too large");
        return false;
    }
    return true;
}

void ResetTextureRecord(TextureRecord& record) { ResetRecordFields(record); }

TextureRecord* NewTextureRecord(CTexture& h, int width, int height, int depth, bool mipmap) {
    h.CreateRecord();
    TextureRecord* r = h.GetRecord();
    ResetTextureRecord(*r);
    r->width = r->textureWidth = width;
    r->height = r->textureHeight = height;
    r->depth = depth;
    r->kind = 3;
    r->mipmap = mipmap;
    return r;
}

// Newest live texture loaded from name as kind: the same image as a colour
// map and as a bump map are two textures in the Direct3D build.
static TextureRecord* FindLoadedTexture(const std::string& name, int kind) {
    for (ResourceRecord* r : TextureRegistry()) {
        TextureRecord* t = static_cast<TextureRecord*>(r);
        if (t->kind == kind && !t->fileName.empty() && EqualIgnoringCase(t->fileName, name))
            return t;
    }
    return nullptr;
}

// The steps before an image is read: the name and kind h already holds,
// kind 0, a live texture of that name and kind (shared) and slice lists. True when they settle
// the load; result is then its answer.
static bool SettleTextureLoad(CTexture& h, const std::string& fileName, bool colourKey, int kind,
                              bool& result) {
    result = true;
    TextureRecord* held = h.GetRecord();
    if (held && held->kind == kind && EqualIgnoringCase(held->fileName, fileName))
        return true;
    h.DropRecord();
    if (kind == 0) {
        result = false;
        return true;
    }
    if (TextureRecord* shared = FindLoadedTexture(fileName, kind)) {
        h.ShareRecord(shared);
        return true;
    }
    size_t dot = fileName.rfind('.');
    if (dot != std::string::npos && EqualIgnoringCase(fileName.substr(dot + 1), "t3d")) {
        result = !colourKey && LoadVolumeTexture(h, fileName);
        if (result) {
            h.GetRecord()->fileName = fileName;
            h.GetRecord()->kind = kind;
        }
        return true;
    }
    return false;
}

static bool DecodeTextureImage(CImage& image, const std::string& fileName) {
    if (!image.LoadFromFile(fileName)) {
        ReportError("Error", "LoadTexture()-could not decode image " + fileName);
        return false;
    }
    if (!IsPowerOfTwo(image.GetWidth()) || !IsPowerOfTwo(image.GetHeight())) {
        ReportError("Error", "LoadTexture()-image sides must be powers of two: " + fileName);
        return false;
    }
    return true;
}

// Drops h's record when its pixels cannot be had; the lock's end writes them back.
static bool FillTexture(CTexture& h, const CImage& image, bool colourKey) {
    CTextureLock texLock(h, true);
    void* data = nullptr;
    int pitch, sliceSize, bits, w, hh, d;
    if (!texLock.GetData(data, pitch, sliceSize, bits, w, hh, d)) {
        h.DropRecord();
        return false;
    }
    // ARGB words are B, G, R, A bytes in memory: the texel order as they are.
    size_t count = size_t(w) * size_t(hh);
    memcpy(data, image.GetPixels(), count * 4);
    if (colourKey)
        ApplyColourKey(static_cast<uint32_t*>(data), count);
    return true;
}

bool LoadTexture(CTexture& h, const std::string& fileName, bool colourKey, int kind, bool mipmap,
                 bool filtered) {
    bool settled = false;
    if (SettleTextureLoad(h, fileName, colourKey, kind, settled))
        return settled;
    if (!LoadTextureFile(h, fileName, colourKey, kind, mipmap, filtered))
        return false;
    h.GetRecord()->fileName = fileName;
    h.GetRecord()->kind = kind;
    return true;
}

bool LoadTextureThroughImage(CTexture& h, const std::string& fileName, bool colourKey, bool mipmap) {
    CImage image;
    if (!DecodeTextureImage(image, fileName))
        return false;
    CAutoLock lock(&RenderLock());
    if (!CreateTexture(h, image.GetWidth(), image.GetHeight(), 1, mipmap))
        return false;
    BeginTextureUpload();
    if (!FillTexture(h, image, colourKey))
        return false;
    if (TextureUploadFailed()) {
        h.DropRecord();
        return false;
    }
    return true;
}

CTextureLock::CTextureLock(CTexture& h, bool writeBack)
    : data(nullptr), pitch(0), sliceSize(0), bitsPerPixel(0), writeBack(writeBack), handle(&h),
      lockedRecord(nullptr) {
    TextureRecord* r = h.GetRecord();
    if (!r || !r->object)
        return;
    CAutoLock lock(&RenderLock());
    data = TexturePixels(r);
    pitch = r->textureWidth * 4;
    sliceSize = r->textureHeight * pitch;
    bitsPerPixel = 32;
    lockedRecord = r;
}

CTextureLock::~CTextureLock() { Unlock(); }

// Idempotent: only the first unlock writes back, and only into the record
// the handle still holds.
void CTextureLock::Unlock() {
    if (!lockedRecord)
        return;
    CAutoLock lock(&RenderLock());
    TextureRecord* r = lockedRecord;
    lockedRecord = nullptr;
    data = nullptr;
    if (!writeBack || handle->GetRecord() != r || !r->object)
        return;
    writeBack = false;
    UploadTexturePixels(r);
}

bool CTextureLock::GetData(void*& out, int& outPitch, int& outSliceSize, int& outBits, int& width,
                           int& height, int& depth) {
    out = data;
    if (!data || handle->GetRecord() != lockedRecord)
        return false;
    outPitch = pitch;
    outSliceSize = sliceSize;
    outBits = bitsPerPixel;
    width = lockedRecord->textureWidth;
    height = lockedRecord->textureHeight;
    depth = lockedRecord->depth;
    return true;
}
