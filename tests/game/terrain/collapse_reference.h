// The closest-pair collapse as first written: every merge searches all
// ordered pairs in list order. Kept to check the fast form and to measure it.
#ifndef TESTS_GAME_TERRAIN_COLLAPSE_REFERENCE_H
#define TESTS_GAME_TERRAIN_COLLAPSE_REFERENCE_H

#include <cmath>

#include "game/terrain/terrain_reduce.h"

// The pair's squared distance and the vertex that replaces it, written out
// here rather than taken from the code under test (same operations in the
// same order, so the floats agree bit for bit).
inline float ReferenceDistance(const TerrainVertex& a, const TerrainVertex& b) {
    float dx = a.position.x - b.position.x;
    float dy = a.position.y - b.position.y;
    float dz = a.position.z - b.position.z;
    return dx * dx + dy * dy + dz * dz;
}

inline TerrainVertex ReferenceMerged(const TerrainVertex& a, const TerrainVertex& b) {
    TerrainVertex m;
    m.position.x = (a.position.x + b.position.x) * 0.5f;
    m.position.y = (a.position.y + b.position.y) * 0.5f;
    m.position.z = (a.position.z + b.position.z) * 0.5f;
    float nx = (a.normal.x + b.normal.x) * 0.5f;
    float ny = (a.normal.y + b.normal.y) * 0.5f;
    float nz = (a.normal.z + b.normal.z) * 0.5f;
    float length = std::sqrt(nx * nx + ny * ny + nz * nz);
    m.normal = length > 0.0f ? Vector3{nx / length, ny / length, nz / length} : a.normal;
    m.extra = (a.extra + b.extra) * 0.5f;
    return m;
}

// With groups: pairs only within one group of at least 0; the merged vertex
// joins it.
inline bool ReferenceCollapseStep(std::vector<TerrainVertex>& v, std::vector<uint16_t>& indices,
                                  float ratio, std::vector<int> groups = std::vector<int>()) {
    int count = (int)v.size();
    if (count < 25)
        return false;
    bool grouped = !groups.empty();
    groups.resize(v.size(), 0);
    int movable = 0;
    for (int g : groups)
        movable += g >= 0;
    int merges = (int)(ratio * (float)movable);
    bool merged = false;
    for (int m = 0; m < merges; m++) {
        float best = CollapseFarthest;
        int a = -1, b = -1;
        for (int p = 0; p < (int)v.size(); p++) {
            for (int q = 0; q < (int)v.size(); q++) {
                if (p == q || (grouped && (groups[p] < 0 || groups[p] != groups[q])))
                    continue;
                float d = ReferenceDistance(v[p], v[q]);
                if (d < best) {
                    best = d;
                    a = p;
                    b = q;
                }
            }
        }
        if (a < 0)
            break;
        uint16_t made = (uint16_t)v.size();
        v.push_back(ReferenceMerged(v[a], v[b]));
        groups.push_back(groups[a]);
        for (uint16_t& i : indices) {
            if (i == a || i == b)
                i = made;
        }
        for (int gone : {a, a < b ? b - 1 : b}) {
            v.erase(v.begin() + gone);
            groups.erase(groups.begin() + gone);
            for (uint16_t& i : indices) {
                if (i > gone)
                    i--;
            }
        }
        merged = true;
    }
    return merged;
}

#endif
