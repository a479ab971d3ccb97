// The shipped stats tables, animation list and a headless device, set up once
// per test suite of battle objects and taken down after it.
#ifndef TESTS_GAME_BATTLE_DATA_H
#define TESTS_GAME_BATTLE_DATA_H

#include <gtest/gtest.h>

#include <string>

#include "game/stats.h"
#include "render/animation.h"
#include "render/backend.h"
#include "render/model.h"
#include "render/render_setup.h"

inline void LoadBattleData() {
    RenderSetup setup;
    ASSERT_TRUE(InitRenderer(&setup, nullptr));
    ClearStatsTables();
    std::string message;
    ASSERT_TRUE(LoadStatsTables(message)) << message;
    ASSERT_TRUE(LoadAnimationList());
}

inline void FreeBattleData() {
    ClearAnimationClips();
    AnimationAliasList().clear();
    ClearModelCache();
    ShutdownRenderer();
}

#endif
