// The player controller's input from the game's own keyboard and mouse.
#ifndef APP_DEVICE_INPUT_H
#define APP_DEVICE_INPUT_H

#include "game/player/player_input.h"

class CKeyboard;
class CMouse;

// The game's keyboard and mouse. The mouse is exclusive, so the cursor is
// the game's own and recentring moves it (only while the console allows).
class CDeviceInput : public CPlayerInput {
public:
    CDeviceInput(CKeyboard& keyboard, CMouse& mouse) : keyboard(keyboard), mouse(mouse) {}

    bool IsKeyDown(int code) const override;
    bool IsKeyPressed(int code) const override;
    bool IsLeftDown() const override;
    bool IsRightDown() const override;
    int GetWheel() const override;
    int GetPreviousWheel() const override;
    int GetCursorX() const override;
    int GetCursorY() const override;
    void RecentreCursor(int x, int y) override;

private:
    CKeyboard& keyboard;
    CMouse& mouse;
};

#endif
