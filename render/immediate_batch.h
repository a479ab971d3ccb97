// OpenGL-style immediate mode gathered into one vertex array for a single
// draw: what the Direct3D back-end hands to DrawPrimitiveUP.
#ifndef RENDER_IMMEDIATE_BATCH_H
#define RENDER_IMMEDIATE_BATCH_H

#include <cstdint>
#include <vector>

#include "render/resources.h"

// 44 bytes: the layout MakeImmediateVertexLayout describes.
struct ImmediateVertex {
    float position[3];
    float normal[3];
    uint32_t colour;      // as the device reads it
    float texCoord[4];
};
static_assert(sizeof(ImmediateVertex) == 44, "immediate vertices are 44 bytes");

// Float3 position, Float3 normal, Colour, Float4 texture coordinate.
VertexLayout MakeImmediateVertexLayout();

class CImmediateBatch {
public:
    // Ignored while a primitive is begun; an unknown type begins nothing
    // (false), so the vertices that follow are dropped. Resets the current
    // normal and texture coordinate to 0 and the colour to opaque white.
    bool Begin(int type);
    bool IsBegun() const { return begun; }

    void SetColour(uint32_t deviceColour) { current.colour = deviceColour; }
    void SetNormal(float x, float y, float z);
    void SetTexCoord(float s, float t, float r, float q);
    void Add(float x, float y, float z);

    // When begun: the type, the primitives the vertices make (n - 2 for a
    // fan, n / per-primitive otherwise) and the vertices; then idle again.
    // False when nothing was begun.
    bool End(int& type, int& primitiveCount, std::vector<ImmediateVertex>& vertices);

private:
    bool begun = false;
    int type = 0;
    ImmediateVertex current = {};
    std::vector<ImmediateVertex> store;
};

#endif
