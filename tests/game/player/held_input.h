// Controller input with the mouse at rest in an 800 x 600 view and the left
// button as a test sets it (no key is ever down), and the controller started
// on it as a battle starts it.
#ifndef TESTS_GAME_PLAYER_HELD_INPUT_H
#define TESTS_GAME_PLAYER_HELD_INPUT_H

#include "game/player/player_controller.h"
#include "game/player/player_input.h"
#include "render/camera.h"

struct HeldInput : CPlayerInput {
    bool fire = false;
    bool IsKeyDown(int) const override { return false; }
    bool IsKeyPressed(int) const override { return false; }
    bool IsLeftDown() const override { return fire; }
    bool IsRightDown() const override { return false; }
    int GetWheel() const override { return 0; }
    int GetPreviousWheel() const override { return 0; }
    int GetCursorX() const override { return 400; }
    int GetCursorY() const override { return 300; }
    void RecentreCursor(int, int) override {}
};

// The controller as a battle starts it: the camera attached before the reset,
// then fed by `input` and steering `soldier`.
inline void StartController(CPlayerController& controller, CCamera& camera, CPlayerInput& input,
                            CSoldier* soldier) {
    controller.SetCamera(&camera);
    controller.Reset();
    controller.SetInput(&input);
    controller.SetSoldier(soldier);
    controller.SetActive(true);
}

#endif
