// Scripted mouse and keyboard for the menu tests: the global mouse runs
// non-exclusive (the cursor is the window cursor the script sets) and the
// global keyboard reads the script's key bytes.
#ifndef TESTS_UI_TEST_MENU_INPUT_H
#define TESTS_UI_TEST_MENU_INPUT_H

#include <cstring>

#include "app/keyboard.h"
#include "app/mouse.h"

struct InputScript {
    bool left = false;
    bool right = false;
    uint8_t keys[256] = {};
};

class ScriptMouse : public CMouseDevice {
public:
    explicit ScriptMouse(InputScript* s) : s(s) {}
    bool Acquire() override { return true; }
    void Unacquire() override {}
    PollResult Poll() override { return POLL_OK; }
    bool ReadState(MouseState& out) override {
        out = MouseState{};
        out.buttons[0] = s->left ? 0x80 : 0;
        out.buttons[1] = s->right ? 0x80 : 0;
        return true;
    }
    InputScript* s;
};

class ScriptKeyboard : public CKeyboardDevice {
public:
    explicit ScriptKeyboard(InputScript* s) : s(s) {}
    bool Acquire() override { return true; }
    bool Poll() override { return true; }
    bool ReadState(uint8_t keys[256]) override {
        memcpy(keys, s->keys, 256);
        return true;
    }
    InputScript* s;
};

// Installs the script on the global devices for the life of the object.
class MenuInput {
public:
    MenuInput() {
        g_mouse.InitWithDevice(new ScriptMouse(&script), false);
        g_keyboard.InitWithDevice(new ScriptKeyboard(&script));
    }
    ~MenuInput() {
        g_mouse.Release();
        g_keyboard.Release();
    }
    // One frame of input: the cursor, the buttons held, then the polls.
    void Frame(int x, int y, bool left, bool right = false) {
        script.left = left;
        script.right = right;
        g_mouse.SetWindowCursor(x, y);
        g_keyboard.Poll();
        g_mouse.Update(0.016f);
    }
    void Key(int code, bool down) { script.keys[code] = down ? 0x80 : 0; }

    InputScript script;
};

#endif
