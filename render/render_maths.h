// The arithmetic the back-ends share, kept apart from any graphics library so
// it can be tested on its own. "GL order" is column-major: element
// [column * 4 + row], the transpose of the row-major Matrix4.
#ifndef RENDER_RENDER_MATHS_H
#define RENDER_RENDER_MATHS_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "render/backend.h"

struct Matrix4;

void MatrixToGLOrder(float out[16], const Matrix4& m);
void MatrixFromGLOrder(Matrix4& out, const float in[16]);
// a x b of two column-major matrices, column-major result. out may alias.
void MultiplyGLOrder(float out[16], const float a[16], const float b[16]);
// The model-view: View x World, from both in GL order.
void MakeModelView(float out[16], const float viewGL[16], const float worldGL[16]);
// Pixel space of a w x h screen (origin top left, y down) to the unit cube,
// in GL order: x' = 2x/w - 1, y' = 1 - 2y/h, z' = -z.
void MakeScreenProjection(float out[16], int width, int height);

// The viewport rectangle measured from the bottom edge, as glViewport takes it.
ViewportRect FlipViewport(const ViewportRect& rect, int setupHeight);

// Packed colour (red in the low byte) to four channels of 0..1.
void UnpackColour(uint32_t colour, float rgba[4]);
// Opaque-to-transparent white of the given alpha, clamped to 0..1.
uint32_t AlphaToWhite(float alpha);
// Each byte channel: the sum of the four corners' channels / 4, rounded down.
uint32_t AverageColour(uint32_t a, uint32_t b, uint32_t c, uint32_t d);

// Four corners (x, y pairs, fan order) of a sprite centred at (x, y), of the
// texture's size times scale, turned by angle.
void SpriteCorners(float out[8], float textureWidth, float textureHeight, float x, float y,
                   float angle, float scale);
// Four corners of an axis-aligned rectangle with the half-pixel offset.
void RectCorners(float out[8], float x0, float y0, float x1, float y1);

// Opaque black (0xFF000000) becomes transparent black; 0xFF000001 stays.
void ApplyColourKey(uint32_t* pixels, size_t count);

// True for 1, 2, 4, ...: exactly one bit set.
bool IsPowerOfTwo(int n);
// width x height x depth x bytesPerItem in size_t; false when any factor is
// negative or the product exceeds limit.
bool CheckedSize(size_t& out, int64_t a, int64_t b, int64_t c, int64_t bytesPerItem, size_t limit);

// Number of lines a text adds in front of a shader stage: its newlines plus
// the one joining it to the stage.
int PrefixLineCount(const std::string& prefix);
// Rewrites a compiler log so its line numbers refer to the stage file: in
// every line of more than one word, the number in the second word (the first
// when the line starts with '(') loses lineOffset.
std::string RewriteShaderLog(const std::string& log, int lineOffset);

#endif
