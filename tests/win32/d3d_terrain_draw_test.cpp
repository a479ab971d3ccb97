// The terrain draw test on the Direct3D back-end, over the same segment
// cache as the OpenGL build of terrain_draw_test.cpp.
#include "tests/win32/terrain_draw_test.cpp"
