#include "app/keyboard.h"

#include "core/error.h"

CKeyboard g_keyboard;

CKeyboard::CKeyboard() : device(nullptr), windowActive(true), resync(false) {
}

CKeyboard::~CKeyboard() {
    Release();
}

bool CKeyboard::Init(void* instance, bool exclusive, void* window) {
    Release();
    CKeyboardDevice* made = CreateKeyboardDevice(instance, exclusive, window);
    if (!made) {
        ReportError("Error", "CKeyboard::Init()-Unable to create the keyboard device");
        return false;
    }
    return InitWithDevice(made);
}

bool CKeyboard::InitWithDevice(CKeyboardDevice* made) {
    Release();
    if (!made) {
        return false;
    }
    device = made;
    // With foreground cooperation this fails whenever the window is not in
    // front at this instant; the first poll acquires it instead.
    device->Acquire();
    ClearKeys();
    return true;
}

void CKeyboard::Poll() {
    if (!device) {
        return;
    }
    if (!device->Poll()) {
        if (device->Acquire()) {
            ClearKeys();
            resync = true;
        }
    }
    previous = current;

    uint8_t keys[256] = {};
    if (!windowActive || !device->ReadState(keys)) {
        // Nothing reads as held while the game is not in front.
        current.reset();
        resync = true;
        return;
    }
    current.reset();
    for (int i = 0; i < 256; i++) {
        if (keys[i]) {
            current.set(i);
        }
    }
    // Keys already held when input came back are not new presses.
    if (resync) {
        previous = current;
        resync = false;
    }
}

bool CKeyboard::IsKeyDown(int code) const {
    if (code < 0 || code > 255) {
        return false;
    }
    return current.test(code);
}

bool CKeyboard::IsKeyPressed(int code) const {
    if (code < 0 || code > 255) {
        return false;
    }
    return current.test(code) && !previous.test(code);
}

void CKeyboard::ClearKeys() {
    current.reset();
    previous.reset();
}

void CKeyboard::Release() {
    delete device;
    device = nullptr;
    ClearKeys();
}

void CKeyboard::SetWindowActive(bool active) {
    windowActive = active;
}
