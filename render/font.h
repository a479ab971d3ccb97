// Bitmap fonts: every character code 0..255 of a system font drawn into a
// 16 x 16 grid of cells of one texture, with the advance width of each code
// measured from its ink. Built once per (name, pixel size, fixed pitch) and
// kept in a cache until the renderer shuts down.
#ifndef RENDER_FONT_H
#define RENDER_FONT_H

#include <cstdint>
#include <string>

#include "render/resources.h"

class CFont {
public:
    CTexture texture;
    std::string name;
    float size;          // the size of the request that made the entry
    int pixelSize;
    uint8_t fixedPitch;
    int widths[256];     // advance in pixels, by unsigned character code
};

// Fonts made at size 32 and above are filtered (linear), smaller ones not.
inline bool IsFilteredFont(const CFont& font) { return font.size >= 32.0f; }

// None for a size below 2, a name of 31 characters or more, or a font that
// cannot be made. An empty name is "Ariel".
CFont* GetFont(const std::string& name, float size, bool fixed);
// Releases every font's texture and empties the cache (renderer shutdown).
void ReleaseFonts();
// Changes whenever the cache is emptied, so texts know their font is gone.
int GetFontCacheGeneration();
int GetFontCount();

// The atlas cell for a requested size: the largest power of two not above
// size x 1.5, within 16..64; and the pixel height of the font drawn into it.
int FontCellSize(float size);
int FontPixelSize(float size);

#endif
