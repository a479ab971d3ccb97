// How the Direct3D program opens a frame and brings a lost device back,
// decided apart from the device so the native tests can walk every path.
// The lost flag is render_setup's: its lists run once per loss.
#ifndef RENDER_DEVICE_RECOVERY_H
#define RENDER_DEVICE_RECOVERY_H

// What the device's cooperative-level test answered.
enum DeviceTest {
    DEVICE_WORKS,
    DEVICE_LOST,        // lost, or anything the frame can only wait out
    DEVICE_NOT_RESET    // back, and waiting for a reset
};

// The device calls a frame start makes.
class CDeviceSteps {
public:
    virtual DeviceTest TestDevice() = 0;
    // With the kept present parameters; false when it failed (reported).
    virtual bool ResetDevice() = 0;
    virtual bool BeginScene() = 0;
    virtual void ApplyDefaultStates() = 0;
    // Before the next try, so a device that stays lost spins no core.
    virtual void WaitBeforeRetry() = 0;

protected:
    ~CDeviceSteps() {}
};

enum FrameStart {
    FRAME_SKIPPED,            // nothing is drawn this frame
    FRAME_OPEN,
    FRAME_OPEN_AFTER_RESET    // the frame of the reset: its time is not counted
};

// A reset leaves the device in Direct3D's own states (lighting on, blending
// and alpha test off): the defaults are owed from a successful reset until a
// scene opens, whichever frame that is.
class CDeviceRecovery {
public:
    FrameStart OpenFrame(CDeviceSteps& device, bool mayReset);
    bool StatesOwed() const { return statesOwed; }

private:
    bool statesOwed = false;
};

#endif
