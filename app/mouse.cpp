#include "app/mouse.h"

#include "core/error.h"
#include "render/backend.h"
#include "render/resources.h"

CMouse g_mouse;

// Acquiring fails while the window is not in front; Update acquires again
// when it finds the device unacquired, so start-up must not wait for it.
static const int MOUSE_ACQUIRE_TRIES = 10;

CMouse::CMouse() : device(nullptr), cursorTexture(nullptr) {
    ResetMembers();
}

CMouse::~CMouse() {
    Release();
}

void CMouse::ResetMembers() {
    ready = 0;
    exclusive = 0;
    x = y = 0;
    wheel = previousWheel = 0;
    leftDown = rightDown = middleDown = 0;
    leftDownBefore = rightDownBefore = middleDownBefore = 0;
    // The game holds the cursor at the screen centre from its first frame.
    recentreEnabled = 1;
    windowActive = true;
    windowX = windowY = 0;
}

bool CMouse::Init(bool exclusiveMode) {
    Release();
    CMouseDevice* made = CreateMouseDevice(exclusiveMode);
    if (!made) {
        ReportError("Error", "CMouse::Init()-Unable to create the mouse device");
        return false;
    }
    return InitWithDevice(made, exclusiveMode);
}

bool CMouse::InitWithDevice(CMouseDevice* made, bool exclusiveMode) {
    Release();
    ResetMembers();
    if (!made) {
        return false;
    }
    device = made;
    exclusive = exclusiveMode ? 1 : 0;
    for (int i = 0; i < MOUSE_ACQUIRE_TRIES; i++) {
        if (device->Acquire()) {
            break;
        }
    }
    ready = 1;
    cursorTexture = new CTexture;
    return true;
}

void CMouse::Update(float dt) {
    (void)dt;
    if (!ready || !device) {
        return;
    }
    leftDownBefore = leftDown;
    rightDownBefore = rightDown;
    middleDownBefore = middleDown;
    previousWheel = wheel;

    MouseState state = {};
    bool read = false;
    if (windowActive) {
        if (device->Poll() == CMouseDevice::POLL_LOST) {
            device->Acquire();
        }
        read = device->ReadState(state);
    }
    if (!read) {
        // Buttons held when the game lost the input are not held forever.
        leftDown = rightDown = middleDown = 0;
        return;
    }

    if (exclusive) {
        int width = 800;
        int height = 600;
        const RenderSetup* setup = GetRenderSetup();
        if (setup) {
            width = setup->width;
            height = setup->height;
        }
        x += state.dx;
        y += state.dy;
        if (x < 0) x = 0;
        if (x > width) x = width;
        if (y < 0) y = 0;
        if (y > height) y = height;
    }
    wheel += state.dz;
    leftDown = state.buttons[0] ? 1 : 0;
    rightDown = state.buttons[1] ? 1 : 0;
    middleDown = state.buttons[2] ? 1 : 0;
    if (!exclusive) {
        x = windowX;
        y = windowY;
    }
}

void CMouse::SetCursorImage(const std::string& fileName) {
    if (!cursorTexture) {
        return;
    }
    if (LoadTexture(*cursorTexture, fileName, false, 1, false)) {
        SetTextureWrap(*cursorTexture, false, false, false);
    }
}

void CMouse::SetCursorPosition(int newX, int newY) {
    if (recentreEnabled) {
        x = newX;
        y = newY;
    }
}

bool CMouse::IsCursorInRect(int left, int right, int top, int bottom) const {
    return left < x && x < right && top < y && y < bottom;
}

void CMouse::ClearClicks() {
    leftDown = rightDown = middleDown = 0;
    // Both totals, or the next reader sees a wheel move of minus the old total.
    wheel = previousWheel = 0;
}

void CMouse::ClearButtons() {
    leftDown = rightDown = middleDown = 0;
    leftDownBefore = rightDownBefore = middleDownBefore = 0;
    previousWheel = wheel;
}

void CMouse::Release() {
    delete cursorTexture;
    cursorTexture = nullptr;
    ready = 0;
    if (device) {
        device->Unacquire();
        delete device;
        device = nullptr;
    }
}
