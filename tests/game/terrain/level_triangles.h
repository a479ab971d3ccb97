// Triangles drawn at one level of detail, summed over a terrain's segments.
#ifndef TESTS_GAME_TERRAIN_LEVEL_TRIANGLES_H
#define TESTS_GAME_TERRAIN_LEVEL_TRIANGLES_H

#include "game/terrain/terrain.h"

inline int LevelTriangles(const CTerrain& terrain, int level) {
    int triangles = 0;
    for (const CMesh& mesh : terrain.GetLevelMeshes(level)) {
        for (int c = 0; c < mesh.GetChunkCount(); c++)
            triangles += mesh.GetRecord()->chunks[c].indexBuffer.GetIndexCount() / 3;
    }
    return triangles;
}

#endif
