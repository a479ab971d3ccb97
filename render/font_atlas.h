// Draws single characters of a system font into a small greyscale bitmap,
// white ink on black, antialiased: GDI on Windows (render/win32). The native
// stand-in (render/native) draws plain boxes of known widths so that layout
// can be tested against fixed metrics.
#ifndef RENDER_FONT_ATLAS_H
#define RENDER_FONT_ATLAS_H

#include <cstdint>
#include <string>

struct GlyphRasteriserState;

class CGlyphRasteriser {
public:
    CGlyphRasteriser();
    ~CGlyphRasteriser();

    // A font of the face with character height pixelSize - 1 and a bitmap of
    // cell x cell pixels. False when the font cannot be made.
    bool Begin(const std::string& face, int pixelSize, int cell);
    // Clears the bitmap, draws the character with its top-left at (x, y) and
    // copies the coverage out: cell x cell bytes, rows from the top. Codes 0
    // to 32 draw a space.
    void Draw(uint8_t code, int x, int y, uint8_t* coverage);
    void End();

private:
    CGlyphRasteriser(const CGlyphRasteriser&) = delete;
    CGlyphRasteriser& operator=(const CGlyphRasteriser&) = delete;

    GlyphRasteriserState* state;
};

#endif
