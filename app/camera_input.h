// Where the cameras meet the input and the console: the debug camera's keys,
// the orbit's mouse, and the console flags they obey. The renderer never
// reads input itself; start-up hands it these readers.
#ifndef APP_CAMERA_INPUT_H
#define APP_CAMERA_INPUT_H

#include "render/camera.h"

// DirectInput scan codes of the camera keys.
const int CameraKeyUp = 0xC8;
const int CameraKeyDown = 0xD0;
const int CameraKeyLeft = 0xCB;
const int CameraKeyRight = 0xCD;
const int CameraKeyHome = 0xC7;
const int CameraKeyEnd = 0xCF;
const int CameraKeyLeftControl = 0x1D;
const int CameraKeyRightControl = 0x9D;
const int CameraKeyC = 0x2E;

// The console flag "debugcam".
bool ReadDebugCameraFlag();
// The keyboard, the console flag "fast" and FrameTime.
FlyInput ReadFlyInput();
// The mouse and the C key.
OrbitInput ReadOrbitInput();
// Makes the three readers the cameras' input source.
void InstallCameraInput();

#endif
