#include "ui/test_states.h"

#include <algorithm>

#include "app/keyboard.h"
#include "app/mouse.h"
#include "game/player/player_controller.h"
#include "game/soldiers/soldier.h"
#include "game/weapons/weapon.h"
#include "game/world/generic_object.h"
#include "render/backend.h"
#include "render/model.h"
#include "render/projection.h"
#include "render/render_setup.h"
#include "sound/sound_manager.h"

Vector3 g_testTriangle[3] = {{-5.0f, 0.0f, 0.0f}, {5.0f, -5.0f, 0.0f}, {-5.0f, 5.0f, 0.0f}};

namespace {

enum TestKey {
    TKEY_W = 0x11, TKEY_T = 0x14, TKEY_Y = 0x15, TKEY_I = 0x17, TKEY_O = 0x18, TKEY_P = 0x19,
    TKEY_A = 0x1E, TKEY_S = 0x1F, TKEY_D = 0x20, TKEY_F = 0x21, TKEY_G = 0x22, TKEY_H = 0x23,
    TKEY_J = 0x24, TKEY_K = 0x25, TKEY_L = 0x26
};

// Per corner: the keys for -x, +x, -y, +y.
const int TriangleKeys[3][4] = {
    {TKEY_A, TKEY_D, TKEY_W, TKEY_S}, {TKEY_F, TKEY_H, TKEY_T, TKEY_G}, {TKEY_J, TKEY_L, TKEY_I, TKEY_K}};

const uint32_t AxisRed = 0xFF0000FF;
const uint32_t AxisGreen = 0xFF00FF00;
const uint32_t AxisBlue = 0xFFFF0000;
const uint32_t GridColour = 0xFFFFFFFF;
const float AxisLength = 10.0f;
const float GridReach = 500.0f;
const float GridStep = 50.0f;

void DrawTestAxes() {
    DrawLine3D(0, 0, 0, AxisRed, AxisLength, 0, 0, AxisRed);
    DrawLine3D(0, 0, 0, AxisGreen, 0, AxisLength, 0, AxisGreen);
    DrawLine3D(0, 0, 0, AxisBlue, 0, 0, AxisLength, AxisBlue);
}

}  // namespace

// ---- CTestGeo ---------------------------------------------------------------------------

void CTestGeo::Update(float dt) {
    float step = TestGeoSpeed * dt;
    for (int corner = 0; corner < 3; corner++) {
        const int* keys = TriangleKeys[corner];
        Vector3& p = g_testTriangle[corner];
        p.x += (g_keyboard.IsKeyDown(keys[1]) - g_keyboard.IsKeyDown(keys[0])) * step;
        p.y += (g_keyboard.IsKeyDown(keys[3]) - g_keyboard.IsKeyDown(keys[2])) * step;
    }
}

void CTestGeo::Draw() {
    ClearFrame(0, true, true, false);
    SetPerspective(0, 0, 800, 600, 1.0f, 400.0f);
    Matrix4 view;
    if (LookAt(Vector3{0.0f, 0.0f, 30.0f}, view, Vector3{0.0f, 1.0f, 0.0f}, Vector3{0.0f, 0.0f, 0.0f})) {
        ApplySceneView(view);
    }
    DrawTestAxes();
    for (int i = 0; i < 3; i++) {
        const Vector3& a = g_testTriangle[i];
        const Vector3& b = g_testTriangle[(i + 1) % 3];
        DrawLine3D(a.x, a.y, a.z, GridColour, b.x, b.y, b.z, GridColour);
        DrawPoint3D(a.x, a.y, a.z, AxisRed);
    }
}

// ---- the world states ------------------------------------------------------------------

CTestWorldState::CTestWorldState() : scene(world), renderer(&scene), playTime(0.0f) {
    ui.Init(&world);
    camera.SetPosition(Vector3{10.0f, 0.0f, 1.0f}, true);
    camera.SetTarget(Vector3{0.0f, 0.0f, 1.0f}, true);
    camera.SetUp(Vector3{0.0f, 0.0f, 1.0f}, true);
    g_mouse.SetCursorImage(CursorImageFile);
}

CTestWorldState::~CTestWorldState() {
    // Only a controller holding one of this world's soldiers is let go; the
    // pointer is compared, never followed (another battle may own it).
    const std::vector<CSoldier*>& soldiers = world.soldiers;
    if (std::find(soldiers.begin(), soldiers.end(), g_playerController.GetSoldier()) != soldiers.end()) {
        g_playerController.Reset();
    }
    if (CurrentCamera == &camera) {
        CurrentCamera = nullptr;
    }
}

void CTestWorldState::DrawAxes() {
    Matrix4 identity;
    SetWorldMatrix(Matrix4Identity(identity));
    DrawTestAxes();
}

void CTestParticles::Update(float dt) {
    camera.Update(dt, false, true);
    world.Update(dt);
    playTime += dt;
    if (g_keyboard.IsKeyPressed(TKEY_G)) {
        world.particles.SpawnExplosionSphere(Vector3{0.0f, 0.0f, 0.0f});
    }
}

void CTestParticles::Draw() {
    ClearFrame(0, true, true, false);
    SetPerspective(0, 0, 800, 600, 1.0f, TestFar);
    camera.Apply();
    renderer.Draw();
    DrawAxes();
}

CTestGameAI::CTestGameAI() {
    LoadTextureClamped(spinner, "data\\ui\\spin0.png");
    ClearModelCache();
    world.LoadLevel("data\\levels\\level_AI.txt", world.loadMask.all);
    // A level without soldiers leaves the player empty.
    g_playerController.SetSoldier(world.soldiers.empty() ? nullptr : world.soldiers.front());
}

CTestGameAI::~CTestGameAI() {}

void CTestGameAI::Update(float dt) {
    camera.Update(dt, false, true);
    world.Update(dt);
    playTime += dt;
}

void CTestGameAI::Draw() {
    SetPerspective(0, 0, 800, 600, 1.0f, TestFar);
    camera.Apply();
    // The world pass clears the frame, so the debug drawing comes after it.
    renderer.Draw();
    Matrix3 turn;
    Matrix3Identity(turn);
    for (CSoldier* soldier : world.soldiers) {
        DrawWorldDebug(soldier->GetPosition(), turn, 1.0f);
    }
    DrawAxes();
    for (float d = -GridReach; d <= GridReach; d += GridStep) {
        DrawLine3D(d, -GridReach, 0, GridColour, d, GridReach, 0, GridColour);
        DrawLine3D(-GridReach, d, 0, GridColour, GridReach, d, 0, GridColour);
    }
}

// ---- CTestPlayerGame --------------------------------------------------------------------

CTestPlayerGame::CTestPlayerGame() : lastSound(0) {
    GetWorld().LoadMessages("data\\dialogue\\dialogue01.txt");
    LoadTextureClamped(spinner, "data\\ui\\spin0.png");
    titleMusic.Load("data\\music\\title0.ogg");
    secondStream.Load("data\\music\\automatic01.ogg");
    typeSound.Load("data\\sound effects\\type.ogg");
}

CTestPlayerGame::~CTestPlayerGame() {
    if (lastSound) {
        SoundManager::StopSound(lastSound);
    }
}

// The soldier's own damage rule: armour first, and at 0 health it dies
// (drops its items, leaves its squad).
void CTestPlayerGame::DamagePlayer() {
    if (CSoldier* player = g_playerController.GetSoldier()) {
        player->TakeDamage(nullptr, TestDamage, player->GetPosition());
    }
}

void CTestPlayerGame::Update(float dt) {
    CGame::Update(dt);
    CWorld& battle = GetWorld();
    if (g_keyboard.IsKeyPressed(TKEY_P) && lastSound) {
        SoundManager::StopSound(lastSound);
        lastSound = 0;
    }
    if (g_keyboard.IsKeyPressed(TKEY_O)) {
        lastSound = titleMusic.Play(false);
    }
    if (g_keyboard.IsKeyPressed(TKEY_G) && battle.droppedWeapons.size() < TestItemLimit) {
        battle.droppedWeapons.emplace_back(WeaponRifle, &battle, WEAPON_FLYING);
        battle.droppedWeapons.back().SetPosition(Vector3{0.0f, 0.0f, 0.0f});
    }
    if (g_keyboard.IsKeyPressed(TKEY_Y)) {
        battle.AddMessage("Test", "data\\ui\\avatar.png", "Press %t to fire bihg", "data\\ui\\item_block.png");
        DamagePlayer();
        if (CSoldier* player = g_playerController.GetSoldier()) {
            lastSound = typeSound.PlayAt(player->GetPosition());
        }
    }
}
