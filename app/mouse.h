// The mouse: relative DirectInput motion accumulated into the game's own
// cursor (or, non-exclusive, the window's cursor position), the wheel total
// and three buttons with their state at the update before.
#ifndef APP_MOUSE_H
#define APP_MOUSE_H

#include <cstdint>
#include <string>

class CTexture;

// One read of the device: movement since the last read and the button bytes.
struct MouseState {
    int32_t dx;
    int32_t dy;
    int32_t dz;   // wheel
    uint8_t buttons[4];
};

class CMouseDevice {
public:
    enum PollResult { POLL_OK, POLL_LOST, POLL_FAILED };

    virtual ~CMouseDevice() {}
    virtual bool Acquire() = 0;
    virtual void Unacquire() = 0;
    // POLL_LOST when input was lost or the device is not acquired.
    virtual PollResult Poll() = 0;
    virtual bool ReadState(MouseState& out) = 0;
};

// Makes the system mouse: DirectInput 8 with its own DirectInput object, the
// standard mouse format, foreground, exclusive or not. Null on failure.
// Uses the window the keyboard was made for. Does not acquire.
CMouseDevice* CreateMouseDevice(bool exclusive);

class CMouse {
public:
    CMouse();
    ~CMouse();

    bool Init(bool exclusive);
    // Takes ownership of an already made device (Init, and the tests).
    bool InitWithDevice(CMouseDevice* device, bool exclusive);
    void Update(float dt);
    void SetCursorImage(const std::string& fileName);
    // Only while recentring is enabled (the console disables it while open).
    void SetCursorPosition(int x, int y);
    void ClearClicks();
    // Every button up now and at the update before, and the wheel still: no
    // press, release or wheel move reads until the next update.
    void ClearButtons();
    void Release();

    bool IsReady() const { return ready != 0; }
    int GetX() const { return x; }
    int GetY() const { return y; }
    // Strictly inside: left < x < right and top < y < bottom.
    bool IsCursorInRect(int left, int right, int top, int bottom) const;

    bool IsLeftDown() const { return leftDown != 0; }
    bool IsRightDown() const { return rightDown != 0; }
    bool IsMiddleDown() const { return middleDown != 0; }
    bool WasLeftDown() const { return leftDownBefore != 0; }
    bool WasRightDown() const { return rightDownBefore != 0; }
    bool WasMiddleDown() const { return middleDownBefore != 0; }
    // Down at the update before and up now.
    bool IsLeftReleased() const { return leftDownBefore && !leftDown; }
    bool IsRightReleased() const { return rightDownBefore && !rightDown; }
    bool IsMiddleReleased() const { return middleDownBefore && !middleDown; }

    // The wheel went up when GetWheel() > GetPreviousWheel().
    int GetWheel() const { return wheel; }
    int GetPreviousWheel() const { return previousWheel; }

    bool IsRecentreEnabled() const { return recentreEnabled != 0; }
    void SetRecentreEnabled(bool enabled) { recentreEnabled = enabled ? 1 : 0; }

    // Drawn by the main loop centred on the cursor; null before Init.
    CTexture* GetCursorTexture() const { return cursorTexture; }

    // Fed by the window messages (see HandleInputMessage).
    void SetWindowActive(bool active) { windowActive = active; }
    void SetWindowCursor(int wx, int wy) { windowX = wx; windowY = wy; }

private:
    CMouse(const CMouse&) = delete;
    CMouse& operator=(const CMouse&) = delete;

    void ResetMembers();

    CMouseDevice* device;
    uint8_t ready;
    uint8_t exclusive;
    int32_t x, y;
    int32_t wheel;
    int32_t previousWheel;
    uint8_t leftDown, rightDown, middleDown;
    uint8_t leftDownBefore, rightDownBefore, middleDownBefore;
    uint8_t recentreEnabled;
    CTexture* cursorTexture;

    bool windowActive;
    int32_t windowX, windowY;
};

extern CMouse g_mouse;

#endif
