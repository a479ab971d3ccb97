// Native stand-in: what CKeyboard::Init and CMouse::Init create. Without
// factories (the default) both fail, as with no devices.
#ifndef APP_NATIVE_INPUT_STAND_IN_H
#define APP_NATIVE_INPUT_STAND_IN_H

class CKeyboardDevice;
class CMouseDevice;

void SetNativeInputDevices(CKeyboardDevice* (*keyboard)(), CMouseDevice* (*mouse)());

#endif
