#include "app/mouse.h"
#include "app/win32/dinput_device.h"

namespace {

class CDirectInputMouse : public CMouseDevice {
public:
    CDirectInputMouse(IDirectInput8A* input, IDirectInputDevice8A* device)
        : input(input), device(device) {}
    ~CDirectInputMouse() override { ReleaseDirectInput(device, input); }

    bool Acquire() override { return SUCCEEDED(device->Acquire()); }
    void Unacquire() override { device->Unacquire(); }
    PollResult Poll() override {
        HRESULT hr = device->Poll();
        if (hr == DIERR_INPUTLOST || hr == DIERR_NOTACQUIRED) {
            return POLL_LOST;
        }
        return FAILED(hr) ? POLL_FAILED : POLL_OK;
    }
    bool ReadState(MouseState& out) override {
        DIMOUSESTATE state;
        if (FAILED(device->GetDeviceState(sizeof(state), &state))) {
            return false;
        }
        out.dx = state.lX;
        out.dy = state.lY;
        out.dz = state.lZ;
        for (int i = 0; i < 4; i++) {
            out.buttons[i] = state.rgbButtons[i];
        }
        return true;
    }

private:
    IDirectInput8A* input;
    IDirectInputDevice8A* device;
};

}  // namespace

CMouseDevice* CreateMouseDevice(bool exclusive) {
    IDirectInput8A* input = nullptr;
    IDirectInputDevice8A* device = nullptr;
    DWORD level = exclusive ? (DISCL_FOREGROUND | DISCL_EXCLUSIVE)
                            : (DISCL_FOREGROUND | DISCL_NONEXCLUSIVE);
    if (FAILED(DirectInput8Create(g_inputInstance, DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                  (void**)&input, nullptr)) ||
        FAILED(input->CreateDevice(GUID_SysMouse, &device, nullptr)) ||
        FAILED(device->SetDataFormat(&c_dfDIMouse)) ||
        FAILED(device->SetCooperativeLevel(g_inputWindow, level))) {
        ReleaseDirectInput(device, input);
        return nullptr;
    }
    return new CDirectInputMouse(input, device);
}
