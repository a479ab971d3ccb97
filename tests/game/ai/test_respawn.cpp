// A commander bringing its dead back: the countdown, the side's area, the
// squad a newcomer joins or founds, who controls it, and a battle that runs
// on afterwards.
#include "game/ai/squad.h"
#include "tests/game/ai/ai_world_fixture.h"

namespace {

class RespawnTest : public AIWorldTest {
protected:
    static void Kill(CSoldier* s) { s->TakeDamage(nullptr, 10000.0f, s->GetPosition()); }
};

bool InArea(const Vector3& p, float x0, float y0) {
    return p.x >= x0 && p.x < x0 + 20.0f && p.y >= y0 && p.y < y0 + 20.0f && p.z == 0.0f;
}

TEST_F(RespawnTest, TheDeadReturnInTheirSidesAreaAndJoinOrFoundASquad) {
    CSoldier* far = AddSoldier(Vector3{100, 100, 0}, 0);   // its squad is out of reach
    CSoldier* b = AddSoldier(Vector3{102, 100, 0}, 0);
    CSoldier* c = AddSoldier(Vector3{104, 100, 0}, 0);
    CSoldier* enemy = AddSoldier(Vector3{300, 300, 0}, 1);
    ai->Init(*world);
    CTeamCommander& own = *ai->commanders[0];
    CSquad* oldSquad = far->ai.squad;
    Kill(b);
    Kill(c);
    Kill(enemy);
    b->ai.coverCounter = 2;   // one more call to wait
    c->ai.coverCounter = 0;
    world->playerSoldier = c;
    c->playerControlled = 1;

    own.RespawnDead();
    EXPECT_FALSE(b->IsAlive());
    ASSERT_TRUE(c->IsAlive());
    EXPECT_EQ(c->playerControlled, 1) << "the player's soldier stays the player's";
    EXPECT_EQ(world->playerSoldier, c);
    EXPECT_EQ(c->weapons.size(), 1u) << "reset to its type's start";
    EXPECT_TRUE(InArea(c->GetPosition(), 0.0f, 0.0f));
    CSquad* founded = c->ai.squad;
    ASSERT_NE(founded, nullptr);
    EXPECT_NE(founded, oldSquad) << "100 units off is beyond 50";
    EXPECT_EQ(founded->orderKind, OrderEscort);

    own.RespawnDead();
    ASSERT_TRUE(b->IsAlive());
    EXPECT_EQ(b->playerControlled, 0) << "a computer soldier stays one";
    EXPECT_EQ(b->ai.squad, founded) << "the nearest squad within 50 units";
    EXPECT_EQ(oldSquad->Count(), 1);

    ai->commanders[1]->RespawnDead();
    ASSERT_TRUE(enemy->IsAlive());
    EXPECT_TRUE(InArea(enemy->GetPosition(), 200.0f, 50.0f));
    ASSERT_NE(enemy->ai.squad, nullptr);
    EXPECT_EQ(enemy->ai.squad->orderKind, OrderIdle) << "only team 0 escorts";
    Run(2.0f);   // the emptied squads go, the battle runs on
    EXPECT_EQ(ai->commanders[1]->squads.size(), 1u);
}

}  // namespace
