// The controller against a scripted keyboard and mouse: movement relative to
// the camera, mouse look and its pitch limit, jump, vehicles, view modes,
// firing, and the guards for no soldier and a dead soldier.
#include "tests/game/soldiers/battle_fixture.h"

#include <cmath>

#include "app/device_input.h"
#include "tests/game/player/held_input.h"
#include "tests/ui/test_menu_input.h"

namespace {

// The mouse moves by the deltas and holds the buttons of `next`; the
// deltas are read once.
class DeltaMouse : public CMouseDevice {
public:
    explicit DeltaMouse(MouseState* next) : next(next) {}
    bool Acquire() override { return true; }
    void Unacquire() override {}
    PollResult Poll() override { return POLL_OK; }
    bool ReadState(MouseState& out) override {
        out = *next;
        next->dx = next->dy = next->dz = 0;
        return true;
    }
    MouseState* next;
};

class PlayerTest : public Battle {
protected:
    void SetUp() override {
        Battle::SetUp();
        SetViewport(0, 0, 800, 600);
        keyboard.InitWithDevice(new ScriptKeyboard(&script));
        mouse.InitWithDevice(new DeltaMouse(&script.next), true);
        mouse.SetCursorPosition(400, 300);
        StartController(controller, camera, input, nullptr);
    }
    void TearDown() override {
        controller.SetSoldier(nullptr);
        Battle::TearDown();
    }
    // One frame: the devices read, then the controller.
    void Frame(float dt = 0.05f) {
        keyboard.Poll();
        mouse.Update(dt);
        controller.Update(dt);
    }
    void Press(int key) {
        script.keys[key] = 0x80;
        Frame();
        script.keys[key] = 0;
        Frame();
    }
    CSoldier* Player(const Vector3& at = Vector3{}) {
        CSoldier* s = AddSoldier(at);
        controller.SetSoldier(s);
        return s;
    }
    Vector3 View() {
        Vector3 v;
        Vector3Subtract(v, *camera.GetTarget(), *camera.GetPosition());
        return Vector3NormalizeInPlace(v);
    }

    struct : InputScript {
        MouseState next = {};
    } script;
    CKeyboard keyboard;
    CMouse mouse;
    CDeviceInput input{keyboard, mouse};
    CSmoothCamera camera;
    CPlayerController controller;
};

TEST_F(PlayerTest, MovementFollowsTheCameraOnTheGroundEvenLookingDown) {
    CSoldier* s = Player();
    EXPECT_EQ(s->playerControlled, 1);
    EXPECT_EQ(world.playerSoldier, s);
    camera.SetPosition(Vector3{0, 0, 10}, true);
    camera.SetTarget(Vector3{3, 3, 0}, true);   // steeply down, heading (1, 1)
    const float h = std::sqrt(0.5f);
    struct Case { std::vector<int> keys; Vector3 move; } cases[] = {
        {{PKEY_W}, {h, h, 0}}, {{PKEY_UP}, {h, h, 0}}, {{PKEY_S}, {-h, -h, 0}},
        {{PKEY_A}, {-h, h, 0}}, {{PKEY_RIGHT}, {h, -h, 0}}, {{PKEY_W, PKEY_A}, {0, 1, 0}}, {{}, {0, 0, 0}}};
    for (const Case& c : cases) {
        for (int k : c.keys) script.keys[k] = 0x80;
        Frame();
        for (int k : c.keys) script.keys[k] = 0;
        ExpectNear3(s->moveDirection, c.move);
    }
}

TEST_F(PlayerTest, MouseLookTurnsAndClampsThePitchAtSixtyDegrees) {
    CSoldier* s = Player(Vector3{5, 5, 0});
    camera.SetPosition(Vector3{0, 0, 1}, true);
    camera.SetTarget(Vector3{10, 0, 1}, true);
    script.next.dx = 100;   // right: turns clockwise seen from above
    Frame();
    Vector3 v = View();
    EXPECT_NEAR(std::atan2(v.y, v.x), -0.1f, 1e-3f);
    EXPECT_NEAR(v.z, 0.0f, 1e-3f);
    EXPECT_EQ(mouse.GetX(), 400) << "the cursor goes back to the rest position";
    // Behind the soldier by 8, 4 up, looking where it aims.
    EXPECT_NEAR(camera.GetPosition()->x, 5 - 8 * v.x, 1e-3f);
    EXPECT_NEAR(camera.GetPosition()->z, 4.0f, 1e-3f);

    for (int i = 0; i < 10; i++) {
        script.next.dy = 300;
        Frame();
    }
    EXPECT_NEAR(std::asin(View().z), -1.0471976f, 1e-3f);
    for (int i = 0; i < 20; i++) {
        script.next.dy = -300;
        Frame();
    }
    EXPECT_NEAR(std::asin(View().z), 1.0471976f, 1e-3f);
    // Looking up at the sky: no hit, the soldier faces the view's heading.
    EXPECT_NEAR(s->facingGoal.x, std::cos(-0.1f), 1e-3f);
}

TEST_F(PlayerTest, AimLandsOnTheGroundUnderTheCursor) {
    CSoldier* s = Player();
    camera.SetPosition(Vector3{0, 0, 10}, true);
    camera.SetTarget(Vector3{20, 0, 0}, true);
    Frame();
    EXPECT_NEAR(controller.GetAimPoint().z, 0.0f, 1e-3f);
    EXPECT_GT(controller.GetAimPoint().x, 0.0f);
    EXPECT_NEAR(s->facingGoal.x, 1.0f, 1e-4f);
    EXPECT_NEAR(s->aimDistance, controller.GetAimPoint().x, 1e-2f);
}

TEST_F(PlayerTest, JumpsOnlyFromTheGround) {
    CSoldier* s = Player();
    s->body.grounded = 1;
    script.keys[PKEY_SPACE] = 0x80;
    Frame();
    EXPECT_EQ(s->body.grounded, 0);
    EXPECT_NEAR(s->body.velocity.z, 19.79899f, 1e-4f);
    s->body.velocity.z = 0.0f;
    Frame();
    EXPECT_EQ(s->body.velocity.z, 0.0f) << "no second jump in the air";
}

TEST_F(PlayerTest, DrivingThenLeavingClearsDriveInputAndThrottle) {
    CVehicle* v = AddVehicle(Vector3{});
    CSoldier* s = Player(v->GetSeatPosition(0));
    Run(s, 0.1f);
    ASSERT_EQ(s->vehicleInReach, v);
    Press(PKEY_LSHIFT);
    ASSERT_EQ(s->seated, SEAT_DRIVER);
    Run(s, 2.1f);   // climbing in
    int weapon = s->currentWeapon;
    camera.SetPosition(Vector3{0, 0, 5}, true);
    camera.SetTarget(Vector3{0, 10, 5}, true);
    script.keys[PKEY_W] = 0x80;
    script.keys[PKEY_TAB] = 0x80;
    Frame();
    EXPECT_EQ(v->throttle, 1.0f);
    EXPECT_NEAR(v->driveInput.y, 1.0f, 1e-4f);
    EXPECT_EQ(s->currentWeapon, weapon) << "no weapon switch while driving";
    script.keys[PKEY_W] = script.keys[PKEY_TAB] = 0;
    script.keys[PKEY_S] = 0x80;
    Frame();
    EXPECT_EQ(v->throttle, -1.0f);
    script.keys[PKEY_S] = 0;
    Press(PKEY_RSHIFT);
    EXPECT_EQ(std::make_tuple(s->seated, v->throttle, Vector3Length(v->driveInput)),
              std::make_tuple((int)SEAT_NONE, 0.0f, 0.0f));
}

TEST_F(PlayerTest, HeldFireShootsAtTheWeaponsPace) {
    CSoldier* s = Player();
    int clip = s->GetCurrentWeapon().clip;
    script.next.buttons[0] = 0x80;
    Frame();
    EXPECT_EQ(world.projectiles.projectiles.size(), 1u);
    for (int i = 0; i < 10; i++) {   // 0.5 s of a 0.12 s cool-down
        Frame();
        s->Update(0.05f);
    }
    EXPECT_GE(clip - s->GetCurrentWeapon().clip, 4);
    EXPECT_LE(clip - s->GetCurrentWeapon().clip, 5);
}

TEST_F(PlayerTest, WithNoSoldierOrADeadOneNothingFiresOrMoves) {
    Frame();   // no soldier: the view still works
    script.next.dz = 120;
    Frame();
    EXPECT_EQ(controller.GetViewMode(), 1);

    CSoldier* s = Player();
    s->health = 0.0f;
    s->body.grounded = 1;
    script.next.buttons[0] = script.next.buttons[1] = 0x80;
    script.keys[PKEY_W] = script.keys[PKEY_SPACE] = 0x80;
    for (int i = 0; i < 3; i++)
        Frame();
    EXPECT_TRUE(world.projectiles.projectiles.empty());
    EXPECT_EQ(Vector3Length(s->moveDirection), 0.0f);
    EXPECT_EQ(s->body.grounded, 1);
}

TEST_F(PlayerTest, ViewModeChangesOncePerDirectionAndSwitchesSmoothly) {
    Player();
    script.next.dz = 120;
    Frame();
    EXPECT_EQ(controller.GetViewMode(), 1);
    EXPECT_TRUE(controller.IsSwitching());
    script.next.dz = 120;
    Frame(1.0f);
    EXPECT_EQ(controller.GetViewMode(), 1) << "a second step up changes nothing";
    Frame(0.6f);
    EXPECT_FALSE(controller.IsSwitching());
    Press(PKEY_BACKSPACE);
    EXPECT_EQ(controller.GetViewMode(), 0);
    script.next.dz = -120;
    Frame();
    EXPECT_EQ(controller.GetViewMode(), 0);
}

}  // namespace
