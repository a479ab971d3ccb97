// What the two back-end test programs draw and check alike, so a script can
// compare their frames: a sprite, vertex-colour quads, a quad through a tint
// program, and a line of text whose box of changed pixels is printed as
// "TEXTBOX x0 y0 x1 y1"; the device's first states and the images the loader
// refuses.
#ifndef TESTS_WIN32_TEST_DRAWING_H
#define TESTS_WIN32_TEST_DRAWING_H

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/error.h"
#include "core/matrix.h"
#include "render/render_setup.h"
#include "render/resources.h"
#include "render/shader.h"
#include "render/text.h"
#include "tests/win32/test_files.h"
#include "tests/win32/test_window.h"

// 64 x 64: magenta top half, yellow bottom half, and an opaque black 16 x 16
// corner that the colour key makes transparent.
inline bool WriteSprite(const std::string& path) {
    std::vector<uint32_t> image(64 * 64);
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 64; x++)
            image[size_t(y) * 64 + x] = (x < 16 && y < 16) ? 0xFF000000u : (y < 32 ? 0xFFFF00FFu : 0xFFFFFF00u);
    return WritePng(path, 64, 64, image);
}

struct ColourVertex {
    float x, y, z;
    uint32_t colour;
};

inline VertexLayout ColourLayout() { return {{VET_FLOAT3, VU_POSITION}, {VET_COLOUR, VU_COLOUR}}; }

// A 100 x 100 quad at (x, y) in one packed colour; false when the buffer did not lock.
inline bool FillColourQuad(CVertexBuffer& vb, float x, float y, uint32_t packed) {
    CVertexBufferLock lock(vb);
    const uint32_t c = ToDeviceColour(packed);
    const ColourVertex quad[4] = {{x, y, 0, c}, {x + 100, y, 0, c}, {x + 100, y + 100, 0, c}, {x, y + 100, 0, c}};
    if (lock.data)
        memcpy(lock.data, quad, sizeof(quad));
    return lock.data != nullptr;
}

// The quad's two triangles, unlocked before the lock goes out of scope.
inline bool FillQuadIndices(CIndexBuffer& ib) {
    CIndexBufferLock lock(ib);
    void* data = nullptr;
    const uint16_t indices[6] = {0, 1, 2, 0, 2, 3};
    bool locked = lock.GetData(data);
    if (locked)
        memcpy(data, indices, sizeof(indices));
    lock.Unlock();
    return locked;
}

// The states the game's drawing assumes of a new device.
inline bool DefaultStates() {
    return GetRenderSwitch(RS_DEPTH_TEST) && GetRenderSwitch(RS_BLEND) && GetCullMode() == CULL_CLOCKWISE &&
           GetDepthFunc() == CMP_LESS_EQUAL && GetAlphaFunc() == CMP_NOT_EQUAL && !GetRenderSwitch(RS_WIREFRAME);
}

// A missing file, one that is no image, and sides that are not powers of
// two: each refused with an error report, leaving the handle empty.
inline void CheckRefusedImages(const std::string& folder) {
    WriteText(folder + "junk.png", "this is not an image");
    WritePng(folder + "odd.png", 48, 48, std::vector<uint32_t>(48 * 48, 0xFFFFFFFFu));
    const char* const checks[3][2] = {
        {"missing_image", "missing.png"}, {"undecodable_image", "junk.png"}, {"refused_image_size", "odd.png"}};
    for (const auto& c : checks) {
        int reports = ErrorReportCount();
        CTexture t;
        Check(c[0], !LoadTexture(t, folder + c[1], false, 1, false) && t.IsEmpty() && ErrorReportCount() > reports);
    }
}

// An orange quad at 100..180 x 300..380 moved 300 to the right by the world
// matrix, through a bound program that reads "tint": the model matrix must be
// read the right way round for it to land at 400..480.
inline void DrawTintedQuad(CShaderProgram& program) {
    Matrix4 world;
    Matrix4Identity(world);
    world.m[3] = 300;
    SetWorldMatrix(world);
    SetStandardMatrices();
    const float tint[4] = {1.0f, 0.5f, 0.0f, 1.0f};
    program.SetVector4("tint", tint);
    BeginPrimitive(PRIM_TRIANGLE_FAN);
    AddVertex(100, 300);
    AddVertex(180, 300);
    AddVertex(180, 380);
    AddVertex(100, 380);
    EndPrimitive();
    Matrix4Identity(world);
    SetWorldMatrix(world);
}

// Drawn at (40, 40) in the screen projection over the sky; the box is
// searched within x 30..349 and y 30..99.
inline bool DrawAndMeasureText() {
    SetScreenProjection();
    {
        CText text("Vexmoor 0123");
        text.SetSize(24.0f);
        text.SetPosition(40.0f, 40.0f);
        text.Draw();
    }
    std::vector<uint8_t> rgba;
    ReadFrame(rgba);
    int x0 = 10000, y0 = 10000, x1 = -1, y1 = -1;
    for (int y = 30; y < 100; y++) {
        for (int x = 30; x < 350; x++) {
            if (IsSky(FramePixel(rgba, x, y), 8))
                continue;
            x0 = x < x0 ? x : x0;
            y0 = y < y0 ? y : y0;
            x1 = x > x1 ? x : x1;
            y1 = y > y1 ? y : y1;
        }
    }
    printf("TEXTBOX %d %d %d %d\n", x0, y0, x1, y1);
    fflush(stdout);
    return x1 > x0 + 50 && y1 > y0 + 8;
}

#endif
