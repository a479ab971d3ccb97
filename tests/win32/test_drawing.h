// What the two back-end test programs draw alike, so a script can compare
// their frames: a quad through a tint program, and a line of text whose box
// of changed pixels is printed as "TEXTBOX x0 y0 x1 y1".
#ifndef TESTS_WIN32_TEST_DRAWING_H
#define TESTS_WIN32_TEST_DRAWING_H

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/matrix.h"
#include "render/render_setup.h"
#include "render/shader.h"
#include "render/text.h"
#include "tests/win32/test_window.h"

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
            const uint8_t* p = FramePixel(rgba, x, y);
            bool sky = abs(p[0] - 0) <= 8 && abs(p[1] - 127) <= 8 && abs(p[2] - 204) <= 8;
            if (sky)
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
