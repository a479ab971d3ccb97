// Native builds have no input devices: the tests hand the keyboard and mouse
// scripted devices instead.
#include "app/keyboard.h"
#include "app/mouse.h"

CKeyboardDevice* CreateKeyboardDevice(void*, bool, void*) {
    return nullptr;
}

CMouseDevice* CreateMouseDevice(bool) {
    return nullptr;
}
