// A soldier holding its rifle beside a vehicle, built by the battle code
// (CSoldier, CVehicle) on the shipped terrain and run for a few seconds of
// animation and driving, drawn with the programs the world renderer binds.
// Prints "CHECK name OK|FAIL" lines and shows the frame as "battle" until the
// script took its screenshot (ShowUntilSignalled).
#include <cmath>

#include "game/soldiers/soldier.h"
#include "game/soldiers/vehicle.h"
#include "game/stats.h"
#include "game/terrain/terrain.h"
#include "game/world/terrain_view.h"
#include "game/weapons/battle_world.h"
#include "render/animation.h"
#include "render/backend.h"
#include "render/camera.h"
#include "render/model.h"
#include "render/node.h"
#include "render/projection.h"
#include "render/shader.h"
#include "render/visibility.h"
#include "tests/content/content_list.h"
#include "tests/game/soldiers/flat_world.h"
#include "tests/win32/test_window.h"

static const char* ErrorFile = "battle_view_errors.txt";

static CSmoothCamera camera;

static const char* const Valley = "data\\models\\land\\valley.mbm";

static Vector3 GroundAt(CTerrain& terrain, float x, float y) {
    Ray down{{x, y, 1000.0f}, {0.0f, 0.0f, -1.0f}};
    Vector3 point{x, y, 0.0f}, normal;
    terrain.RayQuery(down, point, normal, 1);
    return point;
}

struct Programs {
    CShaderProgram soldier, vehicle, weapon;
};

static void DrawFrame(Programs& p, CTerrain& terrain, CVisibilityLists& lists, CSoldier& soldier,
                      CVehicle& buggy) {
    SetRenderSwitch(RS_DEPTH_TEST, true);
    SetRenderSwitch(RS_DEPTH_WRITE, true);
    SetCullMode(CULL_NONE);
    ClearFrame(TestSky, true, true, false);
    SetPerspective(0, 0, 800, 600, 1.0f, 2500.0f);
    camera.Apply(nullptr, false);
    lists.Cull(true);
    terrain.Draw();
    SetCullMode(CULL_CLOCKWISE);
    p.vehicle.Bind();
    buggy.model.Draw();
    p.soldier.Bind();
    p.soldier.SetVector3("camPos", &CurrentCamera->GetPosition()->x);
    soldier.model.Draw();
    p.weapon.Bind();
    float time = 0.0f;
    p.weapon.SetFloat("time", &time);
    soldier.GetCurrentWeapon().model.Draw();
    UnbindShaderProgram();
    FlushFrame();
}

static long NonSkyPixels() {
    std::vector<uint8_t> rgba;
    ReadFrame(rgba);
    long count = 0;
    for (size_t i = 0; i < rgba.size(); i += 4)
        count += !IsSky(&rgba[i]);
    return count;
}

int main() {
    SetErrorReportFile(ErrorFile);
    HWND window = StartTestProgram("Vexmoor Battle View");
    if (!window)
        return 1;
    std::string message;
    Check("stats", LoadShippedStats(message), message);
    Check("animation_list", LoadAnimationList());

    Programs programs;
    programs.soldier.Load("data\\shaders\\soldier_full", "data\\shaders\\soldier_full");
    programs.vehicle.Load("data\\shaders\\vehicle_full", "data\\shaders\\vehicle_full");
    programs.weapon.Load("data\\shaders\\weapon_full", "data\\shaders\\weapon_full");
    Check("programs", programs.soldier.IsLoaded() && programs.vehicle.IsLoaded() &&
                          programs.weapon.IsLoaded());
    {
        CTerrain terrain;
        Check("terrain", terrain.Load(Valley) && !terrain.GetSegments().empty());
        CVisibilityLists lists;
        lists.SetPerspective(0.75f, 1.0f, 2500.0f, 2500.0f);
        terrain.SetVisibilityLists(&lists);
        CTerrainView ground(terrain);
        FlatBattleWorld world;
        world.terrain = &ground;
        Vector3 at = GroundAt(terrain, 130.0f, -80.0f);
        CSoldier* soldier = new CSoldier(&world, 0);
        soldier->SetTeam(0);
        soldier->SetPosition(at);
        soldier->SetFacing(Vector3{0.3f, -1.0f, 0.0f}, true);
        soldier->SetAimPoint(Vector3{0.3f, -1.0f, 0.0f}, 30.0f, true);
        world.soldiers.push_back(soldier);
        CVehicle* buggy = new CVehicle(&world, 0);
        buggy->Place(GroundAt(terrain, at.x - 3.0f, at.y + 4.0f), Vector3{1.0f, 0.0f, 0.0f});
        world.vehicles.push_back(buggy);
        Check("soldier_model", soldier->model.GetRoot() != nullptr);
        Check("rifle_model", soldier->GetCurrentWeapon().model.GetRoot() != nullptr);
        Check("vehicle_model", buggy->model.GetRoot() != nullptr);

        // A few seconds of battle: the soldier settles into its hold pose, the
        // buggy rolls forward and steers left.
        buggy->driveInput = Vector3{1.0f, -0.4f, 0.0f};
        buggy->throttle = 0.04f;
        for (int i = 0; i < 60; i++) {
            buggy->Update(0.05f);
            soldier->Update(0.05f);
        }
        buggy->ClearDriving();
        Check("hold_pose", soldier->animator.IsPlaying("hold_mg"));
        Vector3 feet = soldier->GetPosition();
        Check("soldier_on_ground", std::fabs(feet.z - GroundAt(terrain, feet.x, feet.y).z) < 0.05f,
              std::to_string(feet.z));
        const Vector3& moved = buggy->body.position;
        Check("vehicle_moved", moved.x > at.x - 3.0f,
              std::to_string(moved.x) + " " + std::to_string(moved.y) + " " + std::to_string(moved.z));

        camera.SetPosition(Vector3{at.x + 5.0f, at.y - 5.5f, at.z + 3.0f}, true);
        camera.SetTarget(Vector3{at.x - 0.5f, at.y + 2.0f, at.z + 0.9f}, true);
        camera.SetUp(Vector3{0.0f, 0.0f, 1.0f}, true);
        DrawFrame(programs, terrain, lists, *soldier, *buggy);
        long drawn = NonSkyPixels();
        Check("drawn", drawn > 40000 && drawn < 800 * 600, std::to_string(drawn));
        Check("no_gl_error", glGetError() == GL_NO_ERROR);

        ShowUntilSignalled("battle", [&]() { DrawFrame(programs, terrain, lists, *soldier, *buggy); });
        world.DeleteObjects();
        terrain.SetVisibilityLists(nullptr);
    }
    programs.soldier.Release();
    programs.vehicle.Release();
    programs.weapon.Release();
    ClearModelCache();
    int code = EndTestProgram(window);
    PrintErrorReports(ErrorFile);
    return code;
}
