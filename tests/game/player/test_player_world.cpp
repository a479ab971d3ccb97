// The shipped level end to end on the recording back-end: the controller
// places the camera, the world updates, and the renderer draws the frame
// from the world's own scene.
#include "tests/game/world/world_fixture.h"

#include <algorithm>

#include "tests/game/player/held_input.h"
#include "game/world/world_scene.h"
#include "render/null/null_backend.h"
#include "render/projection.h"
#include "render/world_render.h"

namespace {

size_t Find(const std::vector<std::string>& events, const std::string& line) {
    return size_t(std::find(events.begin(), events.end(), line) - events.begin());
}

TEST_F(WorldTest, TheShippedLevelsFrameIsDrawnInOrder) {
    ASSERT_TRUE(world->LoadLevel("data\\levels\\level01.txt", 255));
    CSmoothCamera camera;
    HeldInput input;
    CPlayerController controller;
    StartController(controller, camera, input, world->soldiers.front());
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

    controller.Reset();
}

}  // namespace
