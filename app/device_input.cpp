// CDeviceInput: the controller's input from the game's keyboard and mouse.
#include "app/device_input.h"
#include "app/keyboard.h"
#include "app/mouse.h"

bool CDeviceInput::IsKeyDown(int code) const { return keyboard.IsKeyDown(code); }
bool CDeviceInput::IsKeyPressed(int code) const { return keyboard.IsKeyPressed(code); }
bool CDeviceInput::IsLeftDown() const { return mouse.IsLeftDown(); }
bool CDeviceInput::IsRightDown() const { return mouse.IsRightDown(); }
int CDeviceInput::GetWheel() const { return mouse.GetWheel(); }
int CDeviceInput::GetPreviousWheel() const { return mouse.GetPreviousWheel(); }
int CDeviceInput::GetCursorX() const { return mouse.GetX(); }
int CDeviceInput::GetCursorY() const { return mouse.GetY(); }
void CDeviceInput::RecentreCursor(int x, int y) { mouse.SetCursorPosition(x, y); }
