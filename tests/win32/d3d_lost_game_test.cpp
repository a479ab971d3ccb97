// The whole Direct3D game whose device is lost after its first 60 frames and
// never given back. Prints "DEVICE LOST" when the game's device-lost list
// runs, "SKIPPED 30" once 30 frame starts have found the device lost, and
// "EXIT code" when the game returns: closing the window must still end it,
// with exit code 0.
#include <windows.h>

#include <cstdio>

#include "app/startup.h"
#include "render/d3d9/d3d_frame.h"
#include "render/render_setup.h"

static void SayLost() {
    printf("DEVICE LOST\n");
    fflush(stdout);
}

static void CountSkipped() {
    static int skipped = 0;
    if (++skipped == 30) {
        printf("SKIPPED 30\n");
        fflush(stdout);
    }
}

int main() {
    RegisterDeviceLostCallback(SayLost);
    KeepDeviceLostForTest(60, CountSkipped);
    int code = RunGame(GetModuleHandleA(nullptr));
    printf("EXIT %d\n", code);
    fflush(stdout);
    return code;
}
