// Walls under the coarse cells' rims. The reduction moves the vertices a
// cell border passes through, so a coarse cell's ground at its border can
// stand above the ground of the cell beside it, and sky shows through the
// gap. Where a skirted rim stands above the ground beside it (that of the
// finer levels and of its own), a vertical wall hangs from it to just below
// that ground, facing out of the cell; elsewhere the rim already runs
// beneath the ground beside it and needs nothing.
#ifndef GAME_TERRAIN_TERRAIN_WALLS_H
#define GAME_TERRAIN_TERRAIN_WALLS_H

#include <cstdint>
#include <vector>

#include "game/terrain/terrain.h"

// How far below the lowest ground beside it a wall reaches.
const float WallMargin = 0.5f;

// One cell's ground: positions and triangles. Walls have no area seen from
// above and bound nothing.
struct CellGround {
    std::vector<Vector3> positions;
    std::vector<uint16_t> indices;
};

// The cells a level's walls are measured against: per level a vector of
// cells, all indexed like the rectangles (an empty cell has no triangles).
struct WallGround {
    const std::vector<TerrainRect>* rects = nullptr;
    std::vector<const std::vector<CellGround>*> levels;
};

// Appends the walls of cell `self` (skirted, welded) to its vertices and
// indices.
void HangWalls(std::vector<TerrainVertex>& vertices, std::vector<uint16_t>& indices, size_t self,
               const WallGround& ground);
// True when no rim of cell `self` stands above the ground beside it.
bool RimsRunBelowGround(const CellGround& cell, size_t self, const WallGround& ground);

#endif
