// A battle on ground at z = 0 everywhere, with nothing but its own lists:
// shared by the native battle tests and the Windows battle view.
#ifndef TESTS_GAME_SOLDIERS_FLAT_WORLD_H
#define TESTS_GAME_SOLDIERS_FLAT_WORLD_H

#include <utility>
#include <vector>

#include "game/collision/collision_body.h"
#include "game/soldiers/soldier.h"
#include "game/soldiers/vehicle.h"
#include "game/weapons/battle_world.h"
#include "game/world/world_access.h"
#include "render/node.h"

class FlatGroundRays : public CTerrainAccess {
public:
    bool RayQuery(const Ray& ray, Vector3& point, Vector3& normal, int) override {
        if (ray.direction.z == 0.0f)
            return false;
        float t = -ray.origin.z / ray.direction.z;
        if (t < 0.0f)
            return false;
        point = Vector3{ray.origin.x + ray.direction.x * t, ray.origin.y + ray.direction.y * t, 0.0f};
        normal = Vector3{0.0f, 0.0f, 1.0f};
        return true;
    }
    void CollectCollisionInstances(std::vector<CCollisionInstance*>&) override {}
};

class FlatBattleWorld : public CBattleWorld {
public:
    ~FlatBattleWorld() override {
        DeleteObjects();
        for (auto& piece : scrap) {
            CCollisionPart::DeleteTree(piece.second);
            delete piece.first;
        }
    }
    // Soldiers and vehicles belong to the world.
    void DeleteObjects() {
        for (CSoldier* s : soldiers)
            delete s;
        soldiers.clear();
        for (CVehicle* v : vehicles)
            delete v;
        vehicles.clear();
    }
    CTerrainAccess* GetTerrain() override { return terrain; }
    void CollectProps(std::vector<CGenericObject*>&) override {}
    void CollectFurtherObjects(std::vector<WorldBodyEntry>&) override {}
    void AddHitRecord(const char*, const Vector3&) override {}
    // Torn limbs are kept to the end, as the world keeps them.
    void AddSoldierScrap(CNode* node, CCollisionPart* part, const Vector3&) override {
        scrap.emplace_back(node, part);
    }
    CParticleSystem* GetParticleSystem() override { return nullptr; }
    bool IsPointOutsideView(const Vector3&) override { return false; }

    FlatGroundRays rays;
    CTerrainAccess* terrain = &rays;
    std::vector<std::pair<CNode*, CCollisionPart*>> scrap;
};

#endif
