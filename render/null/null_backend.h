// Test seams of the headless back-end: what was drawn and set, so tests of
// the drawing code can look without a window. Native builds only.
#ifndef RENDER_NULL_NULL_BACKEND_H
#define RENDER_NULL_NULL_BACKEND_H

#include <cstdint>
#include <string>
#include <vector>

#include "render/backend.h"

class CShaderProgram;
struct TextureRecord;

struct NullVertex {
    float position[4];
    float normal[3];
    float texCoord[4];
    uint32_t colour;
};

struct NullPrimitive {
    PrimitiveType type = PRIM_POINTS;
    std::vector<NullVertex> vertices;
};

struct NullCounters {
    int primitives = 0;            // immediate-mode primitives ended
    int drawCalls = 0;             // draws over bound buffers
    int indexedTriangles = 0;      // triangles drawn with DrawIndexedTriangles
    int vertexBufferBinds = 0;     // binds that did the work (not skipped)
    int indexBufferBinds = 0;
    int drawErrors = 0;            // draws with no buffer, a mapped buffer or indices out of range
    int clears = 0;
    int presents = 0;
    int frameBegins = 0;
};

const NullPrimitive& NullLastPrimitive();
NullCounters& NullRenderCounters();
void NullResetCounters();

uint32_t NullLastClearColour();
const TextureRecord* NullBoundTexture(int unit);
class CTexture;
// Wrap of axis 0 (S), 1 (T) or 2 (R): true for repeat, false for clamp.
bool NullTextureRepeats(const CTexture& h, int axis);
// The values last set for a uniform, or null.
const std::vector<float>* NullUniformValue(const CShaderProgram& program, const std::string& name);
void NullSetShadersAvailable(bool available);
// BeginDrawFrame gives false while set, as a lost device does.
void NullSetFrameRefused(bool refused);

// The draw recorder: while on, each state change, clear, program bind,
// uniform write, world matrix and draw appends one line, so a test can check
// the exact sequence a drawing pass sends. Lines:
//   "state <switch> <0|1>", "cull <cw|ccw|none>", "clear <aarrggbb hex of the packed colour>",
//   "program <vertex base name>", "program none", "uniform <name>",
//   "world <x> <y> <z>" (the translation), "draw <triangles>",
//   "primitive <type> <vertices> <first vertex's colour, hex> <texture on unit 0: its
//   file name, "(made)" or ->", and whatever tests add with NullRecord.
void NullStartRecording();
void NullStopRecording();
void NullRecord(const std::string& event);
const std::vector<std::string>& NullRecordedEvents();
// Each "primitive" line's primitive whole, in the same order, for tests that
// check where a picture went.
void NullRecordPrimitive(const NullPrimitive& primitive);
const std::vector<NullPrimitive>& NullRecordedPrimitives();

#endif
