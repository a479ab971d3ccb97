// The world's frame step: what pauses with objects and the "ai" flag, the
// message queue, hit records, dead soldiers, and the removal paths that
// must never read freed memory or leak (ASan and LSan watch them).
#include "tests/game/world/world_fixture.h"

#include "core/error.h"
#include "game/world/generic_object.h"
#include "game/world/world_scene.h"
#include "render/camera.h"
#include "render/node.h"
#include "render/null/null_backend.h"
#include "tests/game/terrain/terrain_test_util.h"

namespace {

// The current camera while it lives: 50 units south of the origin, looking at it.
struct CameraOnTheOrigin {
    CSmoothCamera camera;
    CameraOnTheOrigin() {
        camera.SetPosition(Vector3{0.0f, -50.0f, 10.0f}, true);
        camera.SetTarget(Vector3{}, true);
        camera.SetUp(Vector3{0.0f, 0.0f, 1.0f}, true);
        CurrentCamera = &camera;
    }
    ~CameraOnTheOrigin() { CurrentCamera = nullptr; }
};

TEST_F(WorldTest, PausesHoldObjectsAndSoldiersAndTheAIFlagHoldsOnlyTheTeamAI) {
    BuildFlat(world->terrain, 200.0f, 0.3f);
    CSoldier* soldier = AddSoldier(Vector3{0, 0, 5});
    CVehicle* vehicle = AddVehicle(Vector3{20, 0, 5});
    CWeapon dropped(1, world.get(), WEAPON_FLYING);
    dropped.SetPosition(Vector3{-10, 0, 5});
    CWeapon& weapon = world->AddDroppedWeapon(dropped);
    CGenericObject* crate = new CGenericObject(world.get());
    ASSERT_TRUE(crate->LoadMesh("data\\models\\props\\crate.mbm", true, DefaultHitPoints));
    crate->SetPosition(Vector3{10, 10, 5});
    world->AddGeneric(crate);
    world->AddSoldierScrap(new CNode, nullptr, Vector3{0, 0, 0});
    world->soldierScrap.back().body.position = Vector3{5, 5, 5};
    CProjectile* shot = world->projectiles.Fire(1, Vector3{0, -50, 1}, Vector3{0, -1, 0}, 100.0f, 10.0f, nullptr);

    // Props and scrap run on the world's time through a pause.
    world->SetObjectsRun(false);
    Run(0.5f);
    EXPECT_EQ(soldier->GetPosition().z, 5.0f);
    EXPECT_EQ(vehicle->body.position.z, 5.0f);
    EXPECT_EQ(weapon.GetPosition().z, 5.0f);
    EXPECT_EQ(shot->body.position.y, -50.0f);
    EXPECT_LT(crate->GetPosition().z, 5.0f);
    EXPECT_LT(world->soldierScrap.back().body.position.z, 5.0f);

    // Soldiers alone can be held while everything else moves on.
    world->SetObjectsRun(true);
    world->SetSoldiersRun(false);
    Run(0.5f);
    EXPECT_EQ(soldier->GetPosition().z, 5.0f);
    EXPECT_LT(vehicle->body.position.z, 5.0f);
    EXPECT_LT(weapon.GetPosition().z, 5.0f);
    world->SetSoldiersRun(true);

    int updates = teamAI->updates;
    g_debugConsole->aiFlag = 0;
    Run(0.2f);
    EXPECT_EQ(teamAI->updates, updates);
    EXPECT_LT(soldier->GetPosition().z, 5.0f);
    EXPECT_LT(shot->body.position.y, -50.0f);
    g_debugConsole->aiFlag = 1;
    Run(0.2f);
    EXPECT_EQ(teamAI->updates, updates + 4);
}

TEST_F(WorldTest, MessagesShowFiveSecondsEachInOrderAndHitRecordsRiseForFive) {
    world->SetMessagesEnabled(true);
    world->AddMessage("Dalvek", "data\\ui\\avatar.png", "First %i", "1");
    world->AddMessage("Dalvek", "data\\ui\\avatar.png", "Second", "");
    world->AddMessage("Dalvek", "data\\ui\\avatar.png", "Third", "");
    EXPECT_EQ(world->messages.front().block.GetIntegers(), (std::vector<int>{1}));
    EXPECT_EQ(world->messages.front().block.GetMaxWidth(), MessageWidth);
    world->AddHitRecord("Head", Vector3{3, 4, 1});

    // Quarter seconds add up exactly: a message goes in the step its time
    // falls below 0, just after its five seconds; a hit record likewise,
    // and it runs through a pause.
    const float q = 0.25f;
    Run(1.0f, q);
    EXPECT_NEAR(world->hitRecords.front().point.z, 2.0f, 1e-4f) << "one unit a second";
    EXPECT_EQ(world->hitRecords.front().text, "Head");
    Run(3.75f, q);
    ASSERT_EQ(world->messages.size(), 3u);
    world->SetObjectsRun(false);
    Run(0.25f, q);
    EXPECT_EQ(world->hitRecords.size(), 1u);
    Run(q, q);
    EXPECT_TRUE(world->hitRecords.empty());
    Run(10.0f, q);
    EXPECT_EQ(world->messages.size(), 3u) << "a paused game holds its message";
    world->SetObjectsRun(true);
    Run(0.5f, q);
    ASSERT_EQ(world->messages.size(), 2u);
    EXPECT_EQ(world->messages.front().block.GetFormat(), "Second");
    Run(5.0f, q);
    EXPECT_EQ(world->messages.front().block.GetFormat(), "Second");
    Run(q, q);
    EXPECT_EQ(world->messages.front().block.GetFormat(), "Third");
    Run(5.0f, q);
    EXPECT_TRUE(world->messageShowing);
    Run(q, q);
    EXPECT_TRUE(world->messages.empty());
    EXPECT_FALSE(world->messageShowing);
}

TEST_F(WorldTest, ASoldierAtExactlyZeroHealthStaysListedAndCountedButIsNotUpdated) {
    CameraOnTheOrigin camera;
    CSoldier* dead = AddSoldier(Vector3{0, 0, 5}, 1);
    AddSoldier(Vector3{10, 0, 5}, 1);
    AddSoldier(Vector3{0, -100, 5}, 1);   // behind the camera
    dead->health = 0.0f;
    Run(0.5f);
    EXPECT_EQ(dead->GetPosition().z, 5.0f);
    EXPECT_EQ(world->soldiers.size(), 3u);
    EXPECT_EQ(world->teams[1].size(), 3u);
    EXPECT_EQ(Hook("soldiercount"), 3);
    // The dead are never drawn, so they count as culled; a living soldier
    // ahead is drawn only because the world set its culling record up.
    EXPECT_EQ(Hook("drawnsoldiercount"), 1);
    EXPECT_EQ(Hook("culledsoldiercount"), 2);
}

TEST_F(WorldTest, RemovingSoldiersOutsideTheListsAndTeamsIsSafe) {
    CSoldier* stray = new CSoldier(world.get(), 1);
    stray->team = 9;   // no such team list
    world->RemoveSoldier(stray);
    CSoldier* listed = AddSoldier(Vector3{}, 0);
    listed->team = -3;   // changed after listing
    world->playerSoldier = listed;
    HookVector3Ptr(g_debugConsole, "playerpos", &listed->body.position);
    world->RemoveSoldier(listed);
    EXPECT_EQ(g_debugConsole->FindHook("playerpos")->FormatValue(), "(CRASH trying to evaluate)");
    EXPECT_TRUE(world->soldiers.empty());
    EXPECT_EQ(world->playerSoldier, nullptr);
    EXPECT_TRUE(world->teams[0].empty()) << "found whatever its team index says now";

    int reports = ErrorReportCount();
    world->AddSoldierToTeam(new CSoldier(world.get(), 1), -1);
    EXPECT_EQ(ErrorReportCount(), reports + 1);
    EXPECT_EQ(world->soldiers.size(), 1u) << "owned, so freed by Clear";
}

TEST_F(WorldTest, ClearFreesScrapAndLeavesNothingPointingAtDeletedSoldiers) {
    CameraOnTheOrigin camera;
    CSoldier* shooter = AddSoldier(Vector3{}, 0);
    world->playerSoldier = shooter;
    CProjectileManager& shots = world->projectiles;
    shots.Fire(ProjectileRifle, Vector3{0, 0, 1}, Vector3{1, 0, 0}, 100.0f, 10.0f, shooter);
    shots.Fire(ProjectileFlare, Vector3{0, 0, 1}, Vector3{0, 0, 1}, 10.0f, 0.0f, shooter);
    world->particles.AddAttachedEffect(shooter, Vector3{0, 0, 1});
    world->particles.SpawnExplosionSphere(Vector3{});
    CNode* limb = new CNode;
    CNode* hand = new CNode;
    CNode::AddChild(limb, hand);
    CCollisionPart* part = new CCollisionPart(limb);
    part->AddChild(new CCollisionPart(hand));
    world->AddSoldierScrap(limb, part, Vector3{1, 0, 0});
    world->AddHitRecord("Arm", Vector3{});
    world->AddMessage("a", "b", "c", "");
    world->Update(0.01f);
    ASSERT_EQ(world->visibility.GetList(VisSoldiers).size(), 1u);
    ASSERT_EQ(world->visibility.GetList(VisSoldierScrap).size(), 1u);
    ASSERT_EQ(world->particles.GetObjectEffects().size(), 1u) << "the flare's";

    world->Clear();
    for (int list = 0; list < VisListCount; list++)
        EXPECT_TRUE(world->visibility.GetList(VisibilityList(list)).empty()) << list;
    // A draw between a reload and the next update reads nothing freed.
    CWorldDrawScene scene(*world);
    CWorldRenderer renderer(&scene);
    renderer.Draw();
    EXPECT_TRUE(world->soldiers.empty());
    EXPECT_TRUE(world->soldierScrap.empty());
    EXPECT_TRUE(world->projectiles.projectiles.empty());
    // Nothing of the old battle burns on in the next level.
    const CParticleSystem& particles = world->particles;
    EXPECT_EQ(particles.GetParticleCount(), 0);
    EXPECT_TRUE(particles.GetAttachedEmitters().empty());
    EXPECT_TRUE(particles.GetObjectEffects().empty());
    EXPECT_EQ(world->playerSoldier, nullptr);
    EXPECT_EQ(teamAI->clears, 1);
    EXPECT_EQ(world->hitRecords.size(), 1u) << "hit records and messages stay";
    EXPECT_EQ(world->messages.size(), 1u);
    Run(0.1f);
}

void CollectParts(const CCollisionPart* part, std::vector<const CCollisionPart*>& out) {
    out.push_back(part);
    for (const CCollisionPart* child : part->children)
        CollectParts(child, out);
}

TEST_F(WorldTest, ACrossingSoldierIsCulledPieceByPieceAndItsPiecesDrawn) {
    CSoldier* soldier = AddSoldier(Vector3{0, 0, 0}, 0);
    world->Update(0.01f);   // posed; no camera, so no planes yet
    std::vector<const CCollisionPart*> pieces;
    CollectParts(soldier->collision.root, pieces);
    world->visibility.SetPlanes({Plane{0.0f, 0.0f, 1.0f, -1.0f}});   // keeps z > 1: no feet
    world->visibility.SetHierarchical(true);
    world->visibility.Cull(false);
    EXPECT_TRUE(world->visibility.GetList(VisSoldiers).empty()) << "crossing: its pieces instead";
    const std::vector<const CCullTree*>& listed = world->visibility.GetPartList(VisSoldierParts);
    ASSERT_GT(listed.size(), 0u);
    EXPECT_LT(listed.size(), pieces.size()) << "pieces wholly behind the plane stay out";

    CWorldDrawScene scene(*world);
    int withMesh = 0;
    for (const CCullTree* piece : listed) {
        ASSERT_NE(std::find(pieces.begin(), pieces.end(), piece), pieces.end());
        const Sphere s = piece->GetCullSphere();
        EXPECT_GE(s.centre.z + s.radius, 1.0f);
        CNode* node = scene.GetPartNode(piece);
        ASSERT_EQ(node, static_cast<const CCollisionPart*>(piece)->node);
        withMesh += node->mesh.GetChunkCount() > 0;
    }
    CWorldRenderer renderer(&scene);
    NullStartRecording();
    renderer.Draw();
    NullStopRecording();
    int draws = 0;
    for (const std::string& e : NullRecordedEvents())
        draws += e.compare(0, 5, "draw ") == 0;
    EXPECT_EQ(draws, withMesh);
    EXPECT_GT(draws, 0);
}

}  // namespace
