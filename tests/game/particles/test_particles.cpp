// The particle system and its emitters on the headless back-end: lifetimes,
// spawning, followed objects and batches that never outgrow the buffers.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "core/random.h"
#include "game/particles/particle_system.h"
#include "game/world/world_object.h"
#include "render/null/null_backend.h"
#include "render/projection.h"

namespace {

class Follower : public CWorldObject {
public:
    const Vector3& GetPosition() const override { return at; }
    void SetPosition(const Vector3& p) override {
        at = p;
        transform.m[3] = p.x;
        transform.m[7] = p.y;
        transform.m[11] = p.z;
    }
    Vector3 at;
};

class Particles : public ::testing::Test {
protected:
    void SetUp() override {
        GameSrand(5);
        ResetParticleBasis();
        NullResetCounters();
    }
    CParticleSystem system;
};

TEST_F(Particles, FlashesBurstsAndSpheresEndByTheirClocks) {
    for (int i = 0; i < 11; i++)
        system.QueueImpact(FlashRecord{0.1f, Vector3{0, 0, 5}, 0.0f, 0.5f});
    EXPECT_EQ(system.GetFlashes().size(), 10u);
    system.Draw();   // four nested quads a flash, in one batch
    EXPECT_EQ(system.GetBatchLog(), std::vector<int>{40});
    EXPECT_EQ(NullRenderCounters().drawErrors, 0);

    system.AddImpactBurst(Vector3{0, 0, 1}, Vector3{0, 0, 1}, Vector3{0, 0, -0.5f});
    system.AddImpactBurst(Vector3{0, 0, 1}, Vector3{0, 0, 1}, Vector3{0, 0, 10});
    ASSERT_EQ(system.GetBursts().size(), 2u);
    // Every spark leaves at speed 6, away from the surface.
    for (const Particle& p : system.GetBursts().back()) {
        EXPECT_NEAR(Vector3Length(p.velocity), 6.0f, 1e-4f);
        EXPECT_GT(p.velocity.z, 0.0f);
    }
    system.SpawnExplosionSphere(Vector3{1, 2, 3});
    EXPECT_EQ(system.GetParticleCount(), 13);

    std::vector<Particle> launched = system.GetBursts().back();
    system.Update(0.05f);
    // The burst fired below z = 0 is gone after its first update; the other
    // falls: gravity takes 9.8 units a second off its climb, then it moves.
    ASSERT_EQ(system.GetBursts().size(), 1u);
    ASSERT_EQ(system.GetBursts().front().size(), launched.size());
    for (size_t i = 0; i < launched.size(); i++) {
        const Particle& now = system.GetBursts().front()[i];
        EXPECT_NEAR(now.velocity.z, launched[i].velocity.z - 9.8f * 0.05f, 1e-5f);
        EXPECT_NEAR(now.position.z, 10.0f + now.velocity.z * 0.05f, 1e-5f);
        EXPECT_FLOAT_EQ(now.velocity.x, launched[i].velocity.x);
    }
    EXPECT_EQ(system.GetFlashes().size(), 10u);
    system.Update(0.06f);
    EXPECT_TRUE(system.GetFlashes().empty());
    system.Update(1.0f);
    EXPECT_EQ(system.GetSpheres().size(), 1u);
    system.Update(1.0f);
    EXPECT_TRUE(system.GetSpheres().empty());
    // Without a camera the billboard basis keeps its start.
    EXPECT_FLOAT_EQ(ParticleBasis().right.x, 1.0f);
    EXPECT_FLOAT_EQ(ParticleBasis().up.z, 1.0f);
}

TEST_F(Particles, FlameEmitterSpawnsOnItsClockAndDiesWithItsParticles) {
    CFlameEmitter flame(Vector3{0, 0, 0});
    flame.emissionTime = 1.0f;
    flame.Update(0.0f);
    EXPECT_TRUE(flame.GetParticles().empty());   // no time, no spawn
    // A long frame spawns at most five.
    flame.emissionTime = 5.0f;
    flame.Update(0.9f);
    EXPECT_EQ(flame.GetParticles().size(), 5u);
    EXPECT_FLOAT_EQ(flame.spawnTimer, 0.1f);
    for (const Particle& p : flame.GetParticles()) {
        EXPECT_GE(p.velocity.z, 0.0f);
        EXPECT_TRUE(p.spin == 1.0f || p.spin == -1.0f);
    }
    // Emission over: alive until the last particle is 1.5 s old.
    flame.emissionTime = 0.0f;
    flame.Update(1.0f);
    EXPECT_TRUE(flame.IsAlive());
    flame.Update(0.45f);
    EXPECT_TRUE(flame.IsAlive());
    flame.Update(0.1f);
    EXPECT_FALSE(flame.IsAlive());

    CStreakEmitter streak(Vector3{0, 0, 0});
    streak.Update(0.1f);
    EXPECT_EQ(streak.GetParticles().size(), 3u);   // (0.1 x 33.3) whole
    for (const Particle& p : streak.GetParticles()) {
        float speed = Vector3Length(p.velocity);
        EXPECT_GE(speed, 1.0f - 1e-4f);
        EXPECT_LE(speed, 6.0f + 1e-4f);
    }
}

TEST_F(Particles, AttachedFlamesFollowAndOutliveTheirObject) {
    auto* object = new Follower;
    object->SetPosition(Vector3{10, 0, 0});
    CFlameEmitter* flame = system.AddAttachedEffect(object, Vector3{11, 0, 0});
    EXPECT_FLOAT_EQ(flame->position.x, 1.0f);   // in the object's frame
    system.Update(0.2f);
    ASSERT_FALSE(flame->GetParticles().empty());
    EXPECT_NEAR(flame->GetParticles().front().position.x, 11.0f, 0.2f);
    object->SetPosition(Vector3{20, 0, 0});
    system.Update(0.2f);
    EXPECT_NEAR(flame->GetParticles().back().position.x, 21.0f, 0.2f);

    // The object leaves the world: the flame burns on where it was.
    system.DetachObject(object);
    delete object;
    system.Update(0.2f);
    EXPECT_EQ(flame->object, nullptr);
    EXPECT_NEAR(flame->GetParticles().back().position.x, 21.0f, 0.2f);
    // Removed on the first update after its last particle dies.
    system.Update(2.0f);
    EXPECT_TRUE(system.GetAttachedEmitters().empty());
}

TEST_F(Particles, ObjectEffectEndsWhenItsProjectileEnds) {
    auto* projectile = new Follower;
    projectile->SetPosition(Vector3{1, 2, 3});
    ObjectEffect* effect = system.AddObjectEffect(projectile);
    int32_t* running = &effect->running;
    projectile->SetPosition(Vector3{4, 5, 6});
    system.Update(0.1f);
    EXPECT_FLOAT_EQ(effect->position.x, 4.0f);
    // Past its time it loops at 0.1 s rather than ending.
    system.Update(2.0f);
    EXPECT_FLOAT_EQ(effect->time, 0.1f);
    // The projectile ends: it clears the flag and is freed; nothing reads it again.
    *running = 0;
    delete projectile;
    system.Update(0.1f);
    system.Draw();
    EXPECT_TRUE(system.GetObjectEffects().empty());

    // A new level keeps an effect whose owner still holds the flag, unfollowed.
    Follower other;
    ObjectEffect* kept = system.AddObjectEffect(&other);
    system.AddImpactBurst(Vector3{0, 0, 1}, Vector3{0, 0, 1}, Vector3{0, 0, 5});
    system.Clear();
    EXPECT_TRUE(system.GetBursts().empty());
    ASSERT_EQ(system.GetObjectEffects().size(), 1u);
    EXPECT_EQ(kept->object, nullptr);
}

TEST_F(Particles, BatchesNeverOutgrowTheBuffers) {
    std::vector<Particle> list(27);
    for (Particle& p : list)
        p.time = 1.0f;
    system.FillQuads(list, 1.0f);
    EXPECT_EQ(system.GetBatchLog(), (std::vector<int>{26, 1}));
    EXPECT_EQ(NullRenderCounters().drawErrors, 0);
    EXPECT_EQ(NullRenderCounters().indexedTriangles, 54);

    // 100 bursts of 10 sparks: 1000 lines in batches of 451.
    for (int i = 0; i < 100; i++)
        system.AddImpactBurst(Vector3{0, 0, 1}, Vector3{0, 0, 1}, Vector3{0, 0, 5});
    NullResetCounters();
    system.Draw();
    EXPECT_EQ(system.GetBatchLog(), (std::vector<int>{451, 451, 98}));
    EXPECT_EQ(NullRenderCounters().drawErrors, 0);
    // Depth writes and blending are as they were.
    SetRenderSwitch(RS_DEPTH_WRITE, true);
    SetRenderSwitch(RS_BLEND, false);
    system.Draw();
    EXPECT_TRUE(GetRenderSwitch(RS_DEPTH_WRITE));
    EXPECT_FALSE(GetRenderSwitch(RS_BLEND));
}

TEST_F(Particles, QuadsFaceTheCameraAndFade) {
    ParticleVertex v[4];
    uint16_t idx[6];
    BuildParticleQuad(Vector3{0, 0, 0}, v, idx, 1.0f, 2.0f, 8, 0.0f);
    EXPECT_EQ(std::make_tuple(v[0].x, v[0].z, v[2].x, v[2].z, v[1].u, v[3].v), std::make_tuple(-2, 2, 2, -2, 1, 1));
    EXPECT_EQ(std::vector<int>(v[0].colour, v[0].colour + 4), (std::vector<int>{255, 128, 128, 255}));
    EXPECT_EQ((std::pair<int, int>(idx[0], idx[5])), std::make_pair(8, 11));
    // Turned a quarter, the corners stay in the billboard plane.
    BuildParticleQuad(Vector3{0, 0, 0}, v, idx, 0.0f, 1.0f, 0, 1.5707964f);
    for (const ParticleVertex& c : v)
        EXPECT_NEAR(c.y, 0.0f, 1e-5f);
    EXPECT_EQ(v[0].colour[3], 0);
}

// Lists 1 and 8 hold still until removed by key; the debug draw puts every
// position the system holds on the screen, leaving out what is behind the eye.
TEST_F(Particles, KeyedRecordsAndPointsStayUntilRemovedAndDrawOnTheScreen) {
    Particle ahead, behind;
    behind.position = Vector3{0, -20, 0};
    int first = system.AddParticleRecord(ahead);
    int second = system.AddParticleRecord(behind);
    Follower object;
    object.SetPosition(Vector3{0, 10, 0});
    int point = system.AddObjectPoint(&object, Vector3{0, 0, 1});
    EXPECT_TRUE(first != second && second != point && first != point);
    system.Update(1.0f);
    ASSERT_EQ(system.GetParticleRecords().size(), 2u);
    EXPECT_EQ(system.GetParticleRecords().front().particle.position.z, 0.0f) << "nothing moves them";

    SetPerspective(0, 0, 800, 600, 1.0f, 100.0f);
    Matrix4 view;
    ASSERT_TRUE(LookAt(Vector3{0, -10, 0}, view, Vector3{0, 0, 1}, Vector3{}));
    ApplySceneView(view);
    SetCullMode(CULL_CLOCKWISE);
    system.DrawDebugPositions();
    const NullPrimitive& points = NullLastPrimitive();
    ASSERT_EQ(points.type, PRIM_POINTS);
    ASSERT_EQ(points.vertices.size(), 2u) << "the record behind the eye is left out";
    EXPECT_NEAR(points.vertices[0].position[0], 400.0f, 1e-3f);   // the origin, straight ahead
    EXPECT_NEAR(points.vertices[0].position[1], 300.0f, 1e-3f);
    EXPECT_NEAR(points.vertices[1].position[0], 400.0f, 1e-3f);   // (0, 10, 1): above it
    EXPECT_LT(points.vertices[1].position[1], 300.0f);
    EXPECT_EQ(points.vertices[1].colour, DebugPointColour);
    EXPECT_EQ(GetCullMode(), CULL_CLOCKWISE);

    EXPECT_TRUE(system.RemoveByKey(second));
    EXPECT_FALSE(system.RemoveByKey(second));
    EXPECT_EQ(system.GetParticleRecords().size(), 1u);
    // A point goes by its key while its object is still there; others stay.
    int other = system.AddObjectPoint(&object, Vector3{0, 0, 2});
    EXPECT_TRUE(system.RemoveByKey(point));
    ASSERT_EQ(system.GetObjectPoints().size(), 1u);
    EXPECT_EQ(system.GetObjectPoints().front().key, other);
    system.DetachObject(&object);   // a point means nothing without its object
    EXPECT_TRUE(system.GetObjectPoints().empty());
    EXPECT_FALSE(system.RemoveByKey(other));
    system.Clear();
    EXPECT_TRUE(system.GetParticleRecords().empty());
}

} // namespace
