// Ground at z = 0 everywhere for the bodies' vertical probes; shared by the
// native battle tests and the Windows battle view.
#ifndef TESTS_GAME_SOLDIERS_FLAT_GROUND_H
#define TESTS_GAME_SOLDIERS_FLAT_GROUND_H

#include <vector>

#include "game/world/world_access.h"

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

#endif
