// The keyboard: key states by DirectInput scan code, polled once per frame,
// with the state of the poll before so a press is seen in exactly one frame.
#ifndef APP_KEYBOARD_H
#define APP_KEYBOARD_H

#include <bitset>
#include <cstdint>

// The device behind the keyboard: DirectInput on Windows (app/win32), a
// scripted stand-in in the tests.
class CKeyboardDevice {
public:
    virtual ~CKeyboardDevice() {}
    virtual bool Acquire() = 0;
    // False when input was lost (focus change) and the device must be acquired.
    virtual bool Poll() = 0;
    // The 256 key bytes, non-zero for a key that is down.
    virtual bool ReadState(uint8_t keys[256]) = 0;
};

// Makes the system keyboard: DirectInput 8 with its own DirectInput object,
// the standard keyboard format, foreground and exclusive (no Windows key) or
// non-exclusive. Null when any of it fails. Does not acquire.
CKeyboardDevice* CreateKeyboardDevice(void* instance, bool exclusive, void* window);

// DirectInput scan codes the game reads.
const int KEY_F8 = 0x42;

class CKeyboard {
public:
    CKeyboard();
    ~CKeyboard();

    // False only when the device cannot be made; a window that is not in the
    // foreground just leaves it unacquired until a poll acquires it.
    bool Init(void* instance, bool exclusive, void* window);
    // Takes ownership of an already made device (Init, and the tests).
    bool InitWithDevice(CKeyboardDevice* device);
    void Poll();
    bool IsKeyDown(int code) const;
    bool IsKeyPressed(int code) const;
    void ClearKeys();
    void Release();

    // While the window is inactive every key reads as up; keys still held when
    // it comes back do not count as pressed again.
    void SetWindowActive(bool active);

private:
    CKeyboard(const CKeyboard&) = delete;
    CKeyboard& operator=(const CKeyboard&) = delete;

    CKeyboardDevice* device;
    std::bitset<256> current;
    std::bitset<256> previous;
    bool windowActive;
    bool resync;   // the next read fills both sets
};

extern CKeyboard g_keyboard;

#endif
