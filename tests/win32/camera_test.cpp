// A shipped model placed at a camera's target is drawn at the centre of the
// screen, through the OpenGL back-end. A red line from the target toward
// world -x must show on the right half of the screen. Reads the frame back,
// prints one line per check, then keeps the frame up for a screenshot until
// closed (or 20 s). Exit 0 when all checks pass.
#include "core/error.h"
#include "render/backend.h"
#include "render/camera.h"
#include "render/image.h"
#include "render/model.h"
#include "render/node.h"
#include "render/projection.h"
#include "tests/win32/test_window.h"

static const char* ModelPath = "data\\models\\vehicles\\buggy.mbm";
static const uint32_t Sky = 0xffcc7f00;

static bool IsSky(const uint8_t* p) {
    return p[0] < 8 && p[1] > 119 && p[1] < 135 && p[2] > 196 && p[2] < 212;
}

static bool IsRed(const uint8_t* p) {
    return p[0] > 200 && p[1] < 60 && p[2] < 60;
}

int main() {
    HWND window = OpenTestWindow("Vexmoor Camera");
    Check("window", window != nullptr);
    if (!window)
        return 1;

    bool device = StartTestRenderer(window);
    Check("device", device);
    if (!device)
        return 1;
    StartupGdiplus();

    CModel model;
    bool loaded = LoadModel(model, ModelPath, false, true) && model.GetRoot();
    if (!loaded)
        printf("last error: %s\n", LastErrorReport().c_str());
    Check("model", loaded);
    const Vector3 target{30.0f, 40.0f, 0.6f};
    if (model.GetRoot())
        model.GetRoot()->SetPosition(Vector3{30.0f, 40.0f, 0.0f});

    // A camera looking at the model from ahead and above, off every axis.
    CSmoothCamera camera;
    camera.SetPosition(Vector3{38.0f, 30.0f, 5.0f}, true);
    camera.SetTarget(target, true);
    camera.SetUp(Vector3{0.0f, 0.0f, 1.0f}, true);

    std::vector<uint8_t> frame;
    bool checked = false;
    DWORD start = GetTickCount();
    while (PumpMessages() && GetTickCount() - start < 20000) {
        ClearFrame(Sky, true, true, false);
        SetPerspective(0, 0, 800, 600, 1.0f, 2500.0f);
        camera.Apply(nullptr, false);
        model.Draw();
        Matrix4 identity;
        Matrix4Identity(identity);
        SetWorldMatrix(identity);
        SetRenderSwitch(RS_DEPTH_TEST, false);
        DrawLine3D(target.x, target.y, target.z, 0xff0000ff, target.x - 3.0f, target.y, target.z,
                   0xff0000ff);
        SetRenderSwitch(RS_DEPTH_TEST, true);
        FlushFrame();

        if (!checked) {
            checked = true;
            ReadFrame(frame);
            // Bounding box of everything that is neither sky nor the red line.
            int left = 800, right = -1, top = 600, bottom = -1;
            long redX = 0, redCount = 0;
            for (int y = 0; y < 600; y++) {
                for (int x = 0; x < 800; x++) {
                    const uint8_t* p = FramePixel(frame, x, y);
                    if (IsRed(p)) {
                        redX += x;
                        redCount++;
                    } else if (!IsSky(p)) {
                        if (x < left) left = x;
                        if (x > right) right = x;
                        if (y < top) top = y;
                        if (y > bottom) bottom = y;
                    }
                }
            }
            printf("model box %d..%d x %d..%d\n", left, right, top, bottom);
            Check("model_drawn", right >= 0);
            int cx = (left + right) / 2, cy = (top + bottom) / 2;
            printf("model centre %d %d\n", cx, cy);
            Check("model_at_centre", right >= 0 && cx > 340 && cx < 460 && cy > 240 && cy < 360);
            const uint8_t* centre = FramePixel(frame, 400, 300);
            printf("centre pixel %d %d %d\n", centre[0], centre[1], centre[2]);
            Check("centre_covered", !IsSky(centre));
            printf("red pixels %ld mean x %ld\n", redCount, redCount ? redX / redCount : -1);
            Check("world_minus_x_on_screen_right", redCount > 0 && redX / redCount > 400);

            Vector3 screen;
            bool projected = ProjectToScreen(screen, target);
            printf("projected target %.2f %.2f\n", screen.x, screen.y);
            Check("project_to_screen", projected && screen.x > 399.0f && screen.x < 401.0f &&
                                           screen.y > 299.0f && screen.y < 301.0f);
            printf("CAMERA CHECK %s\n", testFailures == 0 ? "PASSED" : "FAILED");
            printf("FRAME READY\n");
            fflush(stdout);
        }
        PresentFrame();
        Sleep(30);
    }

    model = CModel();
    ClearModelCache();
    ShutdownGdiplus();
    ShutdownRenderer();
    DestroyWindow(window);
    return testFailures == 0 ? 0 : 1;
}
