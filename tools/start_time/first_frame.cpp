// first_frame X Y R G B TOLERANCE TIMEOUT COMMAND...: starts the command and
// prints the seconds until the pixel (X, Y) of the X display's root window
// shows the colour (each channel within TOLERANCE), or "timeout" after
// TIMEOUT seconds, then the command's process id. The command is left running.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 9) {
        std::fprintf(stderr, "usage: first_frame X Y R G B TOLERANCE TIMEOUT COMMAND...\n");
        return 2;
    }
    int x = std::atoi(argv[1]), y = std::atoi(argv[2]);
    int want[3] = {std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5])};
    int tolerance = std::atoi(argv[6]);
    double timeout = std::atof(argv[7]);
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "first_frame: no display\n");
        return 2;
    }
    Window root = DefaultRootWindow(display);
    // What an earlier run left on the screen must not count.
    XSetWindowBackground(display, root, BlackPixel(display, DefaultScreen(display)));
    XClearWindow(display, root);
    XSync(display, False);
    auto start = std::chrono::steady_clock::now();
    pid_t child = fork();
    if (child == 0) {
        // Only this tool's line goes to its output.
        int quiet = open("/dev/null", O_WRONLY);
        if (quiet >= 0) {
            dup2(quiet, 1);
            dup2(quiet, 2);
        }
        execvp(argv[8], argv + 8);
        _exit(127);
    }
    for (;;) {
        double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (elapsed > timeout) {
            std::printf("timeout %d\n", (int)child);
            return 1;
        }
        XImage* image = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap);
        if (image) {
            unsigned long p = XGetPixel(image, 0, 0);
            int got[3] = {(int)((p >> 16) & 255), (int)((p >> 8) & 255), (int)(p & 255)};
            XDestroyImage(image);
            bool match = true;
            for (int i = 0; i < 3; i++)
                match = match && std::abs(got[i] - want[i]) <= tolerance;
            if (match) {
                std::printf("%.2f %d\n", elapsed, (int)child);
                return 0;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}
