// The world view test on the Direct3D back-end: the same level, camera and
// steps as the OpenGL build of world_view_test.cpp.
#include "tests/win32/world_view_test.cpp"
