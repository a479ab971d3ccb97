// Bitmap fonts: every character code 0..255 of a system font drawn into a
// 16 x 16 grid of cells of one texture, with the advance width of each code
// measured from its ink. Built once per (name, pixel size, fixed pitch) and
// kept in a small cache of the fonts used last; a text holds its font
// through a shared handle, so a font the cache lets go of lives on until
// the last text using it lets go too.
#ifndef RENDER_FONT_H
#define RENDER_FONT_H

#include <cstddef>
#include <cstdint>
#include <memory>
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

typedef std::shared_ptr<CFont> CFontRef;

// Atlases the cache keeps (the largest is 4 MB); fonts named once in data
// files cannot pile up.
const int FontCacheCapacity = 8;

// Fonts made at size 32 and above are filtered (linear), smaller ones not.
inline bool IsFilteredFont(const CFont& font) { return font.size >= 32.0f; }

// None for a size below 2, a name of 31 characters or more, or a font that
// cannot be made. An empty name is "Ariel". The font stays valid while the
// handle is held.
CFontRef GetFont(const std::string& name, float size, bool fixed);
// Releases the texture of every font, cached or still held, and empties the
// cache (renderer shutdown).
void ReleaseFonts();
// Changes whenever the cache is emptied, so texts know their font is gone.
int GetFontCacheGeneration();
// Fonts in the cache.
int GetFontCount();

// Every font alive (cached or held by a text) and its atlas bytes, with the
// largest values since the last reset.
struct FontMemory {
    int fonts = 0;
    size_t bytes = 0;
    int peakFonts = 0;
    size_t peakBytes = 0;
};
FontMemory GetFontMemory();
void ResetFontMemoryPeak();

// The atlas cell for a requested size: the largest power of two not above
// size x 1.5, within 16..64; and the pixel height of the font drawn into it.
int FontCellSize(float size);
int FontPixelSize(float size);

#endif
