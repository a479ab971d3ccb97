// What every battle benchmark needs before it builds a world: the headless
// renderer, the shipped stats tables and the animation list, loaded once per
// run. Run from the installation folder.
#ifndef BENCH_BATTLE_DATA_H
#define BENCH_BATTLE_DATA_H

#include <string>

#include "game/stats.h"
#include "render/animation.h"
#include "render/backend.h"

inline bool BattleDataLoaded() {
    static const bool loaded = [] {
        RenderSetup setup;
        InitRenderer(&setup, nullptr);
        std::string message;
        return LoadStatsTables(message) && LoadAnimationList();
    }();
    return loaded;
}

#endif
