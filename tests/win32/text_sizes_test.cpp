// The same line of text at every size from 8 to 32, drawn over the sky in
// two columns, and two lines in filtered fonts. Built for OpenGL here and for Direct3D as
// d3d_text_sizes_test: the script compares the two screenshots.
//
// The line holds glyphs whose atlas neighbour above has ink in its last row
// ('o' under '_', 'w' under 'g', 'z' under 'j'). Row 0 of every atlas cell
// is blank (glyphs are drawn from row 1), so the first screen row of a glyph
// quad, and the rows above it, show nothing unless sampling strays into the
// cell above. Prints "TEXT size x y lit ink" per line (lit: pixels lit in those
// rows; ink: pixels lit below them), "CHECK" lines, then shows the
// frame on screen.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "render/backend.h"
#include "render/font.h"
#include "render/render_setup.h"
#include "render/text.h"
#include "tests/win32/test_window.h"

static const char* const Line = "owz gw jz _o Vexmoor 09";

struct PlacedLine {
    int size, x, y, width;
    const char* face;
    bool fixed;
};

static void DrawLine(const PlacedLine& l) {
    CText text;
    text.SetFont(l.face);
    text.SetSize(float(l.size));
    text.SetFixedPitch(l.fixed, 0.5f);
    text.AddColour(0xffffffffu);
    text = Line;
    text.SetPosition(float(l.x), float(l.y));
    text.Draw();
}

static int LineWidth(const PlacedLine& l) {
    CText text(Line);
    text.SetFont(l.face);
    text.SetSize(float(l.size));
    text.SetFixedPitch(l.fixed, 0.5f);
    float left, top, right, bottom;
    text.GetBounds(left, top, right, bottom);
    return int(right - left);
}

// Sizes 8..21 down the left column and 22..32 down the right, 6 rows
// apart, each size asked for in turn (so 16..21 share the font made at 16,
// drawn texel for texel, and 22..32 the one made at 22). Below the left
// column, the filtered fonts: a fixed-pitch one made at 32 (texel for
// texel) and "Arial" at 33, a menu label's size (scaled).
static std::vector<PlacedLine> PlaceLines() {
    std::vector<PlacedLine> lines;
    int x = 10, y = 8;
    auto place = [&](int size, const char* face, bool fixed) {
        PlacedLine l{size, x, y, 0, face, fixed};
        CFontRef font = GetFont(face, float(size), fixed);
        int quad = font ? int(font->size + 0.5f) : size;
        l.width = LineWidth(l) + quad;
        lines.push_back(l);
        y += quad + 6;
    };
    for (int size = 8; size <= 21; size++)
        place(size, "", false);
    place(32, "", true);
    place(33, "Arial", false);
    x = 400;
    y = 8;
    for (int size = 22; size <= 32; size++)
        place(size, "", false);
    return lines;
}

static bool Lit(const std::vector<uint8_t>& frame, int x, int y) { return !IsSky(FramePixel(frame, x, y), 8); }

int main() {
    HWND window = StartTestProgram("Vexmoor Text Sizes");
    if (!window)
        return FinishChecks();
    CreateTextGlobals();
    std::vector<PlacedLine> lines = PlaceLines();
    bool drawn = StartTestFrame();
    if (drawn) {
        ClearFrame(TestSky, true, true, false);
        SetScreenProjection();
        for (const PlacedLine& l : lines)
            DrawLine(l);
    }
    EndTestFrame();
    Check("frame", drawn && NoDeviceError());

    std::vector<uint8_t> frame;
    ReadFrame(frame);
    int strayTotal = 0, linesWithInk = 0;
    for (const PlacedLine& l : lines) {
        int stray = 0, ink = 0;
        int right = l.x + l.width < TestWidth ? l.x + l.width : TestWidth - 1;
        for (int x = l.x; x <= right; x++) {
            for (int y = l.y - 2; y <= l.y; y++)
                stray += Lit(frame, x, y);
            for (int y = l.y + 1; y < l.y + l.size && y < TestHeight; y++)
                ink += Lit(frame, x, y);
        }
        printf("TEXT %d%s %d %d %d %d\n", l.size, l.fixed ? "f" : *l.face ? "a" : "", l.x, l.y, stray, ink);
        strayTotal += stray;
        linesWithInk += ink > 20;
    }
    Check("every_size_drawn", linesWithInk == int(lines.size()), std::to_string(linesWithInk));
    Check("nothing_above_the_cells", strayTotal == 0, std::to_string(strayTotal));
    ShowUntilSignalled("frame");
    DestroyTextGlobals();
    return EndTestProgram(window);
}
