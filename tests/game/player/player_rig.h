// The player controller hooked up as the main game does it: a camera that
// follows, input at rest, the soldier marked as the player's, controller on.
#ifndef TESTS_GAME_PLAYER_PLAYER_RIG_H
#define TESTS_GAME_PLAYER_PLAYER_RIG_H

#include "game/player/player_controller.h"
#include "render/camera.h"
#include "tests/game/player/held_input.h"

struct PlayerRig {
    explicit PlayerRig(CSoldier* soldier) {
        controller.SetCamera(&camera);
        controller.Reset();
        controller.SetInput(&input);
        controller.SetSoldier(soldier);
        controller.SetActive(true);
    }

    CSmoothCamera camera;
    HeldInput input;
    CPlayerController controller;
};

#endif
