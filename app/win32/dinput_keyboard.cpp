#include "app/keyboard.h"
#include "app/win32/dinput_device.h"

#include "core/error.h"

HINSTANCE g_inputInstance = nullptr;
HWND g_inputWindow = nullptr;

void ReleaseDirectInput(IDirectInputDevice8A*& device, IDirectInput8A*& input) {
    if (device) {
        device->Unacquire();
        device->Release();
        device = nullptr;
    }
    if (input) {
        input->Release();
        input = nullptr;
    }
}

namespace {

class CDirectInputKeyboard : public CKeyboardDevice {
public:
    CDirectInputKeyboard(IDirectInput8A* input, IDirectInputDevice8A* device)
        : input(input), device(device) {}
    ~CDirectInputKeyboard() override { ReleaseDirectInput(device, input); }

    bool Acquire() override { return SUCCEEDED(device->Acquire()); }
    bool Poll() override { return SUCCEEDED(device->Poll()); }
    bool ReadState(uint8_t keys[256]) override {
        return SUCCEEDED(device->GetDeviceState(256, keys));
    }

private:
    IDirectInput8A* input;
    IDirectInputDevice8A* device;
};

}  // namespace

CKeyboardDevice* CreateKeyboardDevice(void* instance, bool exclusive, void* window) {
    g_inputInstance = (HINSTANCE)instance;
    g_inputWindow = (HWND)window;

    IDirectInput8A* input = nullptr;
    IDirectInputDevice8A* device = nullptr;
    DWORD level = exclusive ? (DISCL_NOWINKEY | DISCL_FOREGROUND | DISCL_EXCLUSIVE)
                            : (DISCL_FOREGROUND | DISCL_NONEXCLUSIVE);
    if (FAILED(DirectInput8Create(g_inputInstance, DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                  (void**)&input, nullptr)) ||
        FAILED(input->CreateDevice(GUID_SysKeyboard, &device, nullptr)) ||
        FAILED(device->SetDataFormat(&c_dfDIKeyboard)) ||
        FAILED(device->SetCooperativeLevel(g_inputWindow, level))) {
        ReleaseDirectInput(device, input);
        // Without a keyboard the game cannot start; say why instead of vanishing.
        MessageBoxA(g_inputWindow, "Keyboard init failed.", "error", MB_OK);
        return nullptr;
    }
    return new CDirectInputKeyboard(input, device);
}
