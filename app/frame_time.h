// The clamped time of the current frame, published by the frame driver
// before the console step. Read where a step must run whatever the game time
// (the debug camera flies while time stands still).
#ifndef APP_FRAME_TIME_H
#define APP_FRAME_TIME_H

extern float FrameTime;

#endif
