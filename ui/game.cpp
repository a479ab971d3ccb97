#include "ui/game.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "app/console.h"
#include "app/device_input.h"
#include "app/keyboard.h"
#include "app/mouse.h"
#include "game/player/player_controller.h"
#include "game/player/player_input.h"
#include "game/soldiers/soldier.h"
#include "game/weapons/weapon.h"
#include "render/backend.h"
#include "render/model.h"
#include "render/projection.h"
#include "render/render_setup.h"
#include "render/text.h"
#include "sound/sound_manager.h"
#include "sound/stream_sound.h"

CCameraPair* g_gameCameras = nullptr;

namespace {

const float BattleNear = 1.0f;
const float BattleFar = 2500.0f;
const float HitTextSize = 16.0f;
const uint32_t HitTextColour = 0xFFFFFFFF;

// The controller reads the game's own keyboard and mouse unless a test
// handed it other input.
CDeviceInput& DeviceInput() {
    static CDeviceInput input(g_keyboard, g_mouse);
    return input;
}

}  // namespace

CStreamSound& BattleMusic() {
    static CStreamSound music;
    return music;
}

CGame::CGame() : world(), scene(world), renderer(&scene), cameras(), playTime(0.0f) {
    // The overlay only keeps the pointer, reads its lines and loads images.
    ui.Init(&world);
    Matrix4Identity(projection);
    g_mouse.SetCursorImage(CursorImageFile);
    ClearModelCache();
    g_mouse.SetCursorPosition(400, 300);
    g_gameCameras = &cameras;
    // The controller aims and follows with the first game camera.
    g_playerController.SetCamera(cameras.GetCamera(0));
    g_playerController.Reset();
    g_playerController.SetInput(&DeviceInput());
    world.LoadLevel(BattleLevelFile, world.loadMask.all);
    // The squad command keys go to the team AI.
    g_playerController.SetCommandSink(dynamic_cast<CPlayerCommandSink*>(world.GetTeamAI()));
    if (!world.soldiers.empty()) {
        g_playerController.SetSoldier(world.soldiers.front());
        g_playerController.SetActive(true);
    } else {
        g_playerController.SetSoldier(nullptr);
        g_playerController.SetActive(false);
    }
    if (BattleMusic().Load(BattleMusicFile)) {
        BattleMusic().Play(true);
    }
    world.messagesEnabled = true;
    world.messageShowing = true;
    world.messageTimer = MessageDisplayTime;
}

CGame::~CGame() {
    // The controller is let go only while it is still this battle's: a new
    // battle made before this one was deleted has already taken it over.
    if (g_playerController.GetCamera() == cameras.GetCamera(0)) {
        g_playerController.SetCamera(nullptr);
        g_playerController.Reset();
        g_playerController.SetCommandSink(nullptr);
    }
    if (CurrentCamera == cameras.GetCamera(0) || CurrentCamera == cameras.GetCamera(1)) {
        CurrentCamera = nullptr;
    }
    cameras.Destroy();
    if (g_gameCameras == &cameras) {
        g_gameCameras = nullptr;
    }
}

void CGame::ApplyCamera() {
    // The pair applies the debug camera instead while "debugcam" is on.
    cameras.Apply(nullptr);
}

void CGame::Update(float dt) {
    g_gameCameras = &cameras;
    cameras.Update(dt, false, true);
    g_playerController.Update(dt);
    world.Update(dt);
    // Taking over another soldier moves the world's player; follow it.
    if (world.playerSoldier != g_playerController.GetSoldier()) {
        g_playerController.SetSoldier(world.playerSoldier);
    }
    playTime += dt;
    switch (ui.GetMode()) {
    case UI_MODE_REGULAR:
        ui.Update(dt);
        break;
    case UI_MODE_PAUSE:
        ui.UpdatePauseMenu();
        break;
    case UI_MODE_GAMEOVER:
        ui.UpdateGameOverMenu();
        break;
    default:
        break;
    }
    ApplyCamera();
    // The listener looks at the player's weapon; without a player, at what
    // the camera looks at.
    CCamera* camera = GetCurrentCamera();
    if (!camera) {
        return;
    }
    Vector3 eye = *camera->GetPosition();
    Vector3 target = *camera->GetTarget();
    if (CSoldier* player = g_playerController.GetSoldier()) {
        const Matrix4& m = player->weapons.empty() ? player->GetTransform()
                                                   : player->GetCurrentWeapon().GetTransform();
        Matrix4GetTranslation(target, m);
    }
    Vector3 look{target.x - eye.x, target.y - eye.y, target.z - eye.z};
    float length = std::sqrt(look.x * look.x + look.y * look.y + look.z * look.z);
    if (length > 0.0f) {
        look = Vector3{look.x / length, look.y / length, look.z / length};
        SoundManager::SetListener(eye, look);
        SoundManager::CommitListener();
    }
}

void CGame::Draw() {
    SetPerspective(0, 0, 800, 600, BattleNear, BattleFar);
    const float* kept = GetCurrentProjection();
    std::copy(kept, kept + 16, projection.m);
    ApplyCamera();
    renderer.Draw();
    Matrix4 identity;
    SetWorldMatrix(Matrix4Identity(identity));
    // Project every point before the 2D set-up replaces the 3D pass.
    std::vector<std::pair<Vector3, const std::string*>> texts;
    for (const WorldHitRecord& hit : world.hitRecords) {
        Vector3 screen;
        if (ProjectToScreen(screen, hit.point)) {
            texts.emplace_back(screen, &hit.text);
        }
    }
    SetScreenProjection();
    for (const auto& text : texts) {
        DrawString(*text.second, text.first.x, text.first.y, HitTextColour, HitTextSize, "");
    }
    ui.Draw();
}
