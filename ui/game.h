// CGame: the running battle. Owns the world, its overlay, its renderer and
// the two game cameras; each frame it steers the player's soldier, advances
// the world, moves the camera and the sound listener and runs the overlay.
#ifndef UI_GAME_H
#define UI_GAME_H

#include "app/game_state.h"
#include "core/matrix.h"
#include "game/world/world.h"
#include "game/world/world_scene.h"
#include "render/camera.h"
#include "render/world_render.h"
#include "ui/game_ui.h"

class CDeviceInput;
class CStreamSound;

const char* const BattleLevelFile = "data\\levels\\level01.txt";
const char* const BattleMusicFile = "data\\music\\fieldbattle.ogg";
const char* const CursorImageFile = "data\\ui\\target.png";

class CGame : public CGameState {
public:
    CGame();
    ~CGame() override;

    void Update(float dt) override;
    void Draw() override;
    void GetName(std::string& out) override { out = "CGame"; }

    CWorld& GetWorld() { return world; }
    CGameUI& GetUI() { return ui; }
    CCameraPair& GetCameras() { return cameras; }
    const CWorldRenderer& GetRenderer() const { return renderer; }
    float GetPlayTime() const { return playTime; }

private:
    void ApplyCamera();

    CGameUI ui;
    CWorld world;
    CWorldDrawScene scene;
    CWorldRenderer renderer;
    CCameraPair cameras;
    Matrix4 projection;
    float playTime;
};

// The running battle's cameras, or null.
extern CCameraPair* g_gameCameras;
// The battle's music, made at static initialisation.
CStreamSound& BattleMusic();

#endif
