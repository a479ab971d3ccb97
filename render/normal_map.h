// Bump maps for the Direct3D build: a height image turned into a normal map
// on the CPU, so every runtime (including ones whose D3DX leaves the map
// empty) gives the same texels.
#ifndef RENDER_NORMAL_MAP_H
#define RENDER_NORMAL_MAP_H

#include <cstdint>

// heights and out: width x height 32-bit texels, blue in the low byte (ARGB
// words). The height is the red channel scaled to 0..1; slopes are central
// differences with the image wrapping at its edges, times amplitude.
// out gets the unit normal (-dh/dx, -dh/dy, 1) normalised, each component
// mapped from -1..1 to 0..255 into red, green and blue, and alpha 255.
void ComputeNormalMap(const uint32_t* heights, int width, int height, float amplitude, uint32_t* out);

#endif
