// Textures: made ones (a CPU copy that each write-back unlock uploads) and
// images loaded through D3DX in the format their kind asks for, bump maps
// turned into normal maps on the CPU. Sampler states follow the texture
// and are applied when it is bound.
#include <cstring>
#include <vector>

#include <d3dx9.h>

#include "core/error.h"
#include "core/files.h"
#include "core/lock.h"
#include "render/backend.h"
#include "render/backend_shared.h"
#include "render/d3d9/d3d_local.h"
#include "render/device_choices.h"
#include "render/normal_map.h"
#include "render/render_maths.h"
#include "render/render_setup.h"

struct TextureObject {
    IDirect3DTexture9* texture = nullptr;
    IDirect3DVolumeTexture9* volume = nullptr;
    bool wrap[3] = {true, true, true};   // repeat, as OpenGL textures do
    int filter = 2;                       // 1 point, 2 linear
    int levels = 1;
    std::vector<uint32_t> pixels;         // B, G, R, A bytes per texel, when locked
};

static bool uploadFailed = false;

static void ReleaseObjects(TextureObject* t) {
    if (t->texture)
        t->texture->Release();
    if (t->volume)
        t->volume->Release();
    t->texture = nullptr;
    t->volume = nullptr;
}

// Kind 6 marks textures kept in device memory; nothing makes one yet.
static void ReleaseDeviceTextures() {
    CAutoLock lock(&RenderLock());
    for (ResourceRecord* record : TextureRegistry()) {
        TextureRecord* r = static_cast<TextureRecord*>(record);
        if (r->kind == 6 && r->object)
            ReleaseObjects(r->object);
    }
}

static void RestoreDeviceTextures() {}

void ReleaseAllDeviceTextures() {
    for (ResourceRecord* record : TextureRegistry()) {
        TextureRecord* r = static_cast<TextureRecord*>(record);
        if (r->object)
            ReleaseObjects(r->object);
    }
}

// Managed textures come back by themselves, so nothing waits for the reset:
// this program puts both handlers on the lost list.
void RegisterTextureCallbacks() {
    RegisterDeviceCallbacks(ReleaseDeviceTextures, RestoreDeviceTextures, RESET_HANDLER_ON_LOST_LIST);
}

bool CreateTexture(CTexture& h, int width, int height, int depth, bool mipmap) {
    return CreateTexture(h, width, height, depth, mipmap, 3);
}

bool CreateTexture(CTexture& h, int width, int height, int depth, bool mipmap, int kind) {
    RegisterTextureCallbacks();
    size_t bytes = 0;
    if (!CheckTextureRequest(h, width, height, depth, bytes))
        return false;
    uint32_t format = 0;
    if (!ChooseMadeTextureFormat(kind, format)) {
        ReportError("Error", "CreateTexture()-unknown texture kind");
        return false;
    }
    CAutoLock lock(&RenderLock());
    if (!d3dDevice)
        return false;
    TextureObject* t = new TextureObject;
    HRESULT hr = depth == 1 ? d3dDevice->CreateTexture(UINT(width), UINT(height), 1, 0, D3DFORMAT(format),
                                                       D3DPOOL_MANAGED, &t->texture, nullptr)
                            : d3dDevice->CreateVolumeTexture(UINT(width), UINT(height), UINT(depth), 1, 0,
                                                             D3DFORMAT(format), D3DPOOL_MANAGED, &t->volume, nullptr);
    if (FAILED(hr)) {
        delete t;
        return ReportD3DFailure("CreateTexture()", hr);
    }
    t->pixels.assign(bytes / 4, 0);
    TextureRecord* r = NewTextureRecord(h, width, height, depth, mipmap);
    r->kind = kind;
    r->object = t;
    return true;
}

// ---- the CPU copy behind CTextureLock ----

// Level 0 locked for copies of width x height (x depth) words; false, and
// nothing left locked, when it fails or its format or size does not take them.
static bool LockWordTexels(IDirect3DTexture9* t, int width, int height, DWORD flags, D3DLOCKED_RECT& locked) {
    D3DSURFACE_DESC desc;
    if (FAILED(t->GetLevelDesc(0, &desc)) || FAILED(t->LockRect(0, &locked, nullptr, flags)))
        return false;
    LockedLevel level = {uint32_t(desc.Format), int(desc.Width), int(desc.Height), 1, int(locked.Pitch), 0};
    if (TakesWordTexels(level, width, height, 1))
        return true;
    t->UnlockRect(0);
    return false;
}

static bool LockWordTexels(IDirect3DVolumeTexture9* t, int width, int height, int depth, DWORD flags,
                           D3DLOCKED_BOX& locked) {
    D3DVOLUME_DESC desc;
    if (FAILED(t->GetLevelDesc(0, &desc)) || FAILED(t->LockBox(0, &locked, nullptr, flags)))
        return false;
    LockedLevel level = {uint32_t(desc.Format), int(desc.Width), int(desc.Height), int(desc.Depth),
                         int(locked.RowPitch), int(locked.SlicePitch)};
    if (TakesWordTexels(level, width, height, depth))
        return true;
    t->UnlockBox(0);
    return false;
}

// Copies level 0 between the CPU copy (rows of width words) and the
// texture; false when the texture does not take 32-bit texels of its size
// or will not lock.
static bool CopyLevel0(TextureRecord* r, bool toTexture) {
    TextureObject* t = r->object;
    size_t row = size_t(r->textureWidth) * 4;
    DWORD flags = toTexture ? 0 : D3DLOCK_READONLY;
    if (t->texture) {
        D3DLOCKED_RECT locked;
        if (!LockWordTexels(t->texture, r->textureWidth, r->textureHeight, flags, locked))
            return false;
        for (int y = 0; y < r->textureHeight; y++) {
            uint8_t* texels = static_cast<uint8_t*>(locked.pBits) + size_t(y) * size_t(locked.Pitch);
            uint8_t* copy = reinterpret_cast<uint8_t*>(t->pixels.data()) + size_t(y) * row;
            memcpy(toTexture ? texels : copy, toTexture ? copy : texels, row);
        }
        t->texture->UnlockRect(0);
        return true;
    }
    D3DLOCKED_BOX locked;
    if (!t->volume || !LockWordTexels(t->volume, r->textureWidth, r->textureHeight, r->depth, flags, locked))
        return false;
    for (int s = 0; s < r->depth; s++) {
        for (int y = 0; y < r->textureHeight; y++) {
            uint8_t* texels = static_cast<uint8_t*>(locked.pBits) + size_t(s) * size_t(locked.SlicePitch) +
                              size_t(y) * size_t(locked.RowPitch);
            uint8_t* copy = reinterpret_cast<uint8_t*>(t->pixels.data()) + (size_t(s) * r->textureHeight + y) * row;
            memcpy(toTexture ? texels : copy, toTexture ? copy : texels, row);
        }
    }
    t->volume->UnlockBox(0);
    return true;
}

uint32_t* TexturePixels(TextureRecord* r) {
    TextureObject* t = r->object;
    if (t->pixels.empty()) {
        t->pixels.assign(size_t(r->textureWidth) * size_t(r->textureHeight) * size_t(r->depth), 0);
        CopyLevel0(r, false);
    }
    return t->pixels.data();
}

void BeginTextureUpload() { uploadFailed = false; }
bool TextureUploadFailed() { return uploadFailed; }

void UploadTexturePixels(TextureRecord* r) {
    if (!CopyLevel0(r, true)) {
        ReportError("Error", "Error loading image to texture:\ncould not write the texture");
        uploadFailed = true;
        return;
    }
    if (r->object->levels > 1 && r->object->texture)
        D3DXFilterTexture(r->object->texture, nullptr, 0, D3DX_FILTER_BOX);
}

// ---- loading through D3DX ----

// Kind 5: the red channel of the height image becomes a normal map with
// opaque alpha, whatever the runtime's own normal-map helper does.
// Either texture may come in another format or smaller than asked (D3DX
// picks what the device takes): then there is no normal map.
static IDirect3DTexture9* MakeNormalMap(IDirect3DTexture9* heights, UINT width, UINT height, UINT levels) {
    D3DLOCKED_RECT locked;
    if (!LockWordTexels(heights, int(width), int(height), D3DLOCK_READONLY, locked))
        return nullptr;
    std::vector<uint32_t> in(size_t(width) * height), out(in.size());
    for (UINT y = 0; y < height; y++)
        memcpy(&in[size_t(y) * width], static_cast<uint8_t*>(locked.pBits) + size_t(y) * size_t(locked.Pitch),
               size_t(width) * 4);
    heights->UnlockRect(0);
    ComputeNormalMap(in.data(), int(width), int(height), 1.0f, out.data());

    IDirect3DTexture9* normals = nullptr;
    if (FAILED(D3DXCreateTexture(d3dDevice, width, height, levels, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &normals)))
        return nullptr;
    if (!LockWordTexels(normals, int(width), int(height), 0, locked)) {
        normals->Release();
        return nullptr;
    }
    for (UINT y = 0; y < height; y++)
        memcpy(static_cast<uint8_t*>(locked.pBits) + size_t(y) * size_t(locked.Pitch), &out[size_t(y) * width],
               size_t(width) * 4);
    normals->UnlockRect(0);
    if (levels > 1)
        D3DXFilterTexture(normals, nullptr, 0, D3DX_FILTER_BOX);
    return normals;
}

static IDirect3DTexture9* LoadImageTexture(const std::string& fileName, const std::string& bytes, int kind,
                                           bool colourKey, bool mipmap, bool filtered, D3DXIMAGE_INFO& info,
                                           UINT& levels) {
    if (FAILED(D3DXGetImageInfoFromFileInMemory(bytes.data(), UINT(bytes.size()), &info))) {
        ReportError("Error", "LoadTexture()-could not decode image " + fileName);
        return nullptr;
    }
    if (!IsPowerOfTwo(int(info.Width)) || !IsPowerOfTwo(int(info.Height)) ||
        (info.ResourceType != D3DRTYPE_SURFACE && info.ResourceType != D3DRTYPE_TEXTURE)) {
        ReportError("Error", "LoadTexture()-image sides must be powers of two: " + fileName);
        return nullptr;
    }
    uint32_t format = 0;
    bool colour32 = IsColour32();
    if (!ChooseTextureFormat(kind, colour32, [](uint32_t f) { return TextureFormatSupported(D3DFORMAT(f)); },
                             format)) {
        ReportError("Error", "LoadTexture()-unknown texture kind for " + fileName);
        return nullptr;
    }
    levels = UINT(MipLevelCount(int(info.Width), int(info.Height), mipmap));
    DWORD filter = filtered ? (D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER) : D3DX_FILTER_NONE;
    DWORD mipFilter = filtered ? D3DX_FILTER_BOX : D3DX_FILTER_POINT;
    IDirect3DTexture9* texture = nullptr;
    HRESULT hr = D3DXCreateTextureFromFileInMemoryEx(
        d3dDevice, bytes.data(), UINT(bytes.size()), info.Width, info.Height, levels, 0, D3DFORMAT(format),
        D3DPOOL_MANAGED, filter, mipFilter, colourKey ? 0xFF000000u : 0u, nullptr, nullptr, &texture);
    if (FAILED(hr)) {
        ReportD3DFailure(("LoadTexture()-" + fileName).c_str(), hr);
        return nullptr;
    }
    if (kind != 5)
        return texture;
    IDirect3DTexture9* normals = MakeNormalMap(texture, info.Width, info.Height, levels);
    texture->Release();
    if (!normals)
        ReportError("Error", "LoadTexture()-could not make the normal map of " + fileName);
    return normals;
}

// Files are read through the game's file layer and decoded from memory.
bool LoadTextureFile(CTexture& h, const std::string& fileName, bool colourKey, int kind, bool mipmap,
                     bool filtered) {
    RegisterTextureCallbacks();
    CAutoLock lock(&RenderLock());
    if (!d3dDevice)
        return false;
    std::string bytes = ReadWholeFile(true, fileName);
    if (bytes.empty()) {
        ReportError("Error", "LoadTexture()-could not read image " + fileName);
        return false;
    }
    D3DXIMAGE_INFO info;
    UINT levels = 1;
    IDirect3DTexture9* texture = LoadImageTexture(fileName, bytes, kind, colourKey, mipmap, filtered, info, levels);
    if (!texture)
        return false;
    h.CreateRecord();
    TextureRecord* r = h.GetRecord();
    r->kind = kind;
    r->width = r->textureWidth = int(info.Width);
    r->height = r->textureHeight = int(info.Height);
    r->depth = 1;
    r->mipmap = mipmap;
    r->object = new TextureObject;
    r->object->texture = texture;
    r->object->levels = int(texture->GetLevelCount());
    r->object->filter = filtered ? 2 : 1;
    return true;
}

void CTexture::Release() {
    CAutoLock lock(&RenderLock());
    if (!record->object)
        return;
    ReleaseObjects(record->object);
    delete record->object;
    record->object = nullptr;
}

void BindTexture(const CTexture& h, int unit) {
    const TextureRecord* r = h.GetRecord();
    if (!d3dDevice)
        return;
    if (!r || !r->object || (!r->object->texture && !r->object->volume)) {
        ReportError("Error", "BindTexture()-no texture to bind");
        d3dDevice->SetTexture(DWORD(unit), nullptr);
        return;
    }
    const TextureObject* t = r->object;
    DWORD stage = DWORD(unit);
    if (t->texture)
        d3dDevice->SetTexture(stage, t->texture);
    else
        d3dDevice->SetTexture(stage, t->volume);
    D3DTEXTUREFILTERTYPE filter = t->filter >= 2 ? D3DTEXF_LINEAR : D3DTEXF_POINT;
    d3dDevice->SetSamplerState(stage, D3DSAMP_MINFILTER, filter);
    d3dDevice->SetSamplerState(stage, D3DSAMP_MAGFILTER, filter);
    d3dDevice->SetSamplerState(stage, D3DSAMP_MIPFILTER, t->levels > 1 ? D3DTEXF_LINEAR : D3DTEXF_NONE);
    const D3DSAMPLERSTATETYPE axes[3] = {D3DSAMP_ADDRESSU, D3DSAMP_ADDRESSV, D3DSAMP_ADDRESSW};
    for (int i = 0; i < 3; i++)
        d3dDevice->SetSamplerState(stage, axes[i], t->wrap[i] ? D3DTADDRESS_WRAP : D3DTADDRESS_CLAMP);
}

void UnbindTexture(int unit) {
    if (d3dDevice)
        d3dDevice->SetTexture(DWORD(unit), nullptr);
}

void DisableTexturing() { UnbindTexture(0); }

void SetTextureWrap(CTexture& h, bool repeatS, bool repeatT, bool repeatR) {
    TextureRecord* r = h.GetRecord();
    if (!r || !r->object)
        return;
    r->object->wrap[0] = repeatS;
    r->object->wrap[1] = repeatT;
    r->object->wrap[2] = repeatR;
}

// Modes 2 and 3 linear, others point, as in the OpenGL build.
void SetTextureFilter(int mode, CTexture& h) {
    TextureRecord* r = h.GetRecord();
    if (r && r->object)
        r->object->filter = (mode == 2 || mode == 3) ? 2 : 1;
}
