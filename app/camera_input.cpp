#include "app/camera_input.h"

#include "app/console.h"
#include "app/keyboard.h"
#include "app/mouse.h"
#include "app/frame_time.h"

bool ReadDebugCameraFlag() {
	return ConsoleDebugCamOn();
}

FlyInput ReadFlyInput() {
	FlyInput input;
	input.control = g_keyboard.IsKeyDown(CameraKeyLeftControl) ||
	                g_keyboard.IsKeyDown(CameraKeyRightControl);
	input.up = g_keyboard.IsKeyDown(CameraKeyUp);
	input.down = g_keyboard.IsKeyDown(CameraKeyDown);
	input.left = g_keyboard.IsKeyDown(CameraKeyLeft);
	input.right = g_keyboard.IsKeyDown(CameraKeyRight);
	input.home = g_keyboard.IsKeyDown(CameraKeyHome);
	input.end = g_keyboard.IsKeyDown(CameraKeyEnd);
	input.fast = ConsoleFastOn();
	input.frameTime = FrameTime;
	return input;
}

OrbitInput ReadOrbitInput() {
	// Without the device the mouse keeps the window's own cursor position.
	OrbitInput input;
	input.x = (float)g_mouse.GetX();
	input.y = (float)g_mouse.GetY();
	input.wheel = g_mouse.GetWheel();
	input.previousWheel = g_mouse.GetPreviousWheel();
	input.leftButton = g_mouse.IsLeftDown();
	input.rightButton = g_mouse.IsRightDown();
	input.rotateKey = g_keyboard.IsKeyDown(CameraKeyC);
	return input;
}

void InstallCameraInput() {
	CameraInputSource source;
	source.debugCameraOn = ReadDebugCameraFlag;
	source.readFly = ReadFlyInput;
	source.readOrbit = ReadOrbitInput;
	SetCameraInputSource(source);
}
