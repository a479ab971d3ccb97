// The shipped level end to end on the recording back-end: the controller
// aims and fires, the world updates, and the renderer draws the frame.
#include "tests/game/world/world_fixture.h"

#include <algorithm>

#include "tests/game/player/player_rig.h"
#include "game/world/world_scene.h"
#include "render/camera.h"
#include "render/null/null_backend.h"
#include "render/projection.h"
#include "render/world_render.h"

namespace {

size_t Find(const std::vector<std::string>& events, const std::string& line) {
    return size_t(std::find(events.begin(), events.end(), line) - events.begin());
}

TEST_F(WorldTest, ThePlayerFiresInTheShippedLevelAndTheFrameIsDrawnInOrder) {
    ASSERT_TRUE(world->LoadLevel("data\\levels\\level01.txt", 255));
    PlayerRig rig(world->soldiers.front());
    CSmoothCamera& camera = rig.camera;
    HeldInput& input = rig.input;
    CPlayerController& controller = rig.controller;
    SetViewport(0, 0, 800, 600);
    CWorldDrawScene scene(*world);
    CWorldRenderer renderer(&scene);

    auto frame = [&](float dt) {
        controller.Update(dt);
        world->Update(dt);
        SetPerspective(0, 0, 800, 600, 1.0f, 2500.0f);
        camera.Apply();
        NullStartRecording();
        renderer.Draw();
        NullStopRecording();
        return NullRecordedEvents();
    };
    frame(0.05f);   // the camera settles behind the player; culling uses it from the next frame
    std::vector<std::string> events = frame(0.05f);
    size_t soldiers = Find(events, "program data\\shaders\\soldier_full");
    size_t vehicles = Find(events, "program data\\shaders\\vehicle_full");
    ASSERT_LT(soldiers, vehicles);
    auto isDraw = [](const std::string& e) { return e.rfind("draw", 0) == 0; };
    EXPECT_TRUE(std::any_of(events.begin(), events.begin() + soldiers, isDraw)) << "terrain first";
    EXPECT_TRUE(std::any_of(events.begin() + soldiers, events.begin() + vehicles, isDraw))
        << "the player's soldier and its rifle are in view";

    input.fire = true;
    frame(0.05f);
    EXPECT_FALSE(world->projectiles.projectiles.empty());
    Vector3 aim = controller.GetAimPoint();
    EXPECT_TRUE(std::isfinite(aim.x) && std::isfinite(aim.y) && std::isfinite(aim.z));

    // The player dies: nothing more is fired, the frame still draws.
    world->soldiers.front()->health = 0.0f;
    world->projectiles.Clear();
    frame(0.5f);
    EXPECT_TRUE(world->projectiles.projectiles.empty());
    controller.Reset();
    NullResetCounters();   // later tests count draws from zero
}

}  // namespace
