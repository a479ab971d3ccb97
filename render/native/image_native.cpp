// Headless stand-in for the GDI+ decoder: uncompressed BMP files decode in
// full; PNG, JPEG and GIF give their size with transparent black pixels,
// which is all the headless back-end needs to make a texture of them.
#include "render/image.h"

#include <algorithm>
#include <vector>

#include "core/files.h"
#include "render/image_decode.h"

bool CImage::LoadFromFile(const std::string& fileName) {
    Free();
    width = height = 0;
    std::string bytes = ReadWholeFile(true, fileName);
    const uint8_t* data = reinterpret_cast<const uint8_t*>(bytes.data());
    std::vector<uint32_t> decoded;
    int w = 0, h = 0;
    if (!DecodeBmp(data, bytes.size(), decoded, w, h)) {
        if (!ReadImageSize(data, bytes.size(), w, h))
            return false;
        decoded.assign(size_t(w) * size_t(h), 0);
    }
    pixels = new uint32_t[decoded.size()];
    std::copy(decoded.begin(), decoded.end(), pixels);
    width = w;
    height = h;
    reserved = 0;
    return true;
}

void StartupGdiplus() {}
void ShutdownGdiplus() {}
