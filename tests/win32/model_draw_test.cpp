#include "tests/win32/model_draw.h"

int main() { return RunModelDrawTest(); }
