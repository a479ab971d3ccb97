// The text box's window of lines, against the stand-in font (size 16 lines,
// 'a' 6 pixels wide).
#include <gtest/gtest.h>

#include "render/textbox.h"

namespace {

// x 5, y 10, height 40 (two and a half lines), width 100, at most 5 lines.
CTextBox MakeBox() {
    return CTextBox("", 5.0f, 10.0f, 40.0f, 100.0f, 5, 16.0f, false, 0.5f);
}

}  // namespace

TEST(TextBoxTest, ScrollChoosesTheWindowOfLines) {
    CTextBox box = MakeBox();
    for (int i = 0; i < 4; i++) {
        box.AddLine(CText(std::string(1, (char)('a' + i))));
    }
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
    for (int i = 0; i < 6; i++) {
        box.AddLine(CText(std::to_string(i)));
    }
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
