// States for trying parts of the game on their own. Nothing in the game's
// flow makes them; a developer pushes one on the state stack.
//   CTestGeo         a triangle edited with the keyboard
//   CTestParticles   a world with axis lines; G starts an effect
//   CTestGameAI      the AI level with the world's debug drawing
//   CTestPlayerGame  a battle with keys for messages, damage, sounds, music
#ifndef UI_TEST_STATES_H
#define UI_TEST_STATES_H

#include <cstdint>

#include "app/game_state.h"
#include "core/vector.h"
#include "game/world/world.h"
#include "game/world/world_scene.h"
#include "render/camera.h"
#include "render/world_render.h"
#include "sound/sound_effect.h"
#include "sound/stream_sound.h"
#include "ui/game.h"
#include "ui/game_ui.h"

// The triangle CTestGeo edits.
extern Vector3 g_testTriangle[3];
const float TestGeoSpeed = 5.0f;
const float TestFar = 10000.0f;
const size_t TestItemLimit = 10;
const float TestDamage = 5.0f;

class CTestGeo : public CGameState {
public:
    void Update(float dt) override;
    void Draw() override;
    void GetName(std::string& out) override { out = "CTestGeo"; }
};

// A world, its overlay, its renderer and one camera.
class CTestWorldState : public CGameState {
public:
    CTestWorldState();
    ~CTestWorldState() override;

    CWorld& GetWorld() { return world; }
    CSmoothCamera& GetCamera() { return camera; }
    float GetPlayTime() const { return playTime; }

protected:
    void DrawAxes();

    CGameUI ui;
    CWorld world;
    CWorldDrawScene scene;
    CWorldRenderer renderer;
    CSmoothCamera camera;
    float playTime;
};

class CTestParticles : public CTestWorldState {
public:
    void Update(float dt) override;
    void Draw() override;
    void GetName(std::string& out) override { out = "CTestParticles"; }
};

class CTestGameAI : public CTestWorldState {
public:
    CTestGameAI();
    ~CTestGameAI() override;
    void Update(float dt) override;
    void Draw() override;
    void GetName(std::string& out) override { out = "CTestGameAI"; }

private:
    CTexture spinner;
};

class CTestPlayerGame : public CGame {
public:
    CTestPlayerGame();
    ~CTestPlayerGame() override;
    void Update(float dt) override;
    void GetName(std::string& out) override { out = "CTestPlayerGame"; }

private:
    void DamagePlayer();

    CTexture spinner;
    CStreamSound titleMusic;
    CStreamSound secondStream;
    CSoundEffect typeSound;
    int32_t lastSound;
};

#endif
