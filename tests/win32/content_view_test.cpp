// The shipped content on the OpenGL device: every GLSL program compiles and
// links behind the common prefix, every image the game names loads as a
// texture through GDI+, and the player's soldier (holding its rifle), the
// rifle lying on the ground and the vehicle are drawn under their programs,
// as the world renderer binds them, each into a frame of its own. A camera
// placed off every axis looks at the models' centre: that centre projects to
// the screen's centre, the models are drawn about it, and world -x shows on
// the right of the screen.
//
// Prints "CHECK name OK|FAIL" lines and shows each frame until the script
// took its screenshot (ShowUntilSignalled). Exit code 0 when every check passed.
#include <algorithm>
#include <cmath>

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
#include "tests/win32/test_files.h"
#include "tests/win32/test_window.h"

static const char* ErrorFile = "content_view_errors.txt";

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
static Vector3 viewCentre;

static void PlaceCamera(const Scene& scene) {
    Box box;
    for (CModel* m : scene.models)
        AddBounds(m->GetRoot(), box);
    Vector3 centre{(box.lo.x + box.hi.x) / 2, (box.lo.y + box.hi.y) / 2, (box.lo.z + box.hi.z) / 2};
    viewCentre = centre;
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
    ClearFrame(TestSky, true, true, false);
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

static int Luma(const unsigned char* p) { return (p[0] * 30 + p[1] * 59 + p[2] * 11) / 100; }

struct FrameStats {
    int left = 800, right = -1, top = 600, bottom = -1;   // top-left origin
    long count = 0;
    long lumaSum = 0;
    int colours = 0;   // 4-bit-per-channel colours covering 3 pixels or more
    std::vector<uint8_t> pixels;
};

static FrameStats MeasureFrame() {
    FrameStats s;
    ReadFrame(s.pixels);
    std::vector<int> bins(4096, 0);
    for (int y = 0; y < 600; y++) {
        for (int x = 0; x < 800; x++) {
            const uint8_t* p = FramePixel(s.pixels, x, y);
            if (IsSky(p))
                continue;
            s.left = std::min(s.left, x);
            s.right = std::max(s.right, x);
            s.top = std::min(s.top, y);
            s.bottom = std::max(s.bottom, y);
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

// Lit, textured, whole on screen, and changed by its program; the frame.
static FrameStats CheckScene(const Scene& scene, CShaderProgram* program, const std::string& name) {
    DrawScene(scene, nullptr);
    FrameStats plain = MeasureFrame();
    DrawScene(scene, program);
    FrameStats shaded = MeasureFrame();
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
    return shaded;
}

// The camera's target, the models' centre, is the screen's centre, and the
// models are drawn about it (covering it, when solid there); a red line from
// the target toward world -x lies on the right of the screen.
static void CheckCamera(const std::string& name, const FrameStats& shaded, bool solidAtCentre) {
    Vector3 screen;
    bool projected = ProjectToScreen(screen, viewCentre);
    int cx = (shaded.left + shaded.right) / 2, cy = (shaded.top + shaded.bottom) / 2;
    char centre[96];
    snprintf(centre, sizeof centre, "target at %.2f %.2f, models about %d %d", screen.x, screen.y, cx, cy);
    Check(name + "_target_at_centre", projected && std::fabs(screen.x - 400.0f) < 1.0f &&
                                          std::fabs(screen.y - 300.0f) < 1.0f, centre);
    Check(name + "_drawn_about_centre", std::abs(cx - 400) < 60 && std::abs(cy - 300) < 60, centre);
    if (solidAtCentre)
        Check(name + "_centre_covered", !IsSky(FramePixel(shaded.pixels, 400, 300)), centre);

    DrawScene(Scene{}, nullptr);
    Matrix4 identity;
    Matrix4Identity(identity);
    SetWorldMatrix(identity);
    const Vector3& c = viewCentre;
    DrawLine3D(c.x, c.y, c.z, 0xff0000ff, c.x - 3.0f, c.y, c.z, 0xff0000ff);
    std::vector<uint8_t> line;
    ReadFrame(line);
    long redX = 0, red = 0;
    for (int y = 0; y < 600; y++) {
        for (int x = 0; x < 800; x++) {
            const uint8_t* p = FramePixel(line, x, y);
            bool isRed = p[0] > 200 && p[1] < 60 && p[2] < 60;
            redX += isRed ? x : 0;
            red += isRed;
        }
    }
    Check(name + "_world_minus_x_on_screen_right", red > 0 && redX / red > 400,
          std::to_string(red) + " red pixels, mean x " + std::to_string(red ? redX / red : -1));
}

static void CheckPrograms() {
    Check("shaders_available", ShadersAvailable());
    for (const ShippedProgram& p : ShippedPrograms()) {
        CShaderProgram program;
        int before = ErrorReportCount();
        program.Load(p.vertexBase, p.fragmentBase);
        std::string base = *p.vertexBase ? p.vertexBase : p.fragmentBase;
        std::string name = base.substr(base.rfind('\\') + 1);
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
    SetErrorReportFile(ErrorFile);
    HWND window = StartTestProgram("Vexmoor Content View");
    if (!window)
        return 1;
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
    ModelCopies copies{"content_view_test\\"};
    if (IsSoldierType(0) && IsWeaponType(GetSoldierType(0).weapon) && IsVehicleType(0)) {
        copies.Copy(GetSoldierType(0).model);
        copies.Copy(GetWeaponType(GetSoldierType(0).weapon).model);
        copies.Copy(GetVehicleType(0).model);
    }
    const std::vector<std::string>& models = copies.models;
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
            FrameStats shaded = CheckScene(s, s.program, s.name);
            CheckCamera(s.name, shaded, s.name == "vehicle");   // the soldier and the rifle leave gaps
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
            DrawScene(s, s.program);
            ShowUntilSignalled(s.name, [&]() { DrawScene(s, s.program); });
        }
    }

    soldier = CModel();
    heldWeapon = CModel();
    weapon = CModel();
    vehicle = CModel();
    ClearModelCache();
    copies.Remove();
    soldierProgram.Release();
    soldierFallback.Release();
    vehicleProgram.Release();
    weaponProgram.Release();
    int code = EndTestProgram(window);

    PrintErrorReports(ErrorFile);
    return code;
}
