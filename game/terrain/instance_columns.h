// Which of the terrain's collision instances a vertical ray can reach: a
// grid over the ground holding, per cell, the instances whose bounding
// sphere stands over some point of the cell (widened against rounding), in
// instance order. Grass placement and ground probes cast vertical rays, and
// each then tests one or two segments instead of all of them. Built once
// the instances are placed; they do not move afterwards.
#ifndef GAME_TERRAIN_INSTANCE_COLUMNS_H
#define GAME_TERRAIN_INSTANCE_COLUMNS_H

#include <cstdint>
#include <vector>

#include "game/collision/collision_model.h"

class CInstanceColumns {
public:
    void Build(const std::vector<CCollisionInstance>& instances);
    void Clear();
    bool IsBuilt() const { return columns > 0; }
    // The instances, ascending, that a vertical ray through (x, y) may
    // reach; empty where none can.
    const std::vector<uint16_t>& At(float x, float y) const;

private:
    std::vector<std::vector<uint16_t>> cells;
    std::vector<uint16_t> none;
    float minX = 0, minY = 0, cellSize = 1;
    int columns = 0, rows = 0;
};

#endif
