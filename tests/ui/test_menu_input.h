// Scripted mouse and keyboard for the input, menu, console and start-up
// tests: the keyboard reads the script's key bytes, the mouse its buttons and
// a motion that is spent by the read. MenuInput runs the global mouse
// non-exclusive (the cursor is the window cursor the script sets).
#ifndef TESTS_UI_TEST_MENU_INPUT_H
#define TESTS_UI_TEST_MENU_INPUT_H

#include <gtest/gtest.h>

#include <cstring>

#include "app/keyboard.h"
#include "app/mouse.h"
#include "app/state_manager.h"
#include "ui/menu.h"

// A device is acquired only while acquireWorks, and reads only while
// acquired and readWorks.
struct DeviceLink {
    bool acquired = false;
    bool acquireWorks = true;
    bool readWorks = true;
    int acquires = 0;
    bool Acquire() {
        acquires++;
        return acquired = acquireWorks;
    }
    bool CanRead() const { return acquired && readWorks; }
};

struct InputScript {
    bool left = false;
    bool right = false;
    int dx = 0, dy = 0, dz = 0;
    uint8_t keys[256] = {};
    DeviceLink keyboard, mouse;
};

class ScriptMouse : public CMouseDevice {
public:
    explicit ScriptMouse(InputScript* s) : s(s) {}
    bool Acquire() override { return s->mouse.Acquire(); }
    void Unacquire() override { s->mouse.acquired = false; }
    PollResult Poll() override { return s->mouse.acquired ? POLL_OK : POLL_LOST; }
    bool ReadState(MouseState& out) override {
        if (!s->mouse.CanRead()) return false;
        out = MouseState{s->dx, s->dy, s->dz, {uint8_t(s->left ? 0x80 : 0), uint8_t(s->right ? 0x80 : 0)}};
        s->dx = s->dy = s->dz = 0;
        return true;
    }
    InputScript* s;
};

class ScriptKeyboard : public CKeyboardDevice {
public:
    explicit ScriptKeyboard(InputScript* s) : s(s) {}
    bool Acquire() override { return s->keyboard.Acquire(); }
    bool Poll() override { return s->keyboard.acquired; }
    bool ReadState(uint8_t keys[256]) override {
        if (!s->keyboard.CanRead()) return false;
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
    // Two released frames, then a press at the centre of the menu's button
    // `id` (at 1, 1 for id 0), each frame run through the state stack.
    void Choose(CMenu* menu, int id) {
        int x = 1, y = 1;
        if (id != 0) {
            const CMenuButton* b = menu->FindButton(id);
            ASSERT_NE(b, nullptr) << "no button " << id << " in " << menu->GetName();
            x = (int)(b->x + b->width / 2);
            y = (int)(b->y + b->height / 2);
        }
        for (int i = 0; i < 3; i++) {
            Frame(x, y, i == 2);
            CStateManager::Update(0.016f);
        }
    }

    InputScript script;
};

#endif
