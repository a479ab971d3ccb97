// The shipped content on the OpenGL device: every GLSL program compiles and
// links behind the common prefix, every image the game names loads as a
// texture through GDI+, and the player's soldier (holding its rifle), the
// rifle lying on the ground and the vehicle are drawn under their programs,
// as the world renderer binds them, each into a frame of its own.
//
// Prints "CHECK name OK|FAIL" lines. Each frame is announced with
// "SHOW name" and stays on screen until the file "content_view_next.txt"
// appears in the working folder (the test script's sign that it took its
// screenshot) or 30 s pass. Exit code 0 when every check passed.
#include <windows.h>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/files.h"
#include "core/matrix.h"
#include "game/stats.h"
#include "render/animation.h"
#include "render/backend.h"
#include "render/camera.h"
#include "render/image.h"
#include "render/mesh_cache.h"
#include "render/model.h"
#include "render/node.h"
#include "render/projection.h"
#include "render/resources.h"
#include "render/shader.h"
#include "tests/content/content_list.h"
#include "tests/content/model_bounds.h"
#include "tests/win32/test_window.h"

static const std::string folder = "data\\content_view_test\\";
static const char* NextFile = "content_view_next.txt";
static const char* ErrorFile = "content_view_errors.txt";
static const uint32_t Sky = 0xffcc7f00;

static std::string FileName(const std::string& path) { return path.substr(path.rfind('\\') + 1); }
static std::string Folder(const std::string& path) { return path.substr(0, path.rfind('\\') + 1); }

// Copies a shipped model and the images beside it into the test's folder,
// so its cache is one of the test's own; the copy's path.
static std::vector<std::string> copiedFiles;
static std::string CopyModel(const std::string& path) {
    CreateDirectoryA(folder.c_str(), nullptr);
    std::vector<std::string> names{FileName(path)};
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((Folder(path) + "*.png").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do
            names.push_back(found.cFileName);
        while (FindNextFileA(find, &found));
        FindClose(find);
    }
    for (const std::string& name : names) {
        if (CopyFileA((Folder(path) + name).c_str(), (folder + name).c_str(), FALSE))
            copiedFiles.push_back(folder + name);
    }
    return folder + FileName(path);
}

static void RemoveCopies(const std::vector<std::string>& models) {
    for (const std::string& m : models)
        DeleteFileA(MeshCachePath(m).c_str());
    // The cache folders go when nothing else is in them.
    RemoveDirectoryA(("gen\\" + folder).c_str());
    RemoveDirectoryA("gen\\data");
    RemoveDirectoryA("gen");
    for (const std::string& f : copiedFiles)
        DeleteFileA(f.c_str());
    RemoveDirectoryA(folder.c_str());
}

// One frame: its models, the program they are drawn under, the camera
// direction (from the models' centre) and any uniforms the renderer sets.
struct Scene {
    std::string name;
    std::vector<CModel*> models;
    CShaderProgram* program;
    Vector3 viewFrom;
    bool setCamPos;
    bool setTime;
};

static CSmoothCamera camera;

static void PlaceCamera(const Scene& scene) {
    Box box;
    for (CModel* m : scene.models)
        AddBounds(m->GetRoot(), box);
    Vector3 centre{(box.lo.x + box.hi.x) / 2, (box.lo.y + box.hi.y) / 2, (box.lo.z + box.hi.z) / 2};
    float dx = box.hi.x - box.lo.x, dy = box.hi.y - box.lo.y, dz = box.hi.z - box.lo.z;
    float radius = 0.5f * std::sqrt(dx * dx + dy * dy + dz * dz);
    // Far enough for the bounding sphere to fit the 45-degree view with a
    // little room, and for all of it to lie beyond the near plane (1.0).
    float distance = std::max(radius / 0.36f, radius + 1.1f);
    const Vector3& d = scene.viewFrom;
    float len = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    Vector3 eye{centre.x + d.x / len * distance, centre.y + d.y / len * distance,
                centre.z + d.z / len * distance};
    camera.SetPosition(eye, true);
    camera.SetTarget(centre, true);
    camera.SetUp(Vector3{0.0f, 0.0f, 1.0f}, true);
}

// The world renderer's states and order: clear, perspective, camera, bind,
// uniforms, draw. Without a program the fixed pipeline draws.
static void DrawScene(const Scene& scene, CShaderProgram* program) {
    SetRenderSwitch(RS_DEPTH_TEST, true);
    SetRenderSwitch(RS_DEPTH_WRITE, true);
    SetCullMode(CULL_CLOCKWISE);
    ClearFrame(Sky, true, true, false);
    SetPerspective(0, 0, 800, 600, 1.0f, 2500.0f);
    camera.Apply(nullptr, false);
    if (program) {
        program->Bind();
        if (scene.setCamPos)
            program->SetVector3("camPos", &CurrentCamera->GetPosition()->x);
        float time = 0.0f;
        if (scene.setTime)
            program->SetFloat("time", &time);
    } else {
        UnbindShaderProgram();
    }
    for (CModel* m : scene.models)
        m->Draw();
    UnbindShaderProgram();
    FlushFrame();
}

static bool IsSky(const unsigned char* p) {
    return p[0] < 8 && p[1] > 119 && p[1] < 135 && p[2] > 196 && p[2] < 212;
}

static int Luma(const unsigned char* p) { return (p[0] * 30 + p[1] * 59 + p[2] * 11) / 100; }

struct FrameStats {
    int left = 800, right = -1, top = 600, bottom = -1;   // top-left origin
    long count = 0;
    long lumaSum = 0;
    int colours = 0;   // 4-bit-per-channel colours covering 3 pixels or more
    std::vector<unsigned char> pixels;
};

static FrameStats ReadFrame() {
    FrameStats s;
    s.pixels.resize(800 * 600 * 4);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, s.pixels.data());
    std::vector<int> bins(4096, 0);
    for (int y = 0; y < 600; y++) {
        for (int x = 0; x < 800; x++) {
            const unsigned char* p = &s.pixels[(y * 800 + x) * 4];
            if (IsSky(p))
                continue;
            int row = 599 - y;
            s.left = std::min(s.left, x);
            s.right = std::max(s.right, x);
            s.top = std::min(s.top, row);
            s.bottom = std::max(s.bottom, row);
            s.count++;
            s.lumaSum += Luma(p);
            bins[(p[0] >> 4) << 8 | (p[1] >> 4) << 4 | (p[2] >> 4)]++;
        }
    }
    for (int b : bins)
        s.colours += b >= 3 ? 1 : 0;
    return s;
}

// Mean colour difference over the pixels that are model in either frame.
static double MeanDifference(const FrameStats& a, const FrameStats& b) {
    long sum = 0, n = 0;
    for (size_t i = 0; i < a.pixels.size(); i += 4) {
        if (IsSky(&a.pixels[i]) && IsSky(&b.pixels[i]))
            continue;
        for (int c = 0; c < 3; c++)
            sum += std::abs((int)a.pixels[i + c] - (int)b.pixels[i + c]);
        n++;
    }
    return n ? (double)sum / (3.0 * n) : 0.0;
}

// Lit, textured, whole on screen, and changed by its program.
static void CheckScene(const Scene& scene, CShaderProgram* program, const std::string& name) {
    DrawScene(scene, nullptr);
    FrameStats plain = ReadFrame();
    DrawScene(scene, program);
    FrameStats shaded = ReadFrame();
    Check(name + "_no_gl_error", glGetError() == GL_NO_ERROR);
    char box[160];
    snprintf(box, sizeof box, "box %d..%d x %d..%d, %ld pixels, %d colours, mean luma %ld",
             shaded.left, shaded.right, shaded.top, shaded.bottom, shaded.count, shaded.colours,
             shaded.count ? shaded.lumaSum / shaded.count : 0);
    Check(name + "_drawn", shaded.count > 8000, box);
    Check(name + "_not_clipped",
          shaded.left > 2 && shaded.right < 797 && shaded.top > 2 && shaded.bottom < 597, box);
    Check(name + "_textured", shaded.colours >= 12, box);
    long luma = shaded.count ? shaded.lumaSum / shaded.count : 0;
    Check(name + "_lit", luma > 45 && luma < 230, box);
    double diff = MeanDifference(plain, shaded);
    Check(name + "_program_in_effect", diff > 4.0, "mean difference " + std::to_string(diff));
}

static void Show(const Scene& scene) {
    DeleteFileA(NextFile);
    DrawScene(scene, scene.program);
    PresentFrame();
    printf("SHOW %s\n", scene.name.c_str());
    fflush(stdout);
    for (int i = 0; i < 300 && GetFileAttributesA(NextFile) == INVALID_FILE_ATTRIBUTES; i++) {
        PumpMessages();
        DrawScene(scene, scene.program);
        PresentFrame();
        Sleep(100);
    }
    DeleteFileA(NextFile);
}

static void CheckPrograms() {
    Check("shaders_available", ShadersAvailable());
    for (const ShippedProgram& p : ShippedPrograms()) {
        CShaderProgram program;
        int before = ErrorReportCount();
        program.Load(p.vertexBase, p.fragmentBase);
        std::string name = FileName(*p.vertexBase ? p.vertexBase : p.fragmentBase);
        Check("program_" + name, program.IsLoaded(),
              ErrorReportCount() != before ? LastErrorReport() : "");
    }
}

static void CheckImages() {
    std::vector<std::string> images = FixedImages();
    std::vector<std::string> named = StatsImages();
    images.insert(images.end(), named.begin(), named.end());
    for (const std::string& path : images) {
        CTexture texture;
        Check("image " + path, LoadTexture(texture, path, false, 1, false));
    }
    CImage box;
    bool decoded = box.LoadFromFile(DialogBoxImage);
    Check("image_dialog_box_width", decoded && box.GetWidth() == DialogBoxWidth,
          std::to_string(box.GetWidth()));
}

int main() {
    HWND window = OpenTestWindow("Vexmoor Content View");
    SetErrorReportFile(ErrorFile);
    bool init = StartTestRenderer(window);
    Check("init", init);
    if (!init)
        return 1;
    StartupGdiplus();
    std::string message;
    Check("stats", LoadShippedStats(message), message);
    Check("animation_list", LoadAnimationList());

    CheckPrograms();
    CheckImages();

    // The programs as the world renderer loads them.
    CShaderProgram soldierProgram, soldierFallback, vehicleProgram, weaponProgram;
    soldierProgram.Load("data\\shaders\\soldier_full", "data\\shaders\\soldier_full");
    soldierFallback.Load("data\\shaders\\soldier_bad", "");
    vehicleProgram.Load("data\\shaders\\vehicle_full", "data\\shaders\\vehicle_full");
    weaponProgram.Load("data\\shaders\\weapon_full", "data\\shaders\\weapon_full");
    Check("uniform_camPos", soldierProgram.GetUniformLocation("camPos") != -1);
    Check("uniform_time", weaponProgram.GetUniformLocation("time") != -1);

    // The player's soldier type, its weapon and the first vehicle.
    std::vector<std::string> models;
    if (IsSoldierType(0) && IsWeaponType(GetSoldierType(0).weapon) && IsVehicleType(0)) {
        models.push_back(CopyModel(GetSoldierType(0).model));
        models.push_back(CopyModel(GetWeaponType(GetSoldierType(0).weapon).model));
        models.push_back(CopyModel(GetVehicleType(0).model));
    }
    CModel soldier, heldWeapon, weapon, vehicle;
    bool loaded = models.size() == 3 && LoadModel(soldier, models[0], false, true) &&
                  LoadModel(heldWeapon, models[1], false, true) &&
                  LoadModel(weapon, models[1], false, true) && LoadModel(vehicle, models[2], false, true);
    Check("models", loaded, loaded ? "" : LastErrorReport());
    if (loaded) {
        // The soldier stands holding its weapon: the weapon at the right hand,
        // pointing the way the soldier faces (+x).
        CAnimator animator;
        animator.Bind(soldier);
        Check("hold_pose", animator.Play("hold_mg", 2, 1.0f, 1.0f));
        for (int i = 0; i < 40; i++)
            animator.Update(0.05f);
        CNode* hand = soldier.FindNode("RHand");
        Check("right_hand", hand != nullptr);
        if (hand) {
            const Matrix4& m = hand->GetWorldMatrix();
            heldWeapon.GetRoot()->SetPosition(Vector3{m.m[3], m.m[7], m.m[11]});
        }

        Scene scenes[] = {
            {"soldier", {&soldier, &heldWeapon}, &soldierProgram, Vector3{1.0f, -0.55f, 0.3f}, true, false},
            {"weapon", {&weapon}, &weaponProgram, Vector3{0.3f, -1.0f, 0.45f}, false, true},
            {"vehicle", {&vehicle}, &vehicleProgram, Vector3{1.0f, -0.8f, 0.55f}, false, false},
        };
        for (const Scene& s : scenes) {
            PlaceCamera(s);
            CheckScene(s, s.program, s.name);
        }
        // The soldier under the fallback program the renderer turns to when
        // the full one does not load.
        Scene fallback = scenes[0];
        fallback.program = &soldierFallback;
        fallback.setCamPos = false;
        PlaceCamera(fallback);
        CheckScene(fallback, &soldierFallback, "soldier_bad");
        for (const Scene& s : scenes) {
            PlaceCamera(s);
            Show(s);
        }
    }

    soldier = CModel();
    heldWeapon = CModel();
    weapon = CModel();
    vehicle = CModel();
    ClearModelCache();
    RemoveCopies(models);
    soldierProgram.Release();
    soldierFallback.Release();
    vehicleProgram.Release();
    weaponProgram.Release();
    ShutdownRenderer();
    ShutdownGdiplus();
    DestroyWindow(window);

    std::string reports = ReadWholeFile(false, ErrorFile);
    if (!reports.empty())
        printf("error reports:\n%s\n", reports.c_str());
    DeleteFileA(ErrorFile);
    return FinishChecks();
}
