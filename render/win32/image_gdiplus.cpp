// Image decoding through GDI+ (PNG, JPEG, BMP and what else GDI+ reads).
#include <windows.h>
#include <objidl.h>

#include <gdiplus.h>

#include <cstring>

#include "render/image.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

static ULONG_PTR gdiplusToken = 0;

void StartupGdiplus() {
    if (gdiplusToken)
        return;
    GdiplusStartupInput input;
    GdiplusStartup(&gdiplusToken, &input, nullptr);
}

void ShutdownGdiplus() {
    if (!gdiplusToken)
        return;
    GdiplusShutdown(gdiplusToken);
    gdiplusToken = 0;
}

// Longer names would be cut, and a cut name could open another file.
static const size_t MAX_IMAGE_PATH = 255;

bool CImage::LoadFromFile(const std::string& fileName) {
    Free();
    width = height = 0;
    if (fileName.size() > MAX_IMAGE_PATH)
        return false;
    WCHAR wide[MAX_IMAGE_PATH + 1];
    int n = MultiByteToWideChar(CP_ACP, 0, fileName.c_str(), int(fileName.size()), wide, int(MAX_IMAGE_PATH));
    if (n <= 0 && !fileName.empty())
        return false;
    wide[n] = 0;

    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromFile(wide, &bitmap) != Ok || !bitmap)
        return false;
    UINT w = 0, h = 0;
    GdipGetImageWidth(bitmap, &w);
    GdipGetImageHeight(bitmap, &h);
    if (w == 0 || h == 0 || w > UINT(MAX_IMAGE_SIDE) || h > UINT(MAX_IMAGE_SIDE)) {
        GdipDisposeImage(bitmap);
        return false;
    }
    GpRect rect(0, 0, INT(w), INT(h));
    BitmapData locked;
    memset(&locked, 0, sizeof(locked));
    if (GdipBitmapLockBits(bitmap, &rect, ImageLockModeRead, PixelFormat32bppARGB, &locked) != Ok) {
        GdipDisposeImage(bitmap);
        return false;
    }
    pixels = new uint32_t[size_t(w) * size_t(h)];
    for (UINT row = 0; row < h; row++) {
        const uint8_t* src = static_cast<const uint8_t*>(locked.Scan0) + ptrdiff_t(row) * locked.Stride;
        memcpy(pixels + size_t(row) * w, src, size_t(w) * 4);
    }
    GdipBitmapUnlockBits(bitmap, &locked);
    GdipDisposeImage(bitmap);
    width = int32_t(w);
    height = int32_t(h);
    reserved = 0;
    return true;
}
