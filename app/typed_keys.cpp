#include "app/typed_keys.h"

#include "app/keyboard.h"
#include "app/mouse.h"

CTypedKeyQueue g_typedKeys;

// Window message and virtual-key values, so this stays platform-neutral.
namespace {
const uint32_t MSG_ACTIVATE = 0x0006;
const uint32_t MSG_KEYDOWN = 0x0100;
const uint32_t MSG_CHAR = 0x0102;
const uint32_t MSG_MOUSEMOVE = 0x0200;

const uintptr_t ACTIVATE_INACTIVE = 0;
const uintptr_t ACTIVATE_ACTIVE = 1;
const uintptr_t ACTIVATE_CLICKACTIVE = 2;

const intptr_t EXTENDED_KEY_BIT = 1 << 24;

// VK_INSERT, VK_DELETE, VK_HOME, VK_END, VK_PRIOR, VK_NEXT, VK_UP, VK_DOWN,
// VK_LEFT, VK_RIGHT give -3 to -12 in this order.
const uintptr_t editingKeys[10] = {0x2D, 0x2E, 0x24, 0x23, 0x21, 0x22, 0x26, 0x28, 0x25, 0x27};
}  // namespace

int CTypedKeyQueue::Pop() {
    if (codes.empty()) {
        return 0;
    }
    int code = codes.front();
    codes.pop_front();
    return code;
}

bool HandleInputMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
    case MSG_CHAR:
        // The window is an ANSI window: one byte per character. Anything wider
        // is not a character the game can show.
        if (wParam > 255) {
            return true;
        }
        if (wParam == 8) {
            g_typedKeys.Push(TK_BACKSPACE);
            g_typedKeys.Push(8);
        } else if (wParam == 13) {
            g_typedKeys.Push(TK_ENTER);
        } else {
            g_typedKeys.Push((int)wParam);
        }
        return true;

    case MSG_KEYDOWN:
        // Only the dedicated keys: the keypad's (not extended) give nothing.
        if (!(lParam & EXTENDED_KEY_BIT)) {
            return false;
        }
        for (int i = 0; i < 10; i++) {
            if (editingKeys[i] == wParam) {
                g_typedKeys.Push(TK_INSERT - i);
                return true;
            }
        }
        return false;

    case MSG_ACTIVATE: {
        uintptr_t state = wParam & 0xFFFF;
        if (state == ACTIVATE_INACTIVE) {
            g_keyboard.SetWindowActive(false);
            g_mouse.SetWindowActive(false);
        } else if (state == ACTIVATE_ACTIVE || state == ACTIVATE_CLICKACTIVE) {
            g_keyboard.SetWindowActive(true);
            g_mouse.SetWindowActive(true);
        }
        return false;
    }

    case MSG_MOUSEMOVE:
        g_mouse.SetWindowCursor((int)(lParam & 0xFFFF), (int)((lParam >> 16) & 0xFFFF));
        return false;
    }
    return false;
}
