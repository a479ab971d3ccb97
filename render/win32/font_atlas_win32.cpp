#include "render/font_atlas.h"

#include <windows.h>
#include <cstring>

struct GlyphRasteriserState {
    int cell;
    HDC dc;
    HFONT font;
    HBITMAP bitmap;
    HGDIOBJ oldFont;
    HGDIOBJ oldBitmap;
    uint32_t* bits;   // top-down, 32 bits per pixel, blue in the low byte
};

CGlyphRasteriser::CGlyphRasteriser() : state(nullptr) {
}

CGlyphRasteriser::~CGlyphRasteriser() {
    End();
}

bool CGlyphRasteriser::Begin(const std::string& face, int pixelSize, int cell) {
    End();
    HFONT font = CreateFontA(pixelSize - 1, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, face.c_str());
    if (!font) {
        return false;
    }
    // The screen's device context: the same pixel format as the game window's.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (!dc) {
        DeleteObject(font);
        return false;
    }
    BITMAPINFO info;
    memset(&info, 0, sizeof(info));
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = cell;
    info.bmiHeader.biHeight = -cell;   // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap) {
            DeleteObject(bitmap);
        }
        DeleteDC(dc);
        DeleteObject(font);
        return false;
    }
    state = new GlyphRasteriserState;
    state->cell = cell;
    state->dc = dc;
    state->font = font;
    state->bitmap = bitmap;
    state->bits = (uint32_t*)bits;
    state->oldFont = SelectObject(dc, font);
    state->oldBitmap = SelectObject(dc, bitmap);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(0, 0, 0));
    SetTextColor(dc, RGB(255, 255, 255));
    return true;
}

void CGlyphRasteriser::Draw(uint8_t code, int x, int y, uint8_t* coverage) {
    if (!state) {
        return;
    }
    int cell = state->cell;
    GdiFlush();
    memset(state->bits, 0, (size_t)cell * cell * 4);
    char c = code <= 32 ? ' ' : (char)code;
    TextOutA(state->dc, x, y, &c, 1);
    // GDI may batch the drawing; the bits are only current after a flush.
    GdiFlush();
    for (int i = 0; i < cell * cell; i++) {
        coverage[i] = (uint8_t)(state->bits[i] & 0xFF);
    }
}

void CGlyphRasteriser::End() {
    if (!state) {
        return;
    }
    SelectObject(state->dc, state->oldBitmap);
    SelectObject(state->dc, state->oldFont);
    DeleteObject(state->bitmap);
    DeleteObject(state->font);
    DeleteDC(state->dc);
    delete state;
    state = nullptr;
}
