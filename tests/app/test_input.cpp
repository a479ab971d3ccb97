// Typed-key codes, key and button edges, focus loss, against scripted devices.
#include <gtest/gtest.h>

#include "app/typed_keys.h"
#include "tests/ui/test_menu_input.h"

namespace {

const uint32_t WM_ACTIVATE_ = 0x0006, WM_KEYDOWN_ = 0x0100, WM_CHAR_ = 0x0102, WM_MOUSEMOVE_ = 0x0200;
const intptr_t EXTENDED = 1 << 24;

std::vector<int> Drain() {
    std::vector<int> codes;
    while (!g_typedKeys.IsEmpty()) codes.push_back(g_typedKeys.Pop());
    return codes;
}

}  // namespace

TEST(TypedKeysTest, CharactersAndEditingKeys) {
    g_typedKeys.Clear();
    EXPECT_EQ(g_typedKeys.Pop(), 0);
    for (uintptr_t c : {97, 8, 98, 13}) EXPECT_TRUE(HandleInputMessage(WM_CHAR_, c, 0));
    EXPECT_EQ(Drain(), (std::vector<int>{97, -1, 8, 98, -2}));

    // VK_INSERT, DELETE, HOME, END, PRIOR, NEXT, UP, DOWN, LEFT, RIGHT.
    for (uintptr_t k : {0x2D, 0x2E, 0x24, 0x23, 0x21, 0x22, 0x26, 0x28, 0x25, 0x27})
        EXPECT_TRUE(HandleInputMessage(WM_KEYDOWN_, k, EXTENDED | 1));
    EXPECT_EQ(Drain(), (std::vector<int>{-3, -4, -5, -6, -7, -8, -9, -10, -11, -12}));
    EXPECT_FALSE(HandleInputMessage(WM_KEYDOWN_, 0x2E, 1));   // keypad Delete, not extended
    EXPECT_FALSE(HandleInputMessage(WM_KEYDOWN_, 'A', EXTENDED));
    EXPECT_TRUE(g_typedKeys.IsEmpty());

    // Characters 0xF4..0xFF stay characters, never editing codes.
    std::vector<int> high;
    for (int c = 0xF4; c <= 0xFF; c++) {
        HandleInputMessage(WM_CHAR_, c, 0);
        high.push_back(c);
    }
    EXPECT_EQ(Drain(), high);
    EXPECT_TRUE(HandleInputMessage(WM_CHAR_, 0x20AC, 0));   // not a byte: dropped
    EXPECT_TRUE(g_typedKeys.IsEmpty());
}

TEST(KeyboardTest, PressEdgesAndFocusLoss) {
    InputScript s;
    DeviceLink& device = s.keyboard;
    // One poll, then key 30 as (down, pressed).
    auto poll = [] {
        g_keyboard.Poll();
        return std::make_pair(g_keyboard.IsKeyDown(30), g_keyboard.IsKeyPressed(30));
    };
    const std::pair<bool, bool> up{false, false}, held{true, false}, pressed{true, true};
    device.acquireWorks = false;   // window not in front at start-up
    ASSERT_TRUE(g_keyboard.InitWithDevice(new ScriptKeyboard(&s)));
    EXPECT_EQ(poll(), up);
    device.acquireWorks = true;
    s.keys[30] = 0x80;
    EXPECT_EQ(poll(), held);   // acquires; a key already held is not a press
    s.keys[30] = 0;
    EXPECT_EQ(poll(), up);
    s.keys[30] = 0x80;
    EXPECT_EQ(poll(), pressed);
    EXPECT_EQ(poll(), held);

    // Focus lost with the key held: it reads up, and is no press on return;
    // the same through the window's activation and through a lost device.
    device.readWorks = false;
    EXPECT_EQ(poll(), up);
    device.readWorks = true;
    EXPECT_EQ(poll(), held);
    HandleInputMessage(WM_ACTIVATE_, 0, 0);
    EXPECT_EQ(poll(), up);
    HandleInputMessage(WM_ACTIVATE_, 1, 0);
    device.acquired = false;
    EXPECT_EQ(poll(), held);
    EXPECT_FALSE(g_keyboard.IsKeyDown(-1));
    EXPECT_FALSE(g_keyboard.IsKeyPressed(256));
    g_keyboard.Release();
}

TEST(MouseTest, CursorClampWheelAndButtons) {
    InputScript s;
    ASSERT_TRUE(g_mouse.InitWithDevice(new ScriptMouse(&s), true));
    EXPECT_TRUE(g_mouse.IsReady());
    s.dx = -50;
    g_mouse.Update(0.01f);
    EXPECT_EQ(g_mouse.GetX(), 0);
    s.dx = s.dy = 5000;
    g_mouse.Update(0.01f);
    EXPECT_EQ(g_mouse.GetX(), 800);
    EXPECT_EQ(g_mouse.GetY(), 600);
    EXPECT_FALSE(g_mouse.IsCursorInRect(0, 800, 0, 700));
    EXPECT_TRUE(g_mouse.IsCursorInRect(0, 801, 0, 601));

    s.dz = -120;
    g_mouse.Update(0.01f);
    EXPECT_LT(g_mouse.GetWheel(), g_mouse.GetPreviousWheel());
    s.dz = 360;
    g_mouse.Update(0.01f);
    g_mouse.ClearClicks();   // the console opening: no wheel move is left behind
    EXPECT_EQ(g_mouse.GetWheel(), g_mouse.GetPreviousWheel());
    g_mouse.Update(0.01f);
    EXPECT_EQ(g_mouse.GetWheel(), g_mouse.GetPreviousWheel());

    // Held for three updates, then up: released exactly once.
    for (int i = 0; i < 5; i++) {
        s.left = i < 3;
        g_mouse.Update(0.01f);
        EXPECT_EQ(g_mouse.IsLeftDown(), i < 3) << i;
        EXPECT_EQ(g_mouse.IsLeftReleased(), i == 3) << i;
    }

    g_mouse.SetRecentreEnabled(false);
    g_mouse.SetCursorPosition(400, 300);
    EXPECT_EQ(g_mouse.GetX(), 800);
    g_mouse.SetRecentreEnabled(true);
    g_mouse.SetCursorPosition(400, 300);
    EXPECT_EQ(g_mouse.GetX(), 400);
    g_mouse.Release();
    EXPECT_FALSE(g_mouse.IsReady());
}

TEST(MouseTest, FocusLossReleasesButtonsAndInitNeverSpins) {
    InputScript s;
    DeviceLink& device = s.mouse;
    device.acquireWorks = false;
    ASSERT_TRUE(g_mouse.InitWithDevice(new ScriptMouse(&s), true));   // bounded tries
    EXPECT_TRUE(g_mouse.IsReady());
    EXPECT_LE(device.acquires, 10);
    device.acquireWorks = true;
    s.right = true;
    g_mouse.Update(0.01f);   // re-acquires when it finds the device unacquired
    EXPECT_TRUE(g_mouse.IsRightDown());

    device.acquired = false;
    device.acquireWorks = false;   // focus gone: the state cannot be read
    g_mouse.Update(0.01f);
    EXPECT_FALSE(g_mouse.IsRightDown());
    EXPECT_TRUE(g_mouse.IsRightReleased());

    device.acquireWorks = true;
    g_mouse.Update(0.01f);
    EXPECT_TRUE(g_mouse.IsRightDown());
    HandleInputMessage(WM_ACTIVATE_, 0, 0);   // inactive window
    g_mouse.Update(0.01f);
    EXPECT_FALSE(g_mouse.IsRightDown());
    HandleInputMessage(WM_ACTIVATE_, 2, 0);
    g_mouse.Release();

    // Non-exclusive: the cursor follows the window's own mouse position.
    ASSERT_TRUE(g_mouse.InitWithDevice(new ScriptMouse(&s), false));
    EXPECT_FALSE(HandleInputMessage(WM_MOUSEMOVE_, 0, (120 << 16) | 345));
    g_mouse.Update(0.01f);
    EXPECT_EQ(g_mouse.GetX(), 345);
    EXPECT_EQ(g_mouse.GetY(), 120);
    g_mouse.Release();
}
