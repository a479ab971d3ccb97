// The program entry. No command line, no registry: everything comes from the
// installation folder (the working folder) and the settings file.
#include <windows.h>

#include "app/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return RunGame(instance);
}
