#include "app/frame_time.h"

float FrameTime = 0.0f;
