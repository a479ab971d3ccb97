// Texture loading that every back-end shares: slice lists for 3D textures,
// the clamped form used for sprites and the mesh files' form.
#include <cstring>
#include <vector>

#include "core/error.h"
#include "core/files.h"
#include "core/strings.h"
#include "render/image.h"
#include "render/backend_shared.h"
#include "render/render_maths.h"
#include "render/resources.h"

bool LoadTextureWithCallbacks(CTexture& h, const std::string& fileName, bool colourKey, int kind,
                              bool mipmap, bool filtered) {
    RegisterTextureCallbacks();
    return LoadTexture(h, fileName, colourKey, kind, mipmap, filtered);
}

bool LoadTextureClamped(CTexture& h, const std::string& fileName) {
    RegisterTextureCallbacks();
    if (!LoadTexture(h, fileName, true, 1, false))
        return false;
    SetTextureWrap(h, false, false, true);
    return true;
}

bool LoadVolumeTexture(CTexture& h, const std::string& listFile) {
    h.DropRecord();
    std::vector<std::string> lines;
    if (!ReadLineList(listFile, lines) || lines.empty())
        return false;

    std::string folder = GetDirectoryPart(listFile);
    std::vector<CImage> slices(lines.size());
    for (size_t i = 0; i < lines.size(); i++) {
        if (!slices[i].LoadFromFile(folder + lines[i]))
            return false;
        if (slices[i].GetWidth() != slices[0].GetWidth() ||
            slices[i].GetHeight() != slices[0].GetHeight())
            return false;
    }
    int width = slices[0].GetWidth(), height = slices[0].GetHeight();
    if (!CreateTexture(h, width, height, int(slices.size()), false))
        return false;

    CTextureLock lock(h, true);
    void* data = nullptr;
    int pitch, sliceSize, bits, w, hh, d;
    if (!lock.GetData(data, pitch, sliceSize, bits, w, hh, d)) {
        ReportError("Error", "LoadVolumeTexture()-could not lock the texture");
        lock.Unlock();
        h.DropRecord();   // a failed load leaves the handle empty
        return false;
    }
    for (size_t s = 0; s < slices.size(); s++) {
        for (int row = 0; row < height; row++) {
            uint8_t* dst = static_cast<uint8_t*>(data) + s * size_t(sliceSize) + size_t(row) * size_t(pitch);
            memcpy(dst, slices[s].GetPixels() + size_t(row) * size_t(width), size_t(width) * 4);
        }
    }
    lock.Unlock();
    return true;
}

void ApplyColourKey(uint32_t* pixels, size_t count) {
    for (size_t i = 0; i < count; i++)
        if (pixels[i] == 0xFF000000u)
            pixels[i] = 0;
}
