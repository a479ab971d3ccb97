#include "render/font.h"

#include <algorithm>
#include <cstring>
#include <list>
#include <unordered_map>
#include <vector>

#include "render/font_atlas.h"
#include "render/render_setup.h"

namespace {

struct FontKey {
    std::string name;
    int pixelSize;
    uint8_t fixed;
    bool operator==(const FontKey& other) const {
        return pixelSize == other.pixelSize && fixed == other.fixed && name == other.name;
    }
};

struct FontKeyHash {
    size_t operator()(const FontKey& k) const {
        size_t size = (size_t)k.pixelSize << 1 | k.fixed;
        return std::hash<std::string>()(k.name) ^ size * 0x9E3779B97F4A7C15ull;
    }
};

// The fonts used last, most recent first, found through the index; and
// every font alive with its atlas bytes, cached or held by texts.
struct FontCache {
    std::list<CFontRef> recent;
    std::unordered_map<FontKey, std::list<CFontRef>::iterator, FontKeyHash> index;
    std::unordered_map<CFont*, size_t> live;
    FontMemory memory;
    int generation = 0;
    bool releaseRegistered = false;
};

// Never destroyed: texts in static objects let go of their fonts at exit.
FontCache& Cache() {
    static FontCache& cache = *new FontCache;
    return cache;
}

void DeleteFont(CFont* font) {
    FontCache& c = Cache();
    auto it = c.live.find(font);
    if (it != c.live.end()) {
        c.memory.fonts--;
        c.memory.bytes -= it->second;
        c.live.erase(it);
    }
    delete font;
}

CFontRef TrackFont(CFont* font) {
    FontCache& c = Cache();
    size_t bytes = (size_t)font->texture.GetWidth() * (size_t)font->texture.GetHeight() * 4;
    CFontRef ref(font, DeleteFont);
    c.live[font] = bytes;
    c.memory.fonts++;
    c.memory.bytes += bytes;
    c.memory.peakFonts = std::max(c.memory.peakFonts, c.memory.fonts);
    c.memory.peakBytes = std::max(c.memory.peakBytes, c.memory.bytes);
    return ref;
}

// Lets go of the font used longest ago; texts still holding it keep it.
void EvictOldest() {
    FontCache& c = Cache();
    const CFont& oldest = *c.recent.back();
    c.index.erase(FontKey{oldest.name, oldest.pixelSize, oldest.fixedPitch});
    c.recent.pop_back();
}

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

CFontRef GetFont(const std::string& requestedName, float size, bool fixed) {
    if (!(size >= 2.0f) || requestedName.size() >= 31) {
        return nullptr;
    }
    std::string name = requestedName.empty() ? "Ariel" : requestedName;
    FontCache& c = Cache();
    if (!c.releaseRegistered) {
        RegisterShutdownCallback(ReleaseFonts);
        c.releaseRegistered = true;
    }

    int cell = FontCellSize(size);
    int pixelSize = FontPixelSize(size);
    uint8_t fixedFlag = fixed ? 1 : 0;
    auto found = c.index.find(FontKey{name, pixelSize, fixedFlag});
    if (found != c.index.end()) {
        c.recent.splice(c.recent.begin(), c.recent, found->second);
        return c.recent.front();
    }
    // Room is made first, so the atlases alive never pass the bound for
    // the cache's sake.
    while ((int)c.recent.size() >= FontCacheCapacity) {
        EvictOldest();
    }

    std::unique_ptr<CFont> font(new CFont);
    font->name = name;
    font->size = size;
    font->pixelSize = pixelSize;
    font->fixedPitch = fixedFlag;
    memset(font->widths, 0, sizeof(font->widths));
    // No mipmaps: only level 0 is ever filled.
    if (!CreateTexture(font->texture, 16 * cell, 16 * cell, 1, false)) {
        return nullptr;
    }
    SetTextureWrap(font->texture, false, false, false);
    SetTextureFilter(IsFilteredFont(*font) ? 2 : 0, font->texture);

    CGlyphRasteriser raster;
    if (!raster.Begin(name, pixelSize, cell)) {
        return nullptr;
    }
    FillAtlas(*font, cell, raster);
    raster.End();

    c.recent.push_front(TrackFont(font.release()));
    c.index[FontKey{name, pixelSize, fixedFlag}] = c.recent.begin();
    return c.recent.front();
}

void ReleaseFonts() {
    FontCache& c = Cache();
    c.index.clear();
    c.recent.clear();
    // Fonts texts still hold lose their atlas now; the texts look their
    // font up again (the generation changes).
    for (auto& held : c.live) {
        held.first->texture.DropRecord();
        c.memory.bytes -= held.second;
        held.second = 0;
    }
    c.generation++;
}

int GetFontCacheGeneration() {
    return Cache().generation;
}

int GetFontCount() {
    return (int)Cache().recent.size();
}

FontMemory GetFontMemory() {
    return Cache().memory;
}

void ResetFontMemoryPeak() {
    FontCache& c = Cache();
    c.memory.peakFonts = c.memory.fonts;
    c.memory.peakBytes = c.memory.bytes;
}
