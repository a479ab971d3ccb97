// Coloured text and fonts against the native stand-in glyphs: a code from 33
// up is a box pixelSize / 4 + code % 4 wide, advancing one more; at size 16:
// 'a' 6, 'b' 7, 'c' 8, 'd' 5, space 4 (cell x 0.3), code 127 no ink. Then the
// text box's window of lines.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "render/backend.h"
#include "render/font.h"
#include "render/null/null_backend.h"
#include "render/text.h"
#include "render/textbox.h"

namespace {

const uint32_t RED = 0xFF0000FF;
const uint32_t GREEN = 0xFF00FF00;
const uint32_t BLUE = 0xFFFF0000;

// Each test starts with no fonts; the shutdown lets go of the scratch text's.
class TextTest : public ::testing::Test {
protected:
    void SetUp() override {
        RenderSetup setup;
        ASSERT_TRUE(InitRenderer(&setup, nullptr));
        ReleaseFonts();
    }
    void TearDown() override { ShutdownRenderer(); }
};

std::vector<std::string> Lines(CText& text, bool withColours, std::vector<float>* widths = nullptr) {
    std::vector<std::string> lines;
    int offset = 0;
    std::string line;
    float width;
    bool more = true;
    for (int guard = 0; more && guard < 1000; guard++) {
        more = text.NextLine(offset, line, width, withColours);
        lines.push_back(line);
        if (widths) widths->push_back(width);
    }
    return lines;
}

std::vector<TextVertex> Vertices(CText& text) {
    text.Draw();
    std::vector<TextVertex> out;
    CVertexBuffer buffer = text.GetVertexBuffer();
    CVertexBufferLock lock(buffer);
    const TextVertex* v = (const TextVertex*)lock.data;
    if (v) out.assign(v, v + text.GetVertexCount());
    return out;
}

std::string ColourCode(uint32_t c) {
    return std::string(1, TEXT_COLOUR_CODE) + (char)(c >> 24) + (char)(c & 0xFF) +
           (char)((c >> 8) & 0xFF) + (char)((c >> 16) & 0xFF);
}

uint32_t Texel(const CFontRef& font, int x, int y) {
    CTextureLock lock(font->texture, false);
    void* data;
    int pitch, slice, bits, w, h, d;
    if (!lock.GetData(data, pitch, slice, bits, w, h, d)) return 0xDEADBEEF;
    return *(const uint32_t*)((const uint8_t*)data + y * pitch + x * 4);
}

// x 5, y 10, height 40 (two and a half lines), width 100, at most 5 lines.
CTextBox MakeBox() {
    return CTextBox("", 5.0f, 10.0f, 40.0f, 100.0f, 5, 16.0f, false, 0.5f);
}

}  // namespace

TEST_F(TextTest, FontSizesCellsAndSharing) {
    struct { float size; int cell; int pixel; } cases[] = {
        {16.0f, 16, 16}, {12.0f, 16, 12}, {40.0f, 32, 32}, {100.0f, 64, 64}, {3.0f, 16, 5}, {24.0f, 32, 32}};
    for (auto& c : cases) {
        CFontRef font = GetFont("", c.size, false);
        ASSERT_NE(font, nullptr) << c.size;
        EXPECT_EQ(font->pixelSize, c.pixel) << c.size;
        EXPECT_EQ(font->texture.GetWidth(), 16 * c.cell) << c.size;
    }
    EXPECT_EQ(GetFont("", 16.0f, false), GetFont("Ariel", 17.0f, false));
    EXPECT_EQ(GetFont("Ariel", 17.0f, false)->size, 16.0f);   // the first request's size
    EXPECT_NE(GetFont("", 16.0f, false), GetFont("", 16.0f, true));
    // Sizes from data files past any cell stop at the largest one.
    EXPECT_EQ(FontCellSize(2147483647.0f), 64);
    EXPECT_EQ(FontCellSize(1e30f), 64);
    EXPECT_EQ(GetFont("", 3e9f, false)->pixelSize, 64);
    EXPECT_EQ(GetFont("", 1.9f, false), nullptr);
    EXPECT_EQ(GetFont(std::string(31, 'x'), 16.0f, false), nullptr);
    EXPECT_NE(GetFont(std::string(30, 'x'), 16.0f, false), nullptr);
}

TEST_F(TextTest, AdvancesAndAtlasCells) {
    CFontRef font = GetFont("", 16.0f, false);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->widths['a'], 6);
    EXPECT_EQ(font->widths[' '], 4);
    EXPECT_EQ(font->widths[127], 0);   // no ink
    EXPECT_EQ(font->widths[1], 0);     // control codes draw a space
    EXPECT_EQ(font->widths[255], 8);
    // 'a' (cell 1, 6) on row 5: ink from column 1, white with alpha. Fixed
    // pitch centres the ink: 5 columns in a 16 cell start at column 5.
    CFontRef fixed = GetFont("", 16.0f, true);
    const uint32_t ink = 0xFFFFFFFFu, none = 0x00FFFFFFu;
    struct { const CFontRef& font; int column; uint32_t texel; } cases[] = {
        {font, 0, none}, {font, 1, ink}, {font, 5, ink}, {font, 6, none},
        {fixed, 4, none}, {fixed, 5, ink}, {fixed, 9, ink}, {fixed, 10, none}};
    for (const auto& c : cases)
        EXPECT_EQ(Texel(c.font, 16 + c.column, 96 + 5), c.texel) << c.column;
}

TEST_F(TextTest, LinesWrapAtTheLastSpaceWithAtLeastOneGlyphEach) {
    // Text, wrap width (0 for none), lines and, where given, their widths.
    struct Case {
        const char* text;
        float wrap;
        std::vector<std::string> lines;
        std::vector<float> widths;
    } cases[] = {
        {"aaa bbb", 30.0f, {"aaa ", "bbb"}, {30.0f, 21.0f}},   // 18 + 4 + 21 = 43 pixels
        {"aaab", 18.0f, {"aa", "ab"}, {18.0f, 13.0f}},        // the third 'a' would end exactly at 18
        {"aaab", 18.01f, {"aaa", "b"}, {}},
        {"abc", 3.0f, {"a", "b", "c"}, {}},                   // narrower than a glyph: one glyph per line
        {"a b", 1.0f, {"a", " ", "b"}, {}},
        {"ab\ncd\n", 0.0f, {"ab", "cd"}, {}},
        {"a\x02\tb", 0.0f, {"ab"}, {}},
    };
    for (const Case& c : cases) {
        CText text(c.text);
        if (c.wrap > 0)
            text.SetWrapWidth(c.wrap);
        std::vector<float> widths;
        EXPECT_EQ(Lines(text, false, &widths), c.lines) << c.text << " " << c.wrap;
        EXPECT_TRUE(c.widths.empty() || widths == c.widths) << c.text;
    }

    // Bounds: the widest line, one line step each.
    CText text("aaa bbb"), noWrap("ab\ncd\n"), narrow("abc");
    text.SetWrapWidth(30.0f);
    text.SetPosition(10.0f, 20.0f);
    narrow.SetWrapWidth(3.0f);
    float l, t, r, b;
    text.GetBounds(l, t, r, b);
    EXPECT_TRUE(l == 10.0f && t == 20.0f && r == 40.0f && b == 52.0f) << l << " " << t << " " << r << " " << b;
    noWrap.GetBounds(l, t, r, b);
    EXPECT_EQ(b - t, 32.0f);
    EXPECT_EQ(r - l, 13.0f);   // "ab" and "cd" both 13
    narrow.GetBounds(l, t, r, b);
    EXPECT_EQ(b - t, 48.0f);
    EXPECT_EQ(Vertices(narrow).size(), 18u);
}

TEST_F(TextTest, ColourRunsAppendAssignAndCopy) {
    CText text("ab");
    text.AddColour(RED);
    EXPECT_EQ(text.GetColourRuns()[0].position, 2);   // at the end of the text
    text.Clear();
    text.AddColour(BLUE);
    text.AddColour(RED);                               // same position: replaced
    ASSERT_EQ(text.GetColourRuns().size(), 1u);
    text = "ab";
    text.AddColour(GREEN);
    text += CText("cd");
    EXPECT_EQ(text.GetString(), "abcd");
    ASSERT_EQ(text.GetColourRuns().size(), 2u);
    EXPECT_EQ(text.GetColourRuns()[0].colour, RED);
    EXPECT_EQ(text.GetColourRuns()[1].position, 2);
    EXPECT_EQ(text.GetColourRuns()[1].colour, GREEN);

    // The appended text's own first colour replaces a run at the join.
    CText blue;
    blue.AddColour(BLUE);
    blue = "ef";
    text.AddColour(GREEN);
    text += blue;
    ASSERT_EQ(text.GetColourRuns().size(), 3u);
    EXPECT_EQ(text.GetColourRuns()[2].position, 4);
    EXPECT_EQ(text.GetColourRuns()[2].colour, BLUE);

    text = "new";   // keeps the run at 0
    EXPECT_EQ(text.GetColourRuns().size(), 1u);
    CText later("xy");
    later.AddColour(RED);
    later = "z";     // first run at 2: all dropped
    EXPECT_TRUE(later.GetColourRuns().empty());

    CText copy;
    copy.CopyAttributes(text);
    EXPECT_EQ(copy.GetColourRuns().size(), 1u);
}

// A 64th of a texel of the 256-texel atlas of a 16-pixel font.
const float Nudge = 1.0f / (64.0f * 256.0f);

TEST_F(TextTest, ColourCodesAndVertices) {
    CText text;
    text.AddColour(RED);
    text = "ab";
    text.AddColour(GREEN);
    text += CText("cd");
    EXPECT_EQ(Lines(text, true)[0], ColourCode(RED) + "ab" + ColourCode(GREEN) + "cd");
    text.SetPosition(10.0f, 20.0f);
    std::vector<TextVertex> v = Vertices(text);
    ASSERT_EQ(v.size(), 24u);
    EXPECT_EQ(v[0].colour, RED);
    EXPECT_EQ(v[6].colour, RED);
    EXPECT_EQ(v[12].colour, GREEN);
    EXPECT_EQ(v[0].x, 10.5f);
    EXPECT_EQ(v[0].y, 20.5f);
    EXPECT_EQ(v[5].x, 26.5f);            // quads are the font's size wide
    EXPECT_EQ(v[6].x, 16.5f);            // 'a' advances 6
    // 'a' = 0x61: cell (1, 6) of the 256-texel atlas, a 64th of a texel
    // inside it, so no sample sits on the cell's edge; the quad still spans
    // exactly one cell.
    EXPECT_FLOAT_EQ(v[0].u, 1 / 16.0f + Nudge);
    EXPECT_FLOAT_EQ(v[0].v, 6 / 16.0f + Nudge);
    EXPECT_FLOAT_EQ(v[5].u - v[0].u, 1 / 16.0f);
    EXPECT_FLOAT_EQ(v[5].v - v[0].v, 1 / 16.0f);

    // Wrapping back to the space drops the codes after it; they start the next line.
    CText runAfterSpace("aaa ");
    runAfterSpace.AddColour(BLUE);
    runAfterSpace += CText("bbb");
    runAfterSpace.SetWrapWidth(30.0f);
    EXPECT_EQ(Lines(runAfterSpace, true), (std::vector<std::string>{"aaa ", ColourCode(BLUE) + "bbb"}));
    std::vector<TextVertex> w = Vertices(runAfterSpace);
    ASSERT_EQ(w.size(), 42u);
    EXPECT_EQ(w[0].colour, TEXT_DEFAULT_COLOUR);
    EXPECT_EQ(w[24].colour, BLUE);
    EXPECT_EQ(w[24].x, 0.5f);
    EXPECT_EQ(w[24].y, 16.5f);
}

TEST_F(TextTest, HighCharactersAreUnsigned) {
    CText text("\xFF\x80");
    EXPECT_EQ(Lines(text, false)[0], "\xFF\x80");
    std::vector<TextVertex> v = Vertices(text);
    ASSERT_EQ(v.size(), 12u);
    EXPECT_FLOAT_EQ(v[0].u, 15 / 16.0f + Nudge);
    EXPECT_FLOAT_EQ(v[0].v, 15 / 16.0f + Nudge);
    EXPECT_FLOAT_EQ(v[6].u, Nudge);
    EXPECT_FLOAT_EQ(v[6].v, 8 / 16.0f + Nudge);
    EXPECT_EQ(v[6].x - v[0].x, 8.0f);   // widths[255]
}

TEST_F(TextTest, CacheFollowsColourPositionAndAttributes) {
    DrawString("abc", 10.0f, 10.0f, RED, 16.0f, "");
    std::vector<TextVertex> v = Vertices(*GetScratchText());
    ASSERT_FALSE(v.empty());
    EXPECT_EQ(v[0].colour, RED);
    DrawString("abc", 10.0f, 10.0f, GREEN, 16.0f, "");
    v = Vertices(*GetScratchText());
    EXPECT_EQ(v[0].colour, GREEN);

    CText a("abc"), b("abc");
    Vertices(a);
    b.SetPosition(50.0f, 60.0f);
    a = b;   // same text, new position
    v = Vertices(a);
    EXPECT_EQ(v[0].x, 50.5f);
    a.SetFixedPitch(true, 0.5f);   // every glyph advances 8
    v = Vertices(a);
    EXPECT_EQ(v[12].x - v[6].x, 8.0f);

    CText copy(a);
    Vertices(copy);
    EXPECT_NE(copy.GetVertexBuffer().GetRecord(), a.GetVertexBuffer().GetRecord());

    int drawsBefore = NullRenderCounters().drawCalls;
    a.Draw();
    EXPECT_EQ(NullRenderCounters().drawCalls, drawsBefore + 1);
    EXPECT_EQ(NullBoundTexture(0), a.GetCurrentFont()->texture.GetRecord());
    EXPECT_EQ(NullRenderCounters().drawErrors, 0);
}

TEST_F(TextTest, MeasuringAndMissingFont) {
    EXPECT_EQ(MeasureTextWidth("aaa", 16.0f, ""), 0.0f);   // no globals yet
    CreateTextGlobals();
    EXPECT_EQ(MeasureTextWidth("aaa", 16.0f, ""), 18.0f);
    EXPECT_EQ(MeasureTextHeight("a\nb", 16.0f, ""), 32.0f);
    DestroyTextGlobals();

    CText tiny("abc");
    tiny.SetSize(1.0f);
    tiny.SetPosition(5.0f, 7.0f);
    float l, t, r, b;
    tiny.GetBounds(l, t, r, b);
    EXPECT_EQ(r, 5.0f);
    EXPECT_EQ(b, 7.0f);
    int drawsBefore = NullRenderCounters().drawCalls;
    tiny.Draw();
    EXPECT_EQ(NullRenderCounters().drawCalls, drawsBefore);

    // Fonts released at shutdown are looked up again, not read after release.
    CText text("ab");
    CFont* before = text.GetCurrentFont();
    ASSERT_NE(before, nullptr);
    ReleaseFonts();
    EXPECT_EQ(GetFontCount(), 0);
    EXPECT_NE(text.GetCurrentFont(), nullptr);
    EXPECT_EQ(GetFontCount(), 1);
}

TEST_F(TextTest, FontCacheKeepsRecentAtlasesAndHeldFontsStayValid) {
    ResetFontMemoryPeak();
    // A laid-out text keeps its font while the cache lets it go.
    CText held("abc");
    held.SetFont("held");
    Vertices(held);
    CFont* heldFont = held.GetCurrentFont();
    ASSERT_NE(heldFont, nullptr);
    std::weak_ptr<CFont> recent = GetFont("recent", 12.0f, false);

    for (int i = 0; i < 1000; i++) {
        ASSERT_NE(GetFont("face" + std::to_string(i), 12.0f, i % 2 == 0), nullptr);
        if (i % 4 == 0)
            GetFont("recent", 12.0f, false);   // used often: never the oldest
    }
    FontMemory memory = GetFontMemory();
    EXPECT_LE(memory.peakFonts, FontCacheCapacity + 1);   // at any time: the cache and the held font
    EXPECT_EQ(memory.fonts, GetFontCount() + 1);
    EXPECT_LE(memory.peakBytes, (size_t)(FontCacheCapacity + 1) * 256 * 256 * 4);
    EXPECT_FALSE(recent.expired());

    // The held font is the one it was, whole: it measures, builds and binds.
    EXPECT_EQ(held.GetCurrentFont(), heldFont);
    EXPECT_EQ(heldFont->widths['a'], 6);
    held.SetPosition(3.0f, 4.0f);
    EXPECT_EQ(Vertices(held).size(), 18u);
    EXPECT_EQ(NullBoundTexture(0), heldFont->texture.GetRecord());

    // An evicted font is made again on request; shutdown takes even held atlases.
    EXPECT_NE(GetFont("face0", 12.0f, true), nullptr);
    ReleaseFonts();
    EXPECT_EQ(GetFontMemory().bytes, 0u);
    EXPECT_TRUE(heldFont->texture.IsEmpty());
    EXPECT_NE(held.GetCurrentFont(), nullptr);
    EXPECT_FALSE(held.GetCurrentFont()->texture.IsEmpty());
}

TEST(TextBoxTest, ScrollChoosesTheWindowOfLines) {
    CTextBox box = MakeBox();
    for (int i = 0; i < 4; i++)
        box.AddLine(CText(std::string(1, (char)('a' + i))));
    // Scroll 1: the newest line's bottom on the box's bottom edge (y + 40).
    EXPECT_EQ(box.GetLine(3).GetY(), 34.0f);
    EXPECT_EQ(box.GetLine(0).GetY(), -14.0f);
    EXPECT_EQ(box.GetLine(0).GetX(), 5.0f);
    EXPECT_EQ(box.GetFirstVisible(), 1);   // top -14 + 16 = 2 is above the box
    EXPECT_EQ(box.GetLastVisible(), 3);

    box.SetScroll(0.0f);   // the oldest line's top on the box's top
    EXPECT_EQ(box.GetLine(0).GetY(), 10.0f);
    EXPECT_EQ(box.GetFirstVisible(), 0);
    EXPECT_EQ(box.GetLastVisible(), 2);    // tops 10, 26, 42, 58 in a box 10..50
    box.SetScroll(-0.5f);
    EXPECT_EQ(box.GetScroll(), 0.0f);
    box.SetScroll(2.0f);
    EXPECT_EQ(box.GetScroll(), 1.0f);
}

TEST(TextBoxTest, FewLinesSitAtTheBottomWhateverTheScroll) {
    CTextBox box = MakeBox();
    box.AddLine(CText("a"));
    box.SetScroll(0.0f);
    EXPECT_EQ(box.GetLine(0).GetY(), 34.0f);
    box.SetScroll(1.0f);
    EXPECT_EQ(box.GetLine(0).GetY(), 34.0f);
}

TEST(TextBoxTest, FullBoxDropsOldestAndWrapsLongLines) {
    CTextBox box = MakeBox();
    for (int i = 0; i < 6; i++)
        box.AddLine(CText(std::to_string(i)));
    EXPECT_EQ(box.GetLineCount(), 5);
    EXPECT_EQ(box.GetLine(0).GetString(), "1");

    CTextBox wide = MakeBox();
    wide.AddLine(CText(std::string(40, 'a')));   // 240 pixels in a 100 wide box
    EXPECT_EQ(wide.GetLine(0).GetWrapWidth(), 100.0f);
    EXPECT_EQ(wide.GetLineHeight(0), 48.0f);

    CTextBox narrow("", 0.0f, 0.0f, 40.0f, 2.5f, 5, 16.0f, false, 0.5f);
    narrow.AddLine(CText("abc"));   // narrower than a glyph: one per line, no hang
    EXPECT_EQ(narrow.GetLineHeight(0), 48.0f);
    EXPECT_EQ(narrow.GetLine(0).GetWrapWidth(), 2.0f);
}

TEST(TextBoxTest, LinesWithoutAFontShowNothing) {
    CTextBox box("", 0.0f, 0.0f, 40.0f, 100.0f, 5, 1.0f, false, 0.5f);   // size 1: no font
    box.AddLine(CText("a"));
    EXPECT_EQ(box.GetLineHeight(0), 0.0f);
    EXPECT_LT(box.GetLastVisible(), box.GetFirstVisible());
    box.Draw();
}
