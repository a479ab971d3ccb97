// The particles test on the Direct3D back-end: the same effects at the same
// places as the OpenGL build of particles_test.cpp.
#include "tests/win32/particles_test.cpp"
