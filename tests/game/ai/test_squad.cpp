// Squads and soldiers of the team AI on a world without terrain (one bucket,
// an empty grid): gathering, leaders, routes that change under walking
// followers, player commands, and aiming against firing.
#include <vector>

#include "game/ai/soldier_ai.h"
#include "game/ai/squad.h"
#include "game/weapons/projectile.h"
#include "game/world/level_file.h"
#include "tests/game/ai/ai_world_fixture.h"

namespace {

class SquadTest : public AIWorldTest {
protected:
    void Gather() { ai->Init(*world); }   // the squads of the soldiers added
};

// The squad's box is the one around its members where they stand now.
::testing::AssertionResult BoxFitsMembers(const CSquad& squad) {
    std::vector<Vector3> at;
    for (const CSoldier* m : squad.members)
        at.push_back(m->GetPosition());
    const MemberBox want = MemberBoxAround(at), &box = squad.box;
    const bool same = want.bounded == box.bounded &&
                      (!want.bounded || (want.min.x == box.min.x && want.min.y == box.min.y &&
                                         want.min.z == box.min.z && want.max.x == box.max.x &&
                                         want.max.y == box.max.y && want.max.z == box.max.z));
    if (same)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "box " << box.min.x << "," << box.min.y << "," << box.min.z << " to "
                                         << box.max.x << "," << box.max.y << "," << box.max.z << " for "
                                         << squad.members.size() << " members";
}

TEST_F(SquadTest, SoldiersGatherByDistanceAndSquadSize) {
    for (int i = 0; i < 6; i++)
        AddSoldier(Vector3{float(i), 0.0f, 0.0f}, 1);
    AddSoldier(Vector3{60.0f, 0.0f, 0.0f}, 1);   // more than 40 units from every squad
    AddSoldier(Vector3{0.0f, 0.0f, 0.0f}, 0);
    Gather();
    ASSERT_EQ(ai->commanders.size(), 2u);
    const auto& squads = ai->commanders[1]->squads;
    ASSERT_EQ(squads.size(), 3u);
    EXPECT_EQ(squads[0]->Count(), 5) << "a squad of 5 takes no one more";
    EXPECT_EQ(squads[1]->Count(), 1);
    EXPECT_EQ(squads[2]->Count(), 1);
    EXPECT_EQ(ai->commanders[0]->squads[0]->orderKind, OrderEscort);
    EXPECT_EQ(squads[0]->orderKind, OrderIdle);
}

TEST_F(SquadTest, LeadersFollowHealthAndThePlayerAndFollowersSpaceOut) {
    CSoldier* a = AddSoldier(Vector3{0, 0, 0}, 1);
    CSoldier* b = AddSoldier(Vector3{2, 0, 0}, 1);
    CSoldier* c = AddSoldier(Vector3{4, 0, 0}, 1);
    CSoldier* d = AddSoldier(Vector3{6, 0, 0}, 1);
    CSoldier* e = AddSoldier(Vector3{8, 0, 0}, 1);
    Gather();
    CSquad* squad = a->ai.squad;
    ASSERT_EQ(squad->Count(), 5);
    EXPECT_EQ(squad->leader, a);
    squad->ChooseLeader();
    EXPECT_FLOAT_EQ(b->ai.followDistance, 20.25f);
    EXPECT_FLOAT_EQ(c->ai.followDistance, 36.0f);
    EXPECT_FLOAT_EQ(d->ai.followDistance, 56.25f);
    EXPECT_FLOAT_EQ(e->ai.followDistance, 81.0f);

    for (CSoldier* s : {a, b, c, d, e}) {
        s->health = 50.0f;
        s->armour = 0.0f;
    }
    b->health = 30.0f;
    c->armour = 5.0f;
    a->health = 0.0f;
    a->LeaveTeamAI();
    EXPECT_EQ(squad->leader, c) << "highest health + armour";
    EXPECT_EQ(a->ai.squad, nullptr);

    world->playerSoldier = e;
    e->playerControlled = 1;
    squad->ChooseLeader();
    EXPECT_EQ(squad->leader, e);
    // The player's soldier dies: control passes to the new leader.
    e->health = 0.0f;
    e->LeaveTeamAI();
    EXPECT_EQ(world->playerSoldier, c);
    EXPECT_EQ(c->playerControlled, 1);
    EXPECT_EQ(e->playerControlled, 0);
}

// Followers walking the squad route keep no node that the route lost when it
// was restarted or cut (ASan would catch a read through a stale place).
TEST_F(SquadTest, RestartingTheRouteLeavesNoStaleNodes) {
    ASSERT_TRUE(world->LoadLevel("data\\levels\\level01.txt", LevelTerrainBit));
    CSoldier* leader = AddSoldier(Vector3{0, 0, 0}, 1);
    CSoldier* f1 = AddSoldier(Vector3{3, 0, 0}, 1);
    CSoldier* f2 = AddSoldier(Vector3{6, 0, 0}, 1);
    Gather();
    CSquad* squad = leader->ai.squad;
    squad->goal = Vector3{100, 100, 0};
    squad->SendTo(nullptr);
    ASSERT_FALSE(squad->route.Empty());
    squad->SendTo(f1);
    squad->SendTo(f2);
    EXPECT_TRUE(f1->ai.movementFlags & AiSquadRoute);
    for (int round = 0; round < 3; round++) {
        squad->resetRoute = true;
        squad->goal = Vector3{50.0f + 40.0f * float(round), 20, 0};
        squad->SendTo(nullptr);
        for (CSoldier* f : {f1, f2}) {
            EXPECT_FALSE(squad->route.Stale(f->ai.routeNode));
            if (f->ai.routeNode == RouteEnd) {
                EXPECT_FALSE(f->ai.movementFlags & AiSquadRoute);
            }
            SoldierUpdateAI(*ai, *f);
        }
    }
}

// A soldier taken out of the world mid-battle leaves its squad first; the
// squads run on without it (ASan).
TEST_F(SquadTest, RemovingASoldierLeavesNoSquadPointingAtIt) {
    CSoldier* a = AddSoldier(Vector3{0, 0, 0}, 1);
    CSoldier* b = AddSoldier(Vector3{3, 0, 0}, 1);
    AddSoldier(Vector3{5, 0, 0}, 0);
    Gather();
    CSquad* squad = a->ai.squad;
    world->RemoveSoldier(a);
    EXPECT_EQ(squad->leader, b);
    EXPECT_EQ(squad->Count(), 1);
    world->RemoveSoldier(b);
    Run(2.0f);
    EXPECT_EQ(ai->commanders[1]->squads.size(), 0u);
}

// Boxes are taken for every squad as the update begins, and renewed for the
// squads that a member joins or leaves, by death too, before the update ends.
TEST_F(SquadTest, SquadBoxesFollowMembersThatJoinOrLeave) {
    CSoldier* a = AddSoldier(Vector3{0, 0, 0}, 1);
    CSoldier* b = AddSoldier(Vector3{3, 1, 0}, 1);
    CSoldier* c = AddSoldier(Vector3{100, 0, 0}, 1);
    CSoldier* d = AddSoldier(Vector3{104, 2, 0}, 1);
    AddSoldier(Vector3{0, 60, 0}, 0);
    Gather();
    CSquad* first = a->ai.squad;
    CSquad* second = c->ai.squad;
    ASSERT_NE(first, second);
    // The soldiers move between updates.
    a->SetPosition(Vector3{-5, 2, 1});
    c->SetPosition(Vector3{110, -3, 2});
    ai->TakeLookups();
    EXPECT_TRUE(BoxFitsMembers(*first));
    EXPECT_TRUE(BoxFitsMembers(*second));
    second->TakeMember(b);
    EXPECT_TRUE(BoxFitsMembers(*first)) << "left by b";
    EXPECT_TRUE(BoxFitsMembers(*second)) << "joined by b";
    c->health = 0.0f;
    c->LeaveTeamAI();
    EXPECT_TRUE(BoxFitsMembers(*second)) << "c died";
    second->RemoveMember(d);
    EXPECT_TRUE(BoxFitsMembers(*second)) << "d left";
    first->AddMember(d);
    EXPECT_TRUE(BoxFitsMembers(*first)) << "d joined";
}

TEST_F(SquadTest, PlayerCommandsKeepTheirLimits) {
    CSoldier* player = AddSoldier(Vector3{0, 0, 0}, 0);
    for (int i = 0; i < 3; i++)
        AddSoldier(Vector3{50.0f + float(i), 0, 0}, 0);
    for (int i = 0; i < 5; i++)
        AddSoldier(Vector3{0, 45.0f + float(i), 0}, 0);
    world->playerSoldier = player;
    player->playerControlled = 1;
    Gather();
    CTeamCommander& commander = *ai->commanders[0];
    CSquad* own = player->ai.squad;
    ASSERT_EQ(own->leader, player);
    commander.SelectSquad(own, 9);
    EXPECT_EQ(own->selected, nullptr) << "more than the squads there are";
    // Keys: 2 selects the second squad, G sends it, J stands it down.
    ai->OnCommandKey(0x03, Vector3{});
    CSquad* second = own->selected;
    ASSERT_NE(second, nullptr);
    ai->OnCommandKey(0x22, Vector3{20, 30, 5});
    EXPECT_EQ(second->orderKind, OrderPlayer);
    EXPECT_FLOAT_EQ(second->goal.y, 30.0f);
    EXPECT_FLOAT_EQ(second->goal.z, 0.0f);
    ai->OnCommandKey(0x24, Vector3{});
    EXPECT_EQ(second->orderKind, OrderIdle);
    ai->OnCommandKey(0x13, Vector3{});   // R gathers
    EXPECT_EQ(own->Count(), 6) << "never more than 6";
    ai->Update(0.05f);   // emptied squads go
    for (CSquad* squad : commander.squads)
        EXPECT_GT(squad->Count(), 0);
}

// A hit alerts the squad, or only the victim under threat, with the threat
// direction pointing back along the shot: shot in the back, a soldier turns
// round, sees the shooter and fights it.
TEST_F(SquadTest, AHitSoldierTurnsToTheShooterAndTakesItAsTarget) {
    CSoldier* victim = AddSoldier(Vector3{0, 0, 0}, 0);
    CSoldier* mate = AddSoldier(Vector3{3, 0, 0}, 0);
    CSoldier* shooter = AddSoldier(Vector3{0, 50, 0}, 1);
    Gather();
    CProjectile shot;
    shot.body.direction = Vector3{0, -1, 0};
    shot.owner = shooter;
    victim->ai.squad->threat = true;
    ai->OnSoldierAttacked(victim, &shot);
    EXPECT_FALSE(mate->ai.movementFlags & AiAlerted) << "under threat only the victim turns";
    victim->ai.movementFlags = 0;
    victim->ai.squad->threat = false;
    victim->facing = victim->facingGoal = Vector3{0, -1, 0};
    ai->OnSoldierAttacked(victim, &shot);
    for (CSoldier* s : {victim, mate}) {
        EXPECT_TRUE(s->ai.movementFlags & AiAlerted);
        EXPECT_FLOAT_EQ(s->ai.threatDirection.y, 1.0f);
    }
    Run(3.0f);
    EXPECT_GT(victim->facing.y, 0.9f);
    EXPECT_EQ(victim->ai.target, shooter);
    EXPECT_FALSE(victim->ai.movementFlags & AiAlerted);
}

// A squad led by the player's soldier fights like any other once its team
// sees an enemy near: every member takes a target, the mates take cover
// (never the player's soldier) and a line forms; without a threat it keeps
// no formation.
TEST_F(SquadTest, APlayerLedSquadUnderThreatTakesTargetsCoverAndALine) {
    CSoldier* player = AddSoldier(Vector3{0, 0, 0}, 0);
    CSoldier* a = AddSoldier(Vector3{-3, 2, 0}, 0);
    CSoldier* b = AddSoldier(Vector3{-3, -2, 0}, 0);
    CSoldier* c = AddSoldier(Vector3{-6, 0, 0}, 0);
    CSoldier* enemy = AddSoldier(Vector3{60, 0, 0}, 1);
    CVehicle* buggy = AddVehicle(Vector3{5, 10, 0});
    world->playerSoldier = player;
    player->playerControlled = 1;
    Gather();
    CSquad* squad = player->ai.squad;
    ASSERT_EQ(squad->leader, player);
    ASSERT_EQ(squad->Count(), 4);
    squad->formationSet = true;
    squad->RenewOrders();
    EXPECT_FALSE(squad->threat);
    EXPECT_FALSE(squad->formationSet);
    EXPECT_EQ(a->ai.target, nullptr);

    enemy->ai.seenBits |= ai->commanders[0]->teamBit;
    squad->RenewOrders();
    EXPECT_TRUE(squad->threat);
    for (CSoldier* m : {player, a, b, c})
        EXPECT_EQ(m->ai.target, enemy);
    EXPECT_EQ(a->ai.cover, buggy);
    EXPECT_TRUE(a->ai.movementFlags & AiInCover);
    EXPECT_EQ(player->ai.cover, nullptr);
    EXPECT_TRUE(squad->formationSet);
    EXPECT_NEAR(std::fabs(b->ai.formationOffset.y), 10.0f, 1e-3f);
}

// In the team AI's update a soldier dodges the first projectile in the
// world's order that comes at it from the front within 50 units; spent ones
// and those behind it are let be. The same with the marks the update takes
// and without them.
TEST_F(SquadTest, SoldiersDodgeProjectilesComingAtThemFromTheFront) {
    CSoldier* s = AddSoldier(Vector3{0, 0, 0}, 1);
    AddSoldier(Vector3{0, 60, 0}, 0);
    Gather();
    s->facing = s->facingGoal = Vector3{1, 0, 0};
    auto shot = [&](const Vector3& at, const Vector3& direction, CSoldier* owner) {
        return world->projectiles.Fire(1, at, direction, 0.0f, 0.0f, owner);
    };
    shot(Vector3{20, 1, 1}, Vector3{-1, 0, 0}, nullptr)->alive = false;
    shot(Vector3{-20, 1, 1}, Vector3{1, 0, 0}, nullptr);       // behind
    shot(Vector3{30, 1, 1}, Vector3{0, 1, 0}, nullptr);        // passing by
    shot(Vector3{60, 1, 1}, Vector3{-1, 0, 0}, nullptr);       // too far
    shot(Vector3{25, -2, 1}, Vector3{-1, 0, 0}, nullptr);      // this one
    shot(Vector3{20, 2, 1}, Vector3{-1, 0, 0}, nullptr);       // later in the list
    for (int round = 0; round < 2; round++) {
        s->ai.movementFlags = 0;
        Vector3 m{1, 0, 0};
        if (round == 0) {
            SoldierDodge(*ai, *s, m);
        } else {
            s->ai.squad->centreTimer = 1.0f;   // its members run in this update
            ai->Update(0.0f);
            m = s->moveDirection;
        }
        EXPECT_TRUE(s->ai.movementFlags & AiDodging) << "round " << round;
        EXPECT_GT(m.y, 0.9f) << "round " << round << ": away from the line at y = -2";
    }
}

// The marks taken as an update begins serve only while the list has lost
// nothing: after one projectile is removed and another fired (the list as
// long as before) the dodge reads the new one, never the one gone (ASan).
TEST_F(SquadTest, TheDodgeSeesAProjectileFiredAfterOneWasRemoved) {
    CSoldier* s = AddSoldier(Vector3{0, 0, 0}, 1);
    AddSoldier(Vector3{0, 60, 0}, 0);
    Gather();
    s->facing = s->facingGoal = Vector3{1, 0, 0};
    CProjectile* gone = world->projectiles.Fire(1, Vector3{25, -2, 1}, Vector3{-1, 0, 0}, 0.0f, 0.0f, nullptr);
    ai->TakeLookups();
    gone->alive = false;
    world->projectiles.Update(0.0f);
    ASSERT_TRUE(world->projectiles.projectiles.empty());
    world->projectiles.Fire(1, Vector3{20, 2, 1}, Vector3{-1, 0, 0}, 0.0f, 0.0f, nullptr);
    Vector3 m{1, 0, 0};
    SoldierDodge(*ai, *s, m);
    EXPECT_TRUE(s->ai.movementFlags & AiDodging);
    EXPECT_LT(m.y, -0.9f) << "away from the new one's line at y = 2";
}

// A soldier's own grenade coming back at it is as dangerous as anyone's:
// in flight it is stepped aside from, once bounced it is fled.
TEST_F(SquadTest, SoldiersDodgeTheirOwnGrenadeComingAtThem) {
    CSoldier* s = AddSoldier(Vector3{0, 0, 0}, 1);
    AddSoldier(Vector3{0, 60, 0}, 0);
    Gather();
    CProjectile* grenade = world->projectiles.Fire(ProjectileGrenade, Vector3{10, 1, 1}, Vector3{-1, 0, 0}, 0.0f,
                                                   0.0f, s);
    for (int round = 0; round < 4; round++) {
        const bool bounced = round >= 2, inUpdate = round % 2 == 1;
        grenade->armed = bounced;
        s->ai.movementFlags = 0;
        s->ai.rememberedGrenade = nullptr;
        s->facing = s->facingGoal = Vector3{1, 0, 0};
        Vector3 m{1, 0, 0};
        if (inUpdate) {
            s->ai.squad->centreTimer = 1.0f;
            ai->Update(0.0f);
            m = s->moveDirection;
        } else {
            SoldierDodge(*ai, *s, m);
        }
        EXPECT_TRUE(s->ai.movementFlags & AiDodging) << "round " << round;
        if (bounced) {
            EXPECT_EQ(s->ai.rememberedGrenade, grenade) << "round " << round;
            EXPECT_LT(m.x, -0.9f) << "round " << round << ": straight away from it";
        } else {
            EXPECT_LT(m.y, -0.9f) << "round " << round << ": away from its line at y = 1";
        }
    }
}

TEST_F(SquadTest, TargetsBeyondAHundredUnitsAreAimedAtButNeverFiredOn) {
    CSoldier* shooter = AddSoldier(Vector3{0, 0, 0}, 0, 1);
    CSoldier* target = AddSoldier(Vector3{101, 0, 0}, 1, 1);
    Gather();
    shooter->ai.target = target;
    shooter->aimDirection = Vector3{1, 0, 0};
    target->UpdatePose();
    const int rounds = shooter->GetCurrentWeapon().clip;
    SoldierAimAndFire(*ai, *shooter);
    EXPECT_GT(shooter->aimGoal.x, 0.99f);
    EXPECT_EQ(shooter->GetCurrentWeapon().clip, rounds);
    target->SetPosition(Vector3{50, 0, 0});
    target->UpdatePose();
    SoldierAimAndFire(*ai, *shooter);
    EXPECT_LT(shooter->GetCurrentWeapon().clip, rounds);
}

}  // namespace
