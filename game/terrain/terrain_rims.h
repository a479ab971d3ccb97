// The rims of terrain cell meshes and the ground of the cells beside them,
// as the coarse cells' walls are hung and a cache's cells are checked.
#ifndef GAME_TERRAIN_TERRAIN_RIMS_H
#define GAME_TERRAIN_TERRAIN_RIMS_H

#include <cstdint>
#include <utility>
#include <vector>

#include "game/terrain/terrain.h"

// A rim this little above the ground beside it shows no crack. A cache's
// cells are measured again with ten times as much, for rounding.
const float BuildSlack = 0.001f;
const float CheckSlack = 0.01f;

// One cell's ground: positions and triangles. Walls, seen from above mere
// lines, bound nothing.
struct CellGround {
    std::vector<Vector3> positions;
    std::vector<uint16_t> indices;
};

// The cells a level's rims are measured against: per level a vector of
// cells, all indexed like the rectangles (an empty cell has no triangles).
struct WallGround {
    const std::vector<TerrainRect>* rects = nullptr;
    std::vector<const std::vector<CellGround>*> levels;
    TerrainRect outline = {0, 0, 0, 0};   // the terrain's bounds
};

// A rim edge along the terrain's outline faces out of the world: no ground
// lies beside it but other cells' skirts.
bool OnOutline(const TerrainRect& outline, const Vector3& a, const Vector3& b);

// The rim edges of a cell mesh (edges of one triangle only), as (triangle
// start, edge) pairs running as their triangle does, and each position's
// place. Corners are matched by position to 1/256: two triangles clipped at
// the same source edge may place their crossing an ulp apart, which is no
// rim. Pieces clipped at a corner on the cell's edge may have no area, and
// triangles with a corner past the positions are no ground: they bound
// nothing.
struct Rims {
    std::vector<int> place;   // per position
    int places = 0;
    std::vector<std::pair<size_t, int>> edges;
};
Rims FindRims(const std::vector<Vector3>& positions, const std::vector<uint16_t>& indices);

// A triangle of the ground beside a cell, with its rectangle seen from above.
struct GroundTriangle {
    Vector3 corner[3];
    float minX, maxX, minY, maxY;
};
// The ground triangles (slivers seen from above, walls among them, left out)
// of the other cells that reach into cell `self`'s rim.
std::vector<GroundTriangle> GroundNear(size_t self, const WallGround& ground);

// The ground under a segment a + t (b - a) seen from above: whether the
// segment stands above any of it by more than the slack, the lowest of it,
// and (when asked) the ground's height at the ends of each triangle's part
// of the segment, between which it is straight.
struct GroundSample {
    float t, height;
};
struct GroundUnder {
    bool covered = false;
    bool above = false;
    float lowest = 0.0f;
};
GroundUnder Measure(const Vector3& a, const Vector3& b, const std::vector<GroundTriangle>& near,
                    float slack, std::vector<GroundSample>* samples = nullptr);

#endif
