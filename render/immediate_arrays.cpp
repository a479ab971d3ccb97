// The array forms of the immediate-mode attribute setters: each hands its
// values to the per-value form of the back-end, so a vertex given either
// way comes out the same.
#include "render/backend.h"

void SetVertexColour3(const float* rgb) { SetVertexColour(rgb[0], rgb[1], rgb[2]); }
void SetVertexColour4(const float* rgba) { SetVertexColour(rgba[0], rgba[1], rgba[2], rgba[3]); }
void SetVertexColourBytes(const uint8_t* rgba) {
    SetVertexColour(uint32_t(rgba[0]) | uint32_t(rgba[1]) << 8 | uint32_t(rgba[2]) << 16 | uint32_t(rgba[3]) << 24);
}
void SetVertexNormal(const float* xyz) { SetVertexNormal(xyz[0], xyz[1], xyz[2]); }
void SetVertexTexCoord1(const float* s) { SetVertexTexCoord(s[0]); }
void SetVertexTexCoord2(const float* st) { SetVertexTexCoord(st[0], st[1]); }
void SetVertexTexCoord3(const float* str) { SetVertexTexCoord(str[0], str[1], str[2]); }
void SetVertexTexCoord4(const float* strq) { SetVertexTexCoord(strq[0], strq[1], strq[2], strq[3]); }
void AddVertex2(const float* xy) { AddVertex(xy[0], xy[1]); }
void AddVertex3(const float* xyz) { AddVertex(xyz[0], xyz[1], xyz[2]); }
void AddVertex4(const float* xyzw) { AddVertex(xyzw[0], xyzw[1], xyzw[2], xyzw[3]); }
