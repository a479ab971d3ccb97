// Typed characters for text entry (the console, the profile name box), filled
// from the window's character and key-down messages during dispatch and read
// during the frame. Characters are stored as their unsigned codes 0..255; the
// editing keys get negative codes, so no character can be mistaken for one.
#ifndef APP_TYPED_KEYS_H
#define APP_TYPED_KEYS_H

#include <cstdint>
#include <deque>

enum TypedKeyCode {
    TK_BACKSPACE = -1,   // followed by the character 8
    TK_ENTER = -2,       // the character 13 is not stored
    TK_INSERT = -3,
    TK_DELETE = -4,
    TK_HOME = -5,
    TK_END = -6,
    TK_PAGE_UP = -7,
    TK_PAGE_DOWN = -8,
    TK_UP = -9,
    TK_DOWN = -10,
    TK_LEFT = -11,
    TK_RIGHT = -12
};

class CTypedKeyQueue {
public:
    void Push(int code) { codes.push_back(code); }
    // The oldest code, or 0 when the queue is empty.
    int Pop();
    bool IsEmpty() const { return codes.empty(); }
    void Clear() { codes.clear(); }

private:
    std::deque<int> codes;
};

extern CTypedKeyQueue g_typedKeys;

// Called by the window procedure before anything else; true when the message
// was consumed. Also notes activation and the window cursor position for the
// input devices (those messages are never consumed).
bool HandleInputMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);

#endif
