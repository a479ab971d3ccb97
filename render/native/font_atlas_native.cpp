// Stand-in glyphs with fixed metrics: every code from 33 up is a solid box
// pixelSize / 4 + code % 4 pixels wide, starting one pixel right of the pen,
// so its advance is that width + 1; code 127 has no ink.
#include "render/font_atlas.h"

#include <cstring>

struct GlyphRasteriserState {
    int pixelSize;
    int cell;
};

CGlyphRasteriser::CGlyphRasteriser() : state(nullptr) {
}

CGlyphRasteriser::~CGlyphRasteriser() {
    End();
}

bool CGlyphRasteriser::Begin(const std::string& face, int pixelSize, int cell) {
    End();
    if (face.empty()) {
        return false;
    }
    state = new GlyphRasteriserState;
    state->pixelSize = pixelSize;
    state->cell = cell;
    return true;
}

void CGlyphRasteriser::Draw(uint8_t code, int x, int y, uint8_t* coverage) {
    if (!state) {
        return;
    }
    int cell = state->cell;
    memset(coverage, 0, (size_t)cell * cell);
    if (code <= 32 || code == 127) {
        return;
    }
    int inkWidth = state->pixelSize / 4 + code % 4;
    int inkHeight = state->pixelSize - 3;
    for (int row = y + 1; row <= y + inkHeight; row++) {
        for (int col = x + 1; col <= x + inkWidth; col++) {
            if (row >= 0 && row < cell && col >= 0 && col < cell) {
                coverage[row * cell + col] = 255;
            }
        }
    }
}

void CGlyphRasteriser::End() {
    delete state;
    state = nullptr;
}
