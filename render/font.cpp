#include "render/font.h"

#include <cstring>
#include <list>
#include <vector>

#include "render/font_atlas.h"
#include "render/render_setup.h"

namespace {

std::list<CFont>& FontCache() {
    static std::list<CFont> cache;
    return cache;
}

int cacheGeneration = 0;
bool releaseRegistered = false;

// Columns of the leftmost and rightmost ink; both 0 for a blank cell.
void FindInk(const uint8_t* coverage, int cell, int& left, int& right) {
    left = 0;
    right = 0;
    bool found = false;
    for (int col = 0; col < cell; col++) {
        for (int row = 0; row < cell; row++) {
            if (coverage[row * cell + col]) {
                if (!found) {
                    left = col;
                    found = true;
                }
                right = col;
                break;
            }
        }
    }
}

// White texels whose alpha is the coverage.
void CopyCell(const uint8_t* coverage, int cell, int code, uint8_t* data, int pitch,
              int bitsPerPixel) {
    int originX = (code % 16) * cell;
    int originY = (code / 16) * cell;
    for (int row = 0; row < cell; row++) {
        uint8_t* dest = data + (size_t)(originY + row) * pitch;
        for (int col = 0; col < cell; col++) {
            uint8_t c = coverage[row * cell + col];
            if (bitsPerPixel == 32) {
                uint32_t texel = (uint32_t)c << 24 | 0x00FFFFFFu;
                memcpy(dest + (size_t)(originX + col) * 4, &texel, 4);
            } else {
                uint16_t texel = (uint16_t)((c << 8 | 0x0F00) + 0xFF);
                memcpy(dest + (size_t)(originX + col) * 2, &texel, 2);
            }
        }
    }
}

void FillAtlas(CFont& font, int cell, CGlyphRasteriser& raster) {
    CTextureLock lock(font.texture, true);
    void* data = nullptr;
    int pitch, sliceSize, bitsPerPixel, width, height, depth;
    bool usable = lock.GetData(data, pitch, sliceSize, bitsPerPixel, width, height, depth) &&
                  (bitsPerPixel == 16 || bitsPerPixel == 32) && width >= 16 * cell &&
                  height >= 16 * cell;
    std::vector<uint8_t> coverage((size_t)cell * cell);
    for (int code = 0; code < 256; code++) {
        int left, right;
        raster.Draw((uint8_t)code, 1, 1, coverage.data());
        FindInk(coverage.data(), cell, left, right);
        bool ink = false;
        for (uint8_t c : coverage) {
            if (c) {
                ink = true;
                break;
            }
        }
        if (code == 32) {
            font.widths[code] = (int)(cell * 0.3);
        } else if (ink) {
            font.widths[code] = right - left + 2;
        } else {
            font.widths[code] = 0;
        }
        if (!usable) {
            continue;
        }
        // Fixed pitch centres the ink in the cell; otherwise ink starts at column 1.
        int x = font.fixedPitch ? (cell - 1 - right - left) / 2 + 1 : 2 - left;
        raster.Draw((uint8_t)code, x, 1, coverage.data());
        CopyCell(coverage.data(), cell, code, (uint8_t*)data, pitch, bitsPerPixel);
    }
    lock.Unlock();
}

}  // namespace

int FontCellSize(float size) {
    // Sizes come from data files: anything past the largest cell stops there
    // instead of overflowing the conversion.
    double wanted = size * 1.5 + 0.1;
    int limit = wanted < 128.0 ? (int)wanted : 128;
    int cell = 16;
    while (cell * 2 <= limit && cell < 64) {
        cell *= 2;
    }
    return cell;
}

int FontPixelSize(float size) {
    int pixelSize = size < 16.0f ? (int)size : FontCellSize(size);
    return pixelSize < 5 ? 5 : pixelSize;
}

CFont* GetFont(const std::string& requestedName, float size, bool fixed) {
    if (!(size >= 2.0f) || requestedName.size() >= 31) {
        return nullptr;
    }
    std::string name = requestedName.empty() ? "Ariel" : requestedName;
    if (!releaseRegistered) {
        RegisterShutdownCallback(ReleaseFonts);
        releaseRegistered = true;
    }

    int cell = FontCellSize(size);
    int pixelSize = FontPixelSize(size);
    uint8_t fixedFlag = fixed ? 1 : 0;
    for (CFont& font : FontCache()) {
        if (font.pixelSize == pixelSize && font.name == name && font.fixedPitch == fixedFlag) {
            return &font;
        }
    }

    CFont font;
    font.name = name;
    font.size = size;
    font.pixelSize = pixelSize;
    font.fixedPitch = fixedFlag;
    memset(font.widths, 0, sizeof(font.widths));
    // No mipmaps: only level 0 is ever filled.
    if (!CreateTexture(font.texture, 16 * cell, 16 * cell, 1, false)) {
        return nullptr;
    }
    SetTextureWrap(font.texture, false, false, false);
    SetTextureFilter(IsFilteredFont(font) ? 2 : 0, font.texture);

    CGlyphRasteriser raster;
    if (!raster.Begin(name, pixelSize, cell)) {
        return nullptr;
    }
    FillAtlas(font, cell, raster);
    raster.End();

    FontCache().push_back(font);
    return &FontCache().back();
}

void ReleaseFonts() {
    FontCache().clear();
    cacheGeneration++;
}

int GetFontCacheGeneration() {
    return cacheGeneration;
}

int GetFontCount() {
    return (int)FontCache().size();
}
