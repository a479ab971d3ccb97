#include "render/device_recovery.h"

#include "render/render_setup.h"

FrameStart CDeviceRecovery::OpenFrame(CDeviceSteps& device, bool mayReset) {
    DeviceTest test = device.TestDevice();
    if (test != DEVICE_WORKS) {
        SetDeviceLost(true);
        if (test != DEVICE_NOT_RESET || !mayReset || !device.ResetDevice()) {
            device.WaitBeforeRetry();
            return FRAME_SKIPPED;
        }
        statesOwed = true;
    }
    if (!device.BeginScene())
        return FRAME_SKIPPED;
    SetDeviceLost(false);
    if (statesOwed) {
        statesOwed = false;
        device.ApplyDefaultStates();
    }
    return test == DEVICE_WORKS ? FRAME_OPEN : FRAME_OPEN_AFTER_RESET;
}
