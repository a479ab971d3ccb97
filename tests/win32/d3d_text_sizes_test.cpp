// The text sizes test on the Direct3D back-end: the same lines at the same
// places as the OpenGL build of text_sizes_test.cpp.
#include "tests/win32/text_sizes_test.cpp"
