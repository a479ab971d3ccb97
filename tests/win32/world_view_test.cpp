// The first level as the game draws it: the world renderer with the
// player's camera behind the player's soldier, then the same after the
// soldier fires (the rifle's muzzle flash), with a line of text on top.
// Built for OpenGL here and for Direct3D as d3d_world_view_test: the same
// steps give the same frame.
//
// The first frame is drawn twice more, without the soldiers and with the
// land alone; from the differences the program prints the median colour of
// the land and of the soldiers as "MEDIAN ground|soldiers r g b pixels".
//
// Prints "CHECK name OK|FAIL" lines and shows each frame until the script
// took its screenshot (ShowUntilSignalled). Exit code 0 when every check passed.
#include <algorithm>
#include <cmath>

#include "app/console.h"
#include "core/clock.h"
#include "core/random.h"
#include "game/player/player_controller.h"
#include "game/stats.h"
#include "game/soldiers/soldier.h"
#include "game/soldiers/vehicle.h"
#include "game/world/generic_object.h"
#include "game/world/world.h"
#include "game/world/world_scene.h"
#include "render/animation.h"
#include "render/backend.h"
#include "render/camera.h"
#include "render/image.h"
#include "render/model.h"
#include "render/projection.h"
#include "render/render_setup.h"
#include "render/text.h"
#include "render/world_render.h"
#include "tests/game/player/held_input.h"
#include "tests/win32/test_window.h"

// The world's scene with parts left out, to find by difference which pixels
// of a frame are the soldiers and which the bare land.
class CPartialScene : public CWorldScene {
public:
    explicit CPartialScene(CWorldScene& whole) : whole(whole) {}
    bool soldiers = true;
    bool objects = true;   // everything but the terrain

    const CVisibilityLists& GetVisibility() override { return whole.GetVisibility(); }
    void DrawTerrain() override { whole.DrawTerrain(); }
    void DrawGrass() override {
        if (objects)
            whole.DrawGrass();
    }
    void DrawParticles() override {
        if (objects)
            whole.DrawParticles();
    }
    CNode* GetNode(VisibilityList list, void* object) override {
        if (!objects || (!soldiers && list == VisSoldiers))
            return nullptr;
        return whole.GetNode(list, object);
    }
    CNode* GetWeaponNode(void* soldier) override {
        return objects && soldiers ? whole.GetWeaponNode(soldier) : nullptr;
    }
    CNode* GetPartNode(const CCullTree* part) override { return objects ? whole.GetPartNode(part) : nullptr; }
    int GetProjectileKind(void* projectile) override { return whole.GetProjectileKind(projectile); }

private:
    CWorldScene& whole;
};

// The frame's label; its rows are left out of the colour masks.
static const int LabelBottom = 40;
static void DrawLabel() {
    SetScreenProjection();
    DrawString("Vexmoor battle 0123456789 owz gw jz _o", 12.0f, 12.0f, 0xffffffffu, 18.0f, "");
}

static bool SamePixel(const uint8_t* a, const uint8_t* b) {
    return abs(a[0] - b[0]) <= 2 && abs(a[1] - b[1]) <= 2 && abs(a[2] - b[2]) <= 2;
}

// "MEDIAN name r g b pixels": the median of each channel of the frame over
// the mask.
static void PrintMedian(const char* name, const std::vector<uint8_t>& frame, const std::vector<bool>& mask) {
    std::vector<int> channel[3];
    for (size_t i = 0; i < mask.size(); i++) {
        if (mask[i]) {
            for (int c = 0; c < 3; c++)
                channel[c].push_back(frame[i * 4 + c]);
        }
    }
    int median[3] = {0, 0, 0};
    for (int c = 0; c < 3 && !channel[c].empty(); c++) {
        std::nth_element(channel[c].begin(), channel[c].begin() + channel[c].size() / 2, channel[c].end());
        median[c] = channel[c][channel[c].size() / 2];
    }
    printf("MEDIAN %s %d %d %d %d\n", name, median[0], median[1], median[2], int(channel[0].size()));
}

int main() {
    HWND window = StartTestProgram("Vexmoor World View");
    if (!window)
        return 1;
    CreateDebugConsole();
    std::string message;
    Check("stats", LoadStatsTables(message), message);
    Check("animations", LoadAnimationList());

    {
        // Both programs draw the same battle: the same chance values.
        GameSrand(1);
        CWorld world;
        bool loaded = world.LoadLevel("data\\levels\\level01.txt", 255);
        Check("level", loaded && !world.soldiers.empty() && !world.vehicles.empty() && !world.generics.empty());
        if (!loaded)
            return FinishChecks();
        GameSrand(1);   // whether the caches were already made draws too
        CSmoothCamera camera;
        HeldInput input;
        CPlayerController& controller = g_playerController;
        StartController(controller, camera, input, world.soldiers.front());
        // Heading 10 degrees left of -x, about where the player starts
        // looking: the buggy, the crates and the ring of walls and rocks
        // stand in front of the player.
        Vector3 eye = world.soldiers.front()->GetPosition();
        camera.SetPosition(eye, true);
        camera.SetTarget(Vector3{eye.x - 9.848f, eye.y - 1.736f, eye.z}, true);
        CWorldDrawScene worldScene(world);
        CPartialScene scene(worldScene);
        CWorldRenderer renderer(&scene);
#ifndef VEXMOOR_BACKEND_D3D9
        // Wine's HLSL compiler cannot build the sampling programs: the
        // Direct3D form draws through the fixed pixel stage there.
        Check("soldier_full", renderer.HasFullSoldierProgram());
#endif

        auto draw = [&]() {
            SetPerspective(0, 0, TestWidth, TestHeight, 1.0f, 2500.0f);
            camera.Apply();
            if (StartTestFrame()) {
                renderer.Draw();
                DrawLabel();
            }
            EndTestFrame();
        };
        auto frame = [&](float dt) {
            PumpMessages();
            controller.Update(dt);
            world.Update(dt);
            draw();
        };
        // The soldier turns to the view and the culling catches up.
        for (int i = 0; i < 40; i++)
            frame(0.05f);
        Check("no_device_error", NoDeviceError());
        std::vector<uint8_t> before;
        ReadFrame(before);
        int skyTop = 0, groundBottom = 0;
        for (int x = 0; x < TestWidth; x += 4) {
            skyTop += IsSky(FramePixel(before, x, 10));
            groundBottom += !IsSky(FramePixel(before, x, TestHeight - 10));
        }
        Check("sky_above", skyTop > TestWidth / 8, std::to_string(skyTop));
        Check("ground_below", groundBottom > TestWidth / 8, std::to_string(groundBottom));
        auto onScreen = [](const Vector3& p) {
            Vector3 s;
            return ProjectToScreen(s, p) && s.x >= 0 && s.x < TestWidth && s.y >= 0 && s.y < TestHeight;
        };
        Check("vehicle_in_view", onScreen(world.vehicles.front()->body.position));
        int props = 0;
        for (CGenericObject* g : world.generics)
            props += onScreen(g->GetPosition());
        Check("props_in_view", props > 0, std::to_string(props));

        // The same view without soldiers, then with the land alone: the
        // soldiers are what the first leaves out, the land what the second
        // draws where nothing stands in front of it.
        std::vector<uint8_t> noSoldiers, landOnly;
        scene.soldiers = false;
        draw();
        ReadFrame(noSoldiers);
        scene.objects = false;
        draw();
        ReadFrame(landOnly);
        scene.soldiers = scene.objects = true;
        std::vector<bool> soldierMask(size_t(TestWidth) * TestHeight), landMask(soldierMask.size());
        for (size_t i = size_t(TestWidth) * LabelBottom; i < soldierMask.size(); i++) {
            const uint8_t* p = &before[i * 4];
            soldierMask[i] = !SamePixel(p, &noSoldiers[i * 4]);
            landMask[i] = !IsSky(&landOnly[i * 4]) && SamePixel(p, &landOnly[i * 4]);
        }
        PrintMedian("ground", before, landMask);
        PrintMedian("soldiers", before, soldierMask);
        draw();
        ShowUntilSignalled("world");

        // Fire: the flash lives 0.1 s, so the next frame comes soon after.
        size_t fired = world.projectiles.projectiles.size();
        input.fire = true;
        frame(0.01f);
        input.fire = false;
        Check("fired", world.projectiles.projectiles.size() > fired);
        Check("flash", !world.particles.GetFlashes().empty());
        std::vector<uint8_t> after;
        ReadFrame(after);
        int changed = 0;
        for (size_t i = 0; i < after.size(); i += 4)
            changed += after[i] != before[i] || after[i + 1] != before[i + 1] || after[i + 2] != before[i + 2];
        printf("CHANGED %d\n", changed);
        Check("frame_changed", changed > 0, std::to_string(changed));
        if (!world.particles.GetFlashes().empty()) {
            Vector3 screen;
            bool onScreen = ProjectToScreen(screen, world.particles.GetFlashes().front().position);
            printf("FLASH %d %d\n", int(screen.x), int(screen.y));
            Check("flash_on_screen", onScreen && screen.x >= 0 && screen.x < TestWidth && screen.y >= 0 &&
                                         screen.y < TestHeight);
        }
        ShowUntilSignalled("fire");

        // Frame rate of the battle at 800 x 600, presented as the game does:
        // a figure for the log, compared between the two programs, never checked.
        const int measured = 30;
        long long start = QueryCounter();
        for (int i = 0; i < measured; i++) {
            frame(0.02f);
            PresentFrame();
        }
        double seconds = double(QueryCounter() - start) / double(CounterFrequency());
        printf("FPS %.1f\n", seconds > 0.0 ? measured / seconds : 0.0);

        // The land alone from the player's start and two other places, at
        // several heights and all round: below the land's outline no pixel
        // of any frame may be sky (a crack between terrain cells).
        scene.objects = false;
        int views = 0, cracked = 0;
        long skyBelow = 0;
        auto look = [&](float x, float y, float height, float heading) {
            Ray down{{x, y, 1000.0f}, {0.0f, 0.0f, -1.0f}};
            Vector3 ground{x, y, 0.0f}, normal;
            world.terrain.RayQuery(down, ground, normal, 1);
            Vector3 from{x, y, ground.z + height};
            camera.SetPosition(from, true);
            camera.SetTarget(Vector3{from.x + 100.0f * std::cos(heading), from.y + 100.0f * std::sin(heading),
                                     from.z - 15.0f - 0.3f * height},
                             true);
            draw();   // applies the camera the culling below uses
            world.visibility.Cull(true);
            draw();
        };
        auto countSky = [&](std::vector<uint8_t>& frame) {
            ReadFrame(frame);
            long count = 0;
            for (int x = 0; x < TestWidth; x++) {
                int y = LabelBottom;
                while (y < TestHeight && IsSky(FramePixel(frame, x, y)))
                    y++;
                for (; y < TestHeight; y++)
                    count += IsSky(FramePixel(frame, x, y));
            }
            return count;
        };
        const float places[3][2] = {{eye.x, eye.y}, {0.0f, 0.0f}, {260.0f, -330.0f}};
        std::vector<uint8_t> land;
        for (const auto& place : places) {
            for (float height : {3.0f, 15.0f, 60.0f, 150.0f}) {
                for (int turn = 0; turn < 8; turn++) {
                    look(place[0], place[1], height, turn * 3.14159265f / 4.0f);
                    long sky = countSky(land);
                    views++;
                    cracked += sky > 0;
                    skyBelow += sky;
                    if (sky > 0)
                        printf("CRACKS %.0f %.0f %.0f %d: %ld\n", place[0], place[1], height, turn * 45, sky);
                }
            }
        }
        printf("LAND %d views, %d with sky below the land, %ld pixels\n", views, cracked, skyBelow);
        Check("closed_ground", skyBelow == 0,
              std::to_string(skyBelow) + " sky pixels below the land in " + std::to_string(cracked) + " of " +
                  std::to_string(views) + " views");
        // The start's heading (10 degrees left of -x) from 15 up, for the eye.
        look(eye.x, eye.y, 15.0f, 3.316f);
        ShowUntilSignalled("land");
        scene.objects = true;
        controller.Reset();
        controller.SetCamera(nullptr);
        controller.SetInput(nullptr);
    }
    ClearAnimationClips();
    ClearModelCache();
    DestroyDebugConsole();
    return EndTestProgram(window);
}
