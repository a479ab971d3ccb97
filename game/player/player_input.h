// What the player controller reads of the keyboard and mouse, and how it
// puts the cursor back. CDeviceInput (app/device_input.h) serves it from the
// game's devices; tests script the devices underneath.
#ifndef GAME_PLAYER_PLAYER_INPUT_H
#define GAME_PLAYER_PLAYER_INPUT_H

class CPlayerInput {
public:
    // DirectInput scan codes; pressed is true only in the frame the key went down.
    virtual bool IsKeyDown(int code) const = 0;
    virtual bool IsKeyPressed(int code) const = 0;
    virtual bool IsLeftDown() const = 0;
    virtual bool IsRightDown() const = 0;
    virtual int GetWheel() const = 0;
    virtual int GetPreviousWheel() const = 0;
    virtual int GetCursorX() const = 0;
    virtual int GetCursorY() const = 0;
    // Back to the rest position after the offset was read.
    virtual void RecentreCursor(int x, int y) = 0;

protected:
    ~CPlayerInput() {}
};

#endif
