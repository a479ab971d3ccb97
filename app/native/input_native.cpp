// Native builds have no input devices: the tests hand the keyboard and mouse
// scripted devices instead, directly or through the factories below.
#include "app/native/input_stand_in.h"

#include "app/keyboard.h"
#include "app/mouse.h"

namespace {
CKeyboardDevice* (*keyboardFactory)() = nullptr;
CMouseDevice* (*mouseFactory)() = nullptr;
}  // namespace

void SetNativeInputDevices(CKeyboardDevice* (*keyboard)(), CMouseDevice* (*mouse)()) {
    keyboardFactory = keyboard;
    mouseFactory = mouse;
}

CKeyboardDevice* CreateKeyboardDevice(void*, bool, void*) {
    return keyboardFactory ? keyboardFactory() : nullptr;
}

CMouseDevice* CreateMouseDevice(bool) {
    return mouseFactory ? mouseFactory() : nullptr;
}
