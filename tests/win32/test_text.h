// A line of text drawn the same way by every test program that includes it,
// with the box of the pixels it changed printed as "TEXTBOX x0 y0 x1 y1", so
// a script can compare where the two programs put the same text.
#ifndef TESTS_WIN32_TEST_TEXT_H
#define TESTS_WIN32_TEST_TEXT_H

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "render/render_setup.h"
#include "render/text.h"
#include "tests/win32/test_window.h"

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
