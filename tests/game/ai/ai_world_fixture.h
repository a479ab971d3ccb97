// A test world run by the game's own team AI (the plain world fixture counts
// the calls instead), reachable as `ai`.
#ifndef TESTS_GAME_AI_AI_WORLD_FIXTURE_H
#define TESTS_GAME_AI_AI_WORLD_FIXTURE_H

#include "game/ai/team_ai.h"
#include "tests/game/world/world_fixture.h"

class AIWorldTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        ai = new CTeamAI();
        world->SetTeamAI(std::unique_ptr<CTeamAISeam>(ai));
    }
    CTeamAI* ai = nullptr;
};

#endif
