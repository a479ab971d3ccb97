// Formatted text blocks against the stand-in font and the headless back-end:
// values matched to directives, wrapping, one height per line, and what the
// draw hands to DrawString (the scratch text keeps the last piece) and to the
// sprite drawing.
#include <gtest/gtest.h>

#include "game/stats.h"
#include "render/backend.h"
#include "render/font.h"
#include "render/null/null_backend.h"
#include "render/resources.h"
#include "render/text.h"
#include "render/text_block.h"

namespace {

const uint32_t RED = 0xFF0000FF;
const char* const Avatar = "data\\ui\\avatar.png";

class TextBlockTest : public ::testing::Test {
protected:
    void SetUp() override {
        RenderSetup setup;
        ASSERT_TRUE(InitRenderer(&setup, nullptr));
        CreateTextGlobals();
        g_soldierTypes.assign(2, SoldierType());
        g_soldierTypes[1].name = "Rifleman";
        SetSoldierTypeNameLookup(SoldierTypeName);
    }
    void TearDown() override {
        g_soldierTypes.clear();
        SetSoldierTypeNameLookup(nullptr);
        DestroyTextGlobals();
        ShutdownRenderer();
    }
    static CText& Last() { return *GetScratchText(); }
    static uint32_t LastColour() { return Last().GetColourRuns().at(0).colour; }
    // Draws a block at (x, y); the last piece it drew.
    static CText& Drawn(const char* format, const char* values, float x = 0.0f, float y = 0.0f) {
        CTextBlock block;
        CTextBlock::SetFormatFromString(block, format, values);
        block.Draw(x, y);
        return Last();
    }
};

float Width(const char* s) { return MeasureTextWidth(s, 16.0f, "Ariel"); }
int Height(const char* s) { return (int)MeasureTextHeight(s, 16.0f, "Ariel"); }

}  // namespace

TEST_F(TextBlockTest, SameFormatLaysOutOnceAndKeepsItsValuesUntilCleared) {
    CTextBlock block;
    EXPECT_EQ(block.GetMaxWidth(), 500.0f);
    CTextBlock::SetFormatFromString(block, "Ammo %i", "12");
    CTextBlock::SetFormatFromString(block, "Ammo %i", "30");
    EXPECT_EQ(block.GetLayoutCount(), 1);
    EXPECT_EQ(block.GetIntegers(), std::vector<int>{12});
    block.Clear();
    CTextBlock::SetFormatFromString(block, "Ammo %i", "30");
    EXPECT_EQ(block.GetIntegers(), std::vector<int>{30});
    block.SetMaxWidth(0.0f);
    EXPECT_EQ(block.GetMaxWidth(), 500.0f);
}

TEST_F(TextBlockTest, ValuesMatchTheirLettersAndMissingOnesStayInBounds) {
    CTextBlock block;
    // %u takes no token; the odd %c takes an opaque colour beyond the int range.
    CTextBlock::SetFormatFromString(block, "%u %i %c%i%c %t %s %f %i", "5 4278190335 7");
    EXPECT_EQ(block.GetIntegers(), (std::vector<int>{5, 7}));
    EXPECT_EQ(block.GetColours(), std::vector<uint32_t>{RED});
    EXPECT_TRUE(block.GetImageNames().empty());
    EXPECT_TRUE(block.GetSizes().empty());
    ASSERT_EQ(block.GetLines().size(), block.GetLineHeights().size());
    block.Draw(10.0f, 100.0f);   // the third %i, %t, %s and %f have no value

    // Typed values pair by letter, whatever order they come in.
    CTextBlock typed;
    typed.SetFormat("%u and %u then %i", {TextBlockValue::Number('i', 3), TextBlockValue::Number('u', 1),
                                          TextBlockValue::Number('u', 99)});
    EXPECT_EQ(typed.GetSoldierTypes(), (std::vector<int>{1, 99}));
    typed.Draw(0.0f, 0.0f);
    EXPECT_EQ(Last().GetString(), "3");

    CTextBlock trailing;
    CTextBlock::SetFormatFromString(trailing, "Rifleman %", "");
    EXPECT_EQ(trailing.GetLines(), std::vector<std::string>{"Rifleman "});
    trailing.Draw(0.0f, 0.0f);
}

TEST_F(TextBlockTest, SoldierTypeNamesAreLookedUpAndUnknownOnesShowNothing) {
    for (int type : {1, -4}) {
        CTextBlock block;
        block.SetFormat("%u.", {TextBlockValue::Number('u', type)});
        block.Draw(0.0f, 0.0f);
        // The name drew, then "." after it; nothing before the "." for an unknown type.
        EXPECT_EQ(Last().GetX(), type == 1 ? Width("Rifleman") : 0.0f);
    }
}

TEST_F(TextBlockTest, WrapsAfterTheLastSpaceThatFitsAndKeepsOneHeightPerLine) {
    CTextBlock block;
    float word = Width("a") * 4;
    block.SetMaxWidth(word * 1.5f + Width(" "));
    CTextBlock::SetFormatFromString(block, "aaaa aaaa aaaa", "");
    EXPECT_EQ(block.GetLines(), (std::vector<std::string>{"aaaa ", "aaaa ", "aaaa"}));

    // The overflowing character is the space itself: the line ends with it and
    // the empty line after it is dropped.
    CTextBlock spaceAtEnd;
    spaceAtEnd.SetMaxWidth(word * 2 + Width(" ") * 1.5f);
    CTextBlock::SetFormatFromString(spaceAtEnd, "aaaa aaaa ", "");
    EXPECT_EQ(spaceAtEnd.GetLines(), std::vector<std::string>{"aaaa aaaa "});
    EXPECT_EQ(spaceAtEnd.GetLineHeights().size(), 1u);
    spaceAtEnd.Draw(0.0f, 0.0f);

    CTextBlock longWord;
    longWord.SetMaxWidth(word);
    CTextBlock::SetFormatFromString(longWord, "aaaaaaaaaaaa", "");
    EXPECT_EQ(longWord.GetLines().size(), 1u);

    // Lines are centred one below the other by half heights.
    block.Draw(5.0f, 50.0f);
    int h = block.GetLineHeights()[0];
    EXPECT_EQ(block.GetLineHeights(), (std::vector<int>{h, h, h}));
    EXPECT_EQ(Last().GetY(), 50.0f + (float)(4 * (h / 2)) - Height("aaaa") / 2.0f);
    EXPECT_EQ(Last().GetX(), 5.0f);
}

TEST_F(TextBlockTest, InsertedValuesStartANewLineButNeverBreakAnEmptyOne) {
    CTextBlock block;
    block.SetMaxWidth(Width("ab") + 1.0f);
    CTextBlock::SetFormatFromString(block, "ab%i", "12345");
    EXPECT_EQ(block.GetLines(), (std::vector<std::string>{"ab", "%i"}));
    EXPECT_EQ(block.GetLineHeights()[1], Height("12345"));

    CTextBlock alone;
    alone.SetMaxWidth(1.0f);
    CTextBlock::SetFormatFromString(alone, "%c%i%c", "4278190335 12345");
    EXPECT_EQ(alone.GetLines(), std::vector<std::string>{"%c%i%c"});
}

TEST_F(TextBlockTest, ImagesTakeTheirWidthAndMissingOnesNothing) {
    CTexture avatar;
    ASSERT_TRUE(LoadTextureClamped(avatar, Avatar));
    int w = avatar.GetWidth();

    CTextBlock block;
    CTextBlock::SetFormatFromString(block, "%tab", Avatar);
    ASSERT_EQ(block.GetLines().size(), 1u);
    EXPECT_GE(block.GetLineHeights()[0], avatar.GetHeight());
    NullResetCounters();
    block.Draw(10.0f, 200.0f);
    EXPECT_EQ(NullRenderCounters().primitives, 1);   // the image's quad
    EXPECT_EQ(Last().GetX(), 10.0f + (float)w);      // the text after it
    const NullPrimitive& quad = NullLastPrimitive();
    ASSERT_EQ(quad.vertices.size(), 4u);
    float cx = 0.0f, cy = 0.0f;
    for (const NullVertex& v : quad.vertices) {
        cx += v.position[0] / 4.0f;
        cy += v.position[1] / 4.0f;
    }
    EXPECT_FLOAT_EQ(cx, 10.0f + (float)(w / 2));
    EXPECT_FLOAT_EQ(cy, 200.0f);

    NullResetCounters();
    EXPECT_EQ(Drawn("%tab", "data\\ui\\no_such_image.png", 10.0f, 200.0f).GetX(), 10.0f);
    EXPECT_EQ(NullRenderCounters().primitives, 0);
}

TEST_F(TextBlockTest, TogglesSwitchOnOddOccurrencesAndRestoreOnEven) {
    // Format, values; the last piece drawn, its colour, size and font.
    struct { const char* format; const char* values; const char* last; uint32_t colour; float size; const char* font; }
    cases[] = {
        {"%cword%c", "4278190335", "word", RED, 16.0f, "Ariel"},
        {"%cword%c rest", "4278190335", " rest", 0xffffffffu, 16.0f, "Ariel"},
        {"%s%fbig%s%f small", "24 Courier", " small", 0xffffffffu, 16.0f, "Ariel"},
        {"%s%fbig", "24 Courier", "big", 0xffffffffu, 24.0f, "Courier"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Drawn(c.format, c.values).GetString(), c.last) << c.format;
        EXPECT_EQ(LastColour(), c.colour) << c.format;
        EXPECT_EQ(Last().GetSize(), c.size) << c.format;
        EXPECT_EQ(Last().GetFontName(), c.font) << c.format;
    }
}
