// Walls under the coarse cells' rims. A coarse level's ground at a cell
// border can stand above the ground of the cell beside it: its skirt pushes
// the rim 1.5 out over ground that falls away, and the levels' borders need
// not run at one height. Where a skirted rim stands above the ground beside
// it (that of the finer levels and of its own), a vertical wall hangs from it
// to just below that ground, facing out of the cell; elsewhere the rim
// already runs beneath the ground beside it and needs nothing.
#ifndef GAME_TERRAIN_TERRAIN_WALLS_H
#define GAME_TERRAIN_TERRAIN_WALLS_H

#include <cstdint>
#include <vector>

#include "game/terrain/terrain.h"
#include "game/terrain/terrain_rims.h"

// How far below the lowest ground beside it a wall reaches.
const float WallMargin = 0.5f;

// Appends the walls of cell `self` (skirted, welded) to its vertices and
// indices. Should they leave a rim above the ground (ground folded over
// itself can tangle the runs), every rim but the outline's hangs a wall to
// just above the floor instead, which no ground reaches.
void HangWalls(std::vector<TerrainVertex>& vertices, std::vector<uint16_t>& indices, size_t self,
               const WallGround& ground, float floor);
// True when no rim of cell `self` stands above the ground beside it.
bool RimsRunBelowGround(const CellGround& cell, size_t self, const WallGround& ground);

#endif
