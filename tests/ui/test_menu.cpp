// Menu files, the press rules, hidden buttons and the layout editor, with a
// scripted mouse and keyboard.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "render/null/null_backend.h"
#include "test_menu_input.h"
#include "ui/menu.h"

namespace {

// One button as the files write it, each value after a label line.
std::string Button(const std::string& name, int x, int y, int id, int hidden, int height, int width,
                   const std::string& eol = "\n") {
    std::ostringstream s;
    s << "Button name: " << eol << name << eol << "xpos: " << eol << x << eol << "ypos: " << eol << y
      << eol << "id: " << eol << id << eol << "Hide: " << eol << hidden << eol << "Height" << eol
      << height << eol << "BtWidth: " << eol << width << eol;
    return s.str();
}

void ReadText(CMenu& menu, const std::string& text) {
    std::istringstream in(text);
    menu.Read(in);
}

void ExpectButton(const CMenu& menu, int id, const std::string& name, float x, float y, uint32_t height,
                  uint32_t width, bool hidden) {
    const CMenuButton* b = menu.FindButton(id);
    ASSERT_NE(b, nullptr) << "id " << id;
    EXPECT_EQ(b->name, name);
    EXPECT_EQ(b->x, x);
    EXPECT_EQ(b->y, y);
    EXPECT_EQ(b->height, height);
    EXPECT_EQ(b->width, width);
    EXPECT_EQ(b->hidden != 0, hidden);
}

// A frame of input, then the menu's update.
int Step(MenuInput& input, CMenu& menu, int x, int y, bool left = false, bool right = false) {
    input.Frame(x, y, left, right);
    return menu.Update();
}

// Both buttons up for two mouse updates: a fresh menu is ready after this.
void Release(MenuInput& input, CMenu& menu, int x = 0, int y = 0) {
    Step(input, menu, x, y);
    EXPECT_EQ(Step(input, menu, x, y), 0);
}

int Click(MenuInput& input, CMenu& menu, int x, int y) {
    Release(input, menu, x, y);
    return Step(input, menu, x, y, true);
}

}  // namespace

TEST(MenuFileTest, ReadsSevenPairsPerButtonIgnoringLabels) {
    CMenu menu;
    std::string text = Button("Start", 10, 20, 2, 0, 30, 140) + Button("Quit game", -5, 7, 9, 3, 16, 0);
    // Labels are never looked at, whatever they say.
    text += "12345\nLast\nx\n1\ny\n2\n\n3\nHide\n\nh\n12\nw\n99\n";
    ReadText(menu, text);
    EXPECT_EQ(menu.GetButtonCount(), 3);
    ExpectButton(menu, 2, "Start", 10, 20, 30, 140, false);
    ExpectButton(menu, 9, "Quit game", -5, 7, 16, 0, true);
    ExpectButton(menu, 3, "Last", 1, 2, 12, 99, false);
    EXPECT_FALSE(menu.IsReady());   // a fresh menu waits for release
}

TEST(MenuFileTest, EndOfListAndCutShortButtons) {
    std::string two = Button("A", 0, 0, 1, 0, 10, 10) + Button("B", 0, 0, 2, 0, 10, 10);
    {
        CMenu menu;
        ReadText(menu, two + "Button name: \n\n" + Button("After", 0, 0, 3, 0, 10, 10));
        EXPECT_EQ(menu.GetButtonCount(), 2);
        EXPECT_EQ(menu.FindButton(3), nullptr);
    }
    {
        CMenu menu;
        ReadText(menu, "Button name:\n\n" + two);
        EXPECT_EQ(menu.GetButtonCount(), 0);
    }
    // The file may end at any line of the last button: it is dropped, the
    // ones before it stay.
    std::string third = Button("C", 1, 1, 3, 0, 10, 10);
    for (size_t cut = 0; cut < third.size(); cut++) {
        if (cut > 0 && third[cut - 1] != '\n') continue;
        CMenu menu;
        ReadText(menu, two + third.substr(0, cut));
        EXPECT_EQ(menu.GetButtonCount(), 2) << "cut at " << cut;
        EXPECT_EQ(menu.FindButton(3), nullptr);
    }
    // The last value without a line end still counts.
    CMenu menu;
    ReadText(menu, two + third.substr(0, third.size() - 1));
    EXPECT_EQ(menu.GetButtonCount(), 3);
}

TEST(MenuFileTest, NumbersDuplicatesAndLongLines) {
    CMenu menu;
    ReadText(menu, Button("Bad", 0, 0, 1, 0, 0, 0) + Button("x", 0, 0, 1, 0, 0, 0));
    std::string text = "n\nJunk\nx\nabc\ny\n12px\ni\n4\nh\nyes\nh\n-3\nw\n-1\n";
    text += Button("Second four", 1, 1, 4, 0, 5, 5);
    text += "n\n" + std::string(1500, 'W') + "\nx\n0\ny\n0\ni\n5\nh\n0\nh\n8\nw\n8\n";
    text += Button("Huge", 0, 0, 6, 0, 2147483647, 99999);
    ReadText(menu, text);
    EXPECT_EQ(menu.GetButtonCount(), 4);
    // Sizes past any screen are cut (the height becomes a label's text size).
    ExpectButton(menu, 6, "Huge", 0, 0, MENU_MAX_SIZE, MENU_MAX_SIZE, false);
    menu.Draw();
    // atoi rules; negative sizes count as 0 instead of wrapping.
    ExpectButton(menu, 4, "Junk", 0, 12, 0, 0, false);
    // The first button of an id keeps it.
    EXPECT_EQ(menu.FindButton(1)->name, "Bad");
    EXPECT_EQ(menu.FindButton(5)->name, std::string(MENU_MAX_LINE, 'W'));
}

TEST(MenuFileTest, LoadFromFilesWithWindowsLineEnds) {
    const char* path = "menu_test_crlf.txt";
    {
        std::ofstream out(path, std::ios::binary);
        out << Button("Campaign", 310, 260, 2, 0, 32, 180, "\r\n") << Button("Quit", 1, 2, 5, 1, 3, 4, "\r\n")
            << "Button name: \r\n\r\n";
    }
    CMenu menu;
    EXPECT_TRUE(menu.Load(path));
    EXPECT_EQ(menu.GetName(), path);
    EXPECT_EQ(menu.GetButtonCount(), 2);
    ExpectButton(menu, 2, "Campaign", 310, 260, 32, 180, false);
    ExpectButton(menu, 5, "Quit", 1, 2, 3, 4, true);
    std::remove(path);
}

TEST(MenuFileTest, MissingFileGivesAnEmptyMenu) {
    MenuInput input;
    CMenu menu;
    EXPECT_FALSE(menu.Load("data\\menu\\NoSuchMenu.txt"));
    EXPECT_EQ(menu.GetButtonCount(), 0);
    EXPECT_EQ(Click(input, menu, 10, 10), 0);
    NullResetCounters();
    menu.Draw();
    EXPECT_EQ(NullRenderCounters().primitives, 0);
    EXPECT_EQ(NullRenderCounters().drawCalls, 0);
}

class MenuPressTest : public ::testing::Test {
protected:
    void SetUp() override {
        // 1 and 3 overlap on x 150..200; 2 is apart.
        ReadText(menu, Button("One", 100, 100, 1, 0, 20, 100) + Button("Two", 100, 300, 2, 0, 20, 100) +
                           Button("Three", 150, 100, 3, 0, 20, 100));
    }
    MenuInput input;
    CMenu menu;
};

TEST_F(MenuPressTest, ButtonHeldWhenTheMenuIsMadeIsIgnored) {
    CMenu fresh;
    ReadText(fresh, Button("One", 100, 100, 1, 0, 20, 100));
    for (int i = 0; i < 3; i++) EXPECT_EQ(Step(input, fresh, 110, 110, true), 0);
    EXPECT_EQ(Step(input, fresh, 110, 110), 0);   // up now, but down at the update before
    EXPECT_FALSE(fresh.IsReady());
    EXPECT_EQ(Step(input, fresh, 110, 110), 0);
    EXPECT_TRUE(fresh.IsReady());
    EXPECT_EQ(Step(input, fresh, 110, 110, true), 1);
}

TEST_F(MenuPressTest, OneChoicePerPress) {
    EXPECT_EQ(Click(input, menu, 110, 110), 1);
    for (int y : {110, 310, 310}) EXPECT_EQ(Step(input, menu, 110, y, true), 0);   // still held, now over 2
    EXPECT_EQ(Step(input, menu, 110, 310, false, true), 0);   // the right button also keeps it waiting
    EXPECT_EQ(Click(input, menu, 110, 310), 2);
    // Pressing outside every button chooses nothing and needs no release.
    Release(input, menu);
    EXPECT_EQ(Step(input, menu, 50, 50, true), 0);
    EXPECT_EQ(Step(input, menu, 110, 110, true), 1);
}

TEST_F(MenuPressTest, BordersCountAndTheLowerIdWinsAnOverlap) {
    EXPECT_EQ(Click(input, menu, 100, 300), 2);   // top-left corner
    EXPECT_EQ(Click(input, menu, 200, 320), 2);   // bottom-right corner
    EXPECT_EQ(Click(input, menu, 201, 320), 0);
    EXPECT_EQ(Click(input, menu, 200, 321), 0);
    EXPECT_EQ(Click(input, menu, 99, 300), 0);
    EXPECT_EQ(Click(input, menu, 175, 110), 1);   // over 1 and 3
    EXPECT_EQ(Click(input, menu, 201, 110), 3);
    EXPECT_EQ(menu.GetButtonUnderCursor(), 3);
}

TEST_F(MenuPressTest, HiddenButtonsAreNeverChosen) {
    menu.SetButtonHidden(1, true);
    EXPECT_EQ(Click(input, menu, 110, 110), 0);
    // A hidden lower id no longer takes the click from the visible button.
    EXPECT_EQ(Click(input, menu, 175, 110), 3);
    EXPECT_EQ(menu.GetButtonUnderCursor(), 3);
    menu.SetAllHidden(true);
    EXPECT_EQ(Click(input, menu, 175, 110), 0);
    EXPECT_EQ(Click(input, menu, 110, 310), 0);
    EXPECT_EQ(menu.GetButtonUnderCursor(), 0);
    menu.SetButtonHidden(42, false);   // no such button: nothing happens
    menu.SetAllHidden(false);
    EXPECT_EQ(Click(input, menu, 175, 110), 1);

    // Nor picked up by the layout editor.
    menu.SetButtonHidden(1, true);
    Release(input, menu, 110, 110);
    EXPECT_EQ(Step(input, menu, 110, 110, false, true), 0);
    EXPECT_FALSE(menu.IsDragging());
    Release(input, menu, 175, 110);
    Step(input, menu, 175, 110, false, true);
    ASSERT_TRUE(menu.IsDragging());
    EXPECT_EQ(menu.GetDragged()->id, 3);
    menu.RemoveButton(3);   // ends the drag
    EXPECT_FALSE(menu.IsDragging());
}

TEST_F(MenuPressTest, LayoutEditorMovesAndResizes) {
    Release(input, menu, 110, 110);
    EXPECT_EQ(Step(input, menu, 110, 110, false, true), 0);
    ASSERT_TRUE(menu.IsDragging());
    EXPECT_EQ(menu.GetDragged()->id, 1);

    // While the right button is still held nothing moves.
    Step(input, menu, 130, 140, false, true);
    CMenuButton* one = menu.FindButton(1);
    EXPECT_EQ(one->x, 100);
    Step(input, menu, 130, 140);
    Step(input, menu, 130, 140);
    EXPECT_EQ(one->x, 120);   // corner keeps its offset from the cursor
    EXPECT_EQ(one->y, 130);

    input.Key(MENU_KEY_WIDER, true);
    for (int i = 0; i < 3; i++) Step(input, menu, 130, 140);
    EXPECT_EQ(one->width, 103u);
    input.Key(MENU_KEY_WIDER, false);
    input.Key(MENU_KEY_NARROWER, true);
    for (int i = 0; i < 200; i++) Step(input, menu, 130, 140);
    EXPECT_EQ(one->width, 0u);   // stops at 0, never wraps round
    input.Key(MENU_KEY_NARROWER, false);

    // A second right press drops it where it is; its id is unchanged.
    EXPECT_EQ(Step(input, menu, 300, 400, false, true), 0);
    EXPECT_FALSE(menu.IsDragging());
    EXPECT_EQ(menu.GetDragged(), nullptr);
    EXPECT_EQ(one->x, 290);
    EXPECT_EQ(one->y, 390);
    EXPECT_EQ(menu.FindButton(1), one);
    input.Key(MENU_KEY_WIDER, true);
    Release(input, menu, 300, 400);
    EXPECT_EQ(one->width, 0u);   // keys only act on a dragged button
}

TEST(MenuDrawTest, RectangleUnderEachVisibleLabel) {
    MenuInput input;
    CMenu menu;
    ReadText(menu, Button("Go", 100, 50, 1, 0, 16, 200) + Button("Hidden", 0, 0, 2, 1, 16, 200));
    input.Frame(0, 0, false);
    NullResetCounters();
    menu.Draw();
    EXPECT_EQ(NullRenderCounters().primitives, 1);   // the hidden button draws nothing
    EXPECT_EQ(NullRenderCounters().drawCalls, 1);
    const NullPrimitive& rect = NullLastPrimitive();
    ASSERT_EQ(rect.vertices.size(), 6u);
    const NullVertex& topLeft = rect.vertices[1];
    const NullVertex& bottomRight = rect.vertices[3];
    EXPECT_EQ(topLeft.position[0], 100);
    EXPECT_EQ(topLeft.position[1], 50);
    EXPECT_EQ(bottomRight.position[0], 300);
    // The rectangle is as high as the label's text, one line at size 16.
    EXPECT_EQ(bottomRight.position[1], 66);
    EXPECT_EQ(topLeft.colour, 0x37FFFFFFu);

    input.Frame(300, 66, false);   // the corner counts as over the button
    menu.Draw();
    EXPECT_EQ(NullLastPrimitive().vertices[1].colour, 0x370000FFu);
}
