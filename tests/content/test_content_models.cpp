// The shipped stats, models and clips through the game's own loaders, and
// every cross-reference between them: each model a stats row names loads and
// has the nodes the battle code looks up, and every clip the soldier plays
// drives bones that every soldier model has.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/matrix.h"
#include "game/world/generic_object.h"
#include "game/world/world_query.h"
#include "game/stats.h"
#include "render/node.h"
#include "tests/content/content_fixture.h"
#include "tests/content/model_bounds.h"

namespace {

using Content = ContentTest;

Vector3 WorldPosition(CNode* node) {
    const Matrix4& m = node->GetWorldMatrix();
    return Vector3{m.m[3], m.m[7], m.m[11]};
}

// Loads the model as the battle objects do; every drawn chunk must have
// found its colour texture.
bool Load(CModel& model, const std::string& path) {
    if (!LoadModel(model, path, false, true) || !model.GetRoot())
        return false;
    std::vector<CNode*> nodes{model.GetRoot()};
    model.GetRoot()->CollectDescendants(nodes);
    bool textured = true;
    for (CNode* n : nodes) {
        for (const MeshChunk& c : n->mesh.GetRecord()->chunks)
            textured = textured && !c.colourTexture.IsEmpty();
    }
    EXPECT_TRUE(textured) << path << ": a chunk lost its colour texture";
    return true;
}

std::vector<std::string> SoldierModels() {
    std::vector<std::string> paths{"data\\models\\characters\\enemy_hero.mbm"};
    for (const SoldierType& s : g_soldierTypes) {
        if (std::find(paths.begin(), paths.end(), s.model) == paths.end())
            paths.push_back(s.model);
    }
    return paths;
}

TEST_F(Content, StatsMakeAPlayableBattle) {
    // The player's rifle against the player's own type: a handful of hits.
    const SoldierType& soldier = GetSoldierType(0);
    const WeaponType& rifle = GetWeaponType(1);
    ASSERT_GT(rifle.damage, 0.0f);
    float hits = std::ceil((soldier.health + soldier.maxArmour) / rifle.damage);
    EXPECT_GE(hits, 2.0f);
    EXPECT_LE(hits, 8.0f);
    for (int i = 0; i < (int)g_weaponTypes.size(); i++) {
        const WeaponType& w = GetWeaponType(i);
        SCOPED_TRACE(w.name);
        EXPECT_GT(w.coolDown, 0.0f);
        if (i == 0 || i == 4)
            continue;   // thrown: no ammunition, no projectile of their own
        EXPECT_GE(w.reloadTime, 0.5f);
        EXPECT_LE(w.reloadTime, 2.5f);
        EXPECT_GT(w.muzzleSpeed, 0.0f);
        EXPECT_GE(w.ammunition, w.clipSize);
    }
    for (const ProjectileType& p : g_projectileTypes)
        EXPECT_GT(p.mass, 0.0f) << p.name;
    EXPECT_GT(GetProjectileType(6).gravityFactor, 0.0f);
    EXPECT_GT(GetGrenadeType(0).throwSpeed, 0.0f);
    EXPECT_GT(GetGrenadeType(0).fuse, 0.0f);
}

TEST_F(Content, SoldierModelsHaveTheNodesTheSoldierCodeUses) {
    for (const std::string& path : SoldierModels()) {
        SCOPED_TRACE(path);
        CModel model;
        ASSERT_TRUE(Load(model, path));
        // The limbs the soldier code moves (weapon hand, chest turned toward
        // the aim, throwing hand) and the AI's aim point "chest".
        for (const char* name : {"Hip", "Chest", "Head", "RUpperArm", "RForearm", "RHand", "LUpperArm", "LForearm",
                                 "LHand", "RThigh", "RShin", "RFoot", "LThigh", "LShin", "LFoot", "chest"})
            EXPECT_NE(model.FindNode(name), nullptr) << name;
        // Any node a bullet can hit can be torn off with its own mesh.
        std::vector<CNode*> bones;
        model.GetRoot()->CollectDescendants(bones);
        for (CNode* n : bones) {
            if (n->name == "chest")
                continue;   // an aim point only
            EXPECT_GT(n->mesh.GetChunkCount(), 0) << n->name;
        }
        // Stands on the ground, as tall as a man.
        Box box = Bounds(model.GetRoot());
        EXPECT_NEAR(box.lo.z, 0.0f, 0.1f);
        EXPECT_GT(box.hi.z - box.lo.z, 1.4f);
        EXPECT_LT(box.hi.z - box.lo.z, 2.4f);
    }
}

TEST_F(Content, WeaponGrenadeAndProjectileModelsLoad) {
    for (const WeaponType& w : g_weaponTypes) {
        SCOPED_TRACE(w.model);
        CModel model;
        ASSERT_TRUE(Load(model, w.model));
        CNode* muzzle = model.FindNode("FPoint");
        ASSERT_NE(muzzle, nullptr);
        // Held at the grip (the origin) with the barrel forward along +x.
        EXPECT_GT(WorldPosition(muzzle).x, 0.05f);
    }
    for (const GrenadeType& g : g_grenadeTypes) {
        CModel model;
        EXPECT_TRUE(Load(model, g.model)) << g.model;
    }
    for (const ProjectileType& p : g_projectileTypes) {
        CModel model;
        EXPECT_TRUE(Load(model, p.model)) << p.model;
    }
}

TEST_F(Content, VehicleModelsHaveTheirSeatAndWheelBones) {
    ASSERT_FALSE(g_vehicleTypes.empty());
    for (const VehicleType& v : g_vehicleTypes) {
        SCOPED_TRACE(v.model);
        CModel model;
        ASSERT_TRUE(Load(model, v.model));
        ASSERT_FALSE(v.seatBones.empty());
        for (const std::string& seat : v.seatBones) {
            CNode* node = model.FindNode(seat);
            ASSERT_NE(node, nullptr) << seat;
            EXPECT_GT(WorldPosition(node).z, 0.2f) << seat;
        }
        const char* wheels[] = {"Bone_F_R_Wheel_2", "Bone_F_L_Wheel_2", "Bone_B_R_Wheel_2",
                                "Bone_B_L_Wheel_2"};
        CNode* found[4];
        for (int i = 0; i < 4; i++) {
            found[i] = model.FindNode(wheels[i]);
            ASSERT_NE(found[i], nullptr) << wheels[i];
            EXPECT_GT(found[i]->mesh.GetChunkCount(), 0) << wheels[i];
        }
        // Front wheels ahead of the rear ones: the vehicle drives along +x.
        EXPECT_GT(WorldPosition(found[0]).x, WorldPosition(found[2]).x);
        EXPECT_GT(WorldPosition(found[1]).x, WorldPosition(found[3]).x);
        Box box = Bounds(model.GetRoot());
        EXPECT_NEAR(box.lo.z, 0.0f, 0.1f);
    }
}

TEST_F(Content, EverySoldierClipDrivesBonesOfEverySoldierModel) {
    ASSERT_TRUE(listLoaded);
    std::vector<CModel> soldiers;
    for (const std::string& path : SoldierModels()) {
        soldiers.emplace_back();
        ASSERT_TRUE(Load(soldiers.back(), path)) << path;
    }
    for (const std::string& alias : SoldierClips()) {
        SCOPED_TRACE(alias);
        std::string path;
        ASSERT_TRUE(ResolveAnimationAlias(alias, path));
        CAnimationClip* clip = GetAnimationClip(alias);
        ASSERT_NE(clip, nullptr) << path;
        // Found again later by the name stored in the file.
        EXPECT_EQ(clip->name, alias);
        // The throw starts its action at the clip's length less 0.3 s.
        EXPECT_GE(clip->length, 0.3f);
        ASSERT_FALSE(clip->tracks.empty());
        for (const AnimationTrack& t : clip->tracks) {
            SCOPED_TRACE(t.boneName);
            ASSERT_FALSE(t.keys.empty());
            // Playback starts on the segment that wraps to the first key.
            EXPECT_GT(t.keys[0].time, 0.0f);
            float previous = 0.0f;
            for (const AnimationKey& k : t.keys) {
                EXPECT_GT(k.time, previous);
                previous = k.time;
                const Quaternion& q = k.rotation;
                EXPECT_NEAR(std::sqrt(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z), 1.0f, 1e-4f);
            }
            EXPECT_LE(previous, clip->length + 1e-4f);
            for (CModel& soldier : soldiers)
                EXPECT_NE(soldier.FindNode(t.boneName), nullptr);
        }
    }
}

TEST_F(Content, PropsStandOnTheirBaseAndCollide) {
    for (const std::string& path : PropModels()) {
        SCOPED_TRACE(path);
        CModel model;
        ASSERT_TRUE(Load(model, path));
        Box box = Bounds(model.GetRoot());
        EXPECT_NEAR(box.lo.z, 0.0f, 0.05f);
        EXPECT_GT(box.hi.z, 0.5f);
        // Placed as the level places it, a prop is hit from above where it stands.
        CGenericObject prop(nullptr);
        ASSERT_TRUE(prop.LoadMesh(path, false, DefaultHitPoints));
        ASSERT_TRUE(prop.collision.attached);
        prop.SetPosition(Vector3{40, 60, 2});
        prop.SetHeading(0.7f);
        CollisionContact c;
        Ray down{{40, 60, 50}, {0, 0, -1}};
        ASSERT_TRUE(RayHitsBody(prop.collision, down, 3, true, c));
        EXPECT_NEAR(c.point.z, 2 + box.hi.z, 0.3f);
    }
    CModel sphere;
    ASSERT_TRUE(Load(sphere, ExplosionSphereModel));
    Box box = Bounds(sphere.GetRoot());
    EXPECT_NEAR(box.hi.x, 1.0f, 0.05f);
    EXPECT_NEAR(box.lo.z, -1.0f, 0.05f);
}

}  // namespace
