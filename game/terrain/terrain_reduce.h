// Terrain mesh reduction: the closest pair of vertices is merged over and
// over, then the triangles made degenerate or duplicate are removed.
#ifndef GAME_TERRAIN_TERRAIN_REDUCE_H
#define GAME_TERRAIN_TERRAIN_REDUCE_H

#include <cstdint>
#include <vector>

#include "game/terrain/terrain.h"

// Pairs at least this far apart (squared) are never merged.
const float CollapseFarthest = 1e15f;

// The squared distance pairs are ranked by; every form computes it so.
inline float CollapseDistance(const TerrainVertex& a, const TerrainVertex& b) {
    float dx = a.position.x - b.position.x;
    float dy = a.position.y - b.position.y;
    float dz = a.position.z - b.position.z;
    return dx * dx + dy * dy + dz * dz;
}

// The vertex that replaces a merged pair: midpoint, mean normal
// (normalised; the first normal when the two cancel), mean attribute.
TerrainVertex CollapseMerged(const TerrainVertex& a, const TerrainVertex& b);

// (int)(ratio x V) merges of the closest pair (ties to the pair first in
// list order); nothing when V < 25. The merged vertex goes to the end of
// the list, the pair leaves it, indices follow. True when a pair merged.
// With groups (one per vertex), only two vertices of one group merge, the
// merged vertex joins it, a vertex of a negative group never moves, and V
// counts the vertices that may move.
bool CollapseStep(std::vector<TerrainVertex>& vertices, std::vector<uint16_t>& indices,
                  float ratio, const std::vector<int>* groups = nullptr);
// Drops triangles with two corners within 0.00001 in every coordinate.
void RemoveDegenerateTriangles(const std::vector<TerrainVertex>& vertices,
                               std::vector<uint16_t>& indices);
// Drops every later copy of a triangle in any rotation (same winding).
void RemoveDuplicateTriangles(std::vector<uint16_t>& indices);
// About 70 % of the vertices (that may move) merged away; out may not alias in.
void ReduceMesh(const std::vector<TerrainVertex>& vertices, const std::vector<uint16_t>& indices,
                std::vector<TerrainVertex>& outVertices, std::vector<uint16_t>& outIndices,
                const std::vector<int>* groups = nullptr);

#endif
