// The terrain as the queries, body motion and collision phases see it.
#ifndef GAME_WORLD_TERRAIN_VIEW_H
#define GAME_WORLD_TERRAIN_VIEW_H

#include "game/terrain/terrain.h"
#include "game/world/world_access.h"

class CTerrainView : public CTerrainAccess {
public:
    explicit CTerrainView(CTerrain& owner) : terrain(owner) {}
    bool RayQuery(const Ray& ray, Vector3& outPoint, Vector3& outNormal, int flags) override {
        return terrain.RayQuery(ray, outPoint, outNormal, flags);
    }
    void CollectCollisionInstances(std::vector<CCollisionInstance*>& out) override {
        terrain.CollectCollisionInstances(out);
    }

private:
    CTerrain& terrain;
};

#endif
