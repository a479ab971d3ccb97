// CPlayerController: turns the keyboard and mouse into orders for the soldier
// the player controls and steers the camera that follows it. One global
// controller; the main game state resets it, hands it the level's first
// soldier and updates it once a frame before the world update.
#ifndef GAME_PLAYER_PLAYER_CONTROLLER_H
#define GAME_PLAYER_PLAYER_CONTROLLER_H

#include "core/vector.h"

class CCamera;
class CPlayerInput;
class CSoldier;

// DirectInput scan codes the controller reads.
enum PlayerKey {
    PKEY_W = 0x11, PKEY_S = 0x1F, PKEY_A = 0x1E, PKEY_D = 0x20,
    PKEY_UP = 0xC8, PKEY_DOWN = 0xD0, PKEY_LEFT = 0xCB, PKEY_RIGHT = 0xCD,
    PKEY_SPACE = 0x39, PKEY_NUMPAD0 = 0x52,
    PKEY_LSHIFT = 0x2A, PKEY_RSHIFT = 0x36, PKEY_NUMPAD6 = 0x4D,
    PKEY_TAB = 0x0F, PKEY_RCONTROL = 0x9D, PKEY_NUMPAD4 = 0x4B,
    PKEY_CAPSLOCK = 0x3A, PKEY_NUMPAD5 = 0x4C,
    PKEY_BACKSPACE = 0x0E
};

// Where the squad command keys go (the squad AI's player orders).
class CPlayerCommandSink {
public:
    // key: the DirectInput code pressed; aimPoint: the controller's aim point.
    virtual void OnCommandKey(int key, const Vector3& aimPoint) = 0;

protected:
    ~CPlayerCommandSink() {}
};

const float MouseTurnRate = 0.001f;       // radians per pixel
const float PitchLimit = 1.0471976f;      // 60 degrees either way
const float AimReach = 100000.0f;
const float FollowDistance = 8.0f;
const float FollowHeight = 4.0f;
const float EyeHeight = 1.85f;
const float ViewSwitchTime = 1.5f;

class CPlayerController {
public:
    CPlayerController();

    void Reset();
    void Update(float dt);

    // The controlled soldier (the player's soldier); null for none. Marks it
    // player controlled and clears the mark of the one before.
    void SetSoldier(CSoldier* soldier);
    CSoldier* GetSoldier() const { return soldier; }
    void SetCamera(CCamera* camera) { this->camera = camera; }
    CCamera* GetCamera() const { return camera; }
    void SetInput(CPlayerInput* input) { this->input = input; }
    void SetCommandSink(CPlayerCommandSink* sink) { commands = sink; }

    void SetActive(bool on) { active = on; }
    bool IsActive() const { return active; }
    int GetViewMode() const { return viewMode; }
    bool IsSwitching() const { return switching; }
    const Vector3& GetAimPoint() const { return aimPoint; }

private:
    void HandleMouseAim();
    void HandleMovement();
    void HandleActions();
    void HandleCommands();
    void UpdateViewMode(float dt);
    // Steps 1-3 act only for a living soldier; the camera still follows a dead one.
    bool HasLivingSoldier() const;
    Vector3 TurnView(const Vector3& view, int dx, int dy) const;

    bool active;
    int viewMode;
    bool switching;
    float switchTimer;
    CSoldier* soldier;
    CCamera* camera;
    CPlayerInput* input;
    CPlayerCommandSink* commands;
    Vector3 aimPoint;
};

extern CPlayerController g_playerController;

#endif
