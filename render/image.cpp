// The platform-neutral half of CImage; LoadFromFile is the platform's
// (render/win32 with GDI+, render/native from the file's own bytes).
#include "render/image.h"

#include <cstring>

CImage::CImage() : pixels(nullptr), width(0), height(0), reserved(0) {}

CImage::~CImage() { Free(); }

void CImage::Free() {
    delete[] pixels;
    pixels = nullptr;
}

void CImage::CopyFrom(const CImage& other) {
    if (this == &other)
        return;
    Free();
    width = other.width;
    height = other.height;
    reserved = other.reserved;
    if (other.pixels) {
        size_t count = size_t(width) * size_t(height);
        pixels = new uint32_t[count];
        memcpy(pixels, other.pixels, count * sizeof(uint32_t));
    }
}
