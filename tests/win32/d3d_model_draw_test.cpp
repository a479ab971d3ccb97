// The model draw test on the Direct3D back-end: the same model, camera and
// cache as the OpenGL build of model_draw_test.cpp.
#include "tests/win32/model_draw_test.cpp"
