// What the terrain fuzz targets share: a scratch working folder, so nothing
// a load writes lands beside the build, and the rest of a load (collision
// instances, grass, ray queries) run on a terrain with its checks.
#ifndef FUZZ_TERRAIN_FUZZ_H
#define FUZZ_TERRAIN_FUZZ_H

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "game/terrain/terrain.h"

// Each run works in an empty folder of its own, removed at exit.
inline void EnterScratchFolder() {
    static std::string folder;
    if (!folder.empty())
        return;
    char name[] = "/tmp/vexmoor_fuzz_XXXXXX";
    if (!mkdtemp(name) || chdir(name) != 0)
        abort();
    folder = name;
    atexit([] {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    });
}

// Grass placement makes one attempt per 44 square units of ground, up to
// four million: the harness leaves grounds larger than this many attempts
// after the reading and building checks, to stay within a run's time limit.
const float MaxGrassAttempts = 20000.0f;

// FinishLoad, then what a battle asks of the ground. False when the ground
// was too large to go on with.
inline bool FinishAndQuery(CTerrain& terrain) {
    float area = (terrain.GetMaxX() - terrain.GetMinX()) * (terrain.GetMaxY() - terrain.GetMinY());
    if (!(area * 0.0225f <= MaxGrassAttempts))
        return false;
    terrain.FinishLoad();
    // Segment names name collision caches: none may lie outside their folder.
    const std::string folder = "gen\\data\\collision\\";
    for (const TerrainSegment& s : terrain.GetSegments()) {
        const CCollisionModel* model = s.instance->model;
        if (!model || model->name.empty())
            continue;
        std::string file = model->name.substr(std::min(folder.size(), model->name.size()));
        if (model->name.compare(0, folder.size(), folder) != 0 ||
            file.find_first_of("\\/:") != std::string::npos || file.find("..") != std::string::npos)
            __builtin_trap();
    }
    float x0 = terrain.GetMinX(), x1 = terrain.GetMaxX();
    float y0 = terrain.GetMinY(), y1 = terrain.GetMaxY();
    const Ray rays[] = {
        {{(x0 + x1) / 2, (y0 + y1) / 2, 1000}, {0, 0, -1}},
        {{x0, y0, 1000}, {0, 0, -1}},
        {{x1, y1, 1000}, {0, 0, -1}},
        {{x0, y0, 500}, {0.6f, 0.6f, -0.52915026f}},
    };
    for (const Ray& ray : rays) {
        Vector3 point, normal;
        terrain.RayQuery(ray, point, normal, 0);
        terrain.RayQuery(ray, point, normal, 1);
    }
    for (int i = 0; i < 3; i++)
        terrain.UpdateGrass(0.1f);
    terrain.SampleGrid(x1, y0);
    return true;
}

#endif
