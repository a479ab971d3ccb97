// The closest-pair collapse as first written: every merge searches all
// ordered pairs in list order. Kept to check the fast form and to measure it.
#ifndef TESTS_GAME_TERRAIN_COLLAPSE_REFERENCE_H
#define TESTS_GAME_TERRAIN_COLLAPSE_REFERENCE_H

#include "game/terrain/terrain_reduce.h"

inline bool ReferenceCollapseStep(std::vector<TerrainVertex>& v, std::vector<uint16_t>& indices,
                                  float ratio) {
    int count = (int)v.size();
    if (count < 25)
        return false;
    int merges = (int)(ratio * (float)count);
    bool merged = false;
    for (int m = 0; m < merges; m++) {
        float best = CollapseFarthest;
        int a = -1, b = -1;
        for (int p = 0; p < (int)v.size(); p++) {
            for (int q = 0; q < (int)v.size(); q++) {
                if (p == q)
                    continue;
                float d = CollapseDistance(v[p], v[q]);
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
        v.push_back(CollapseMerged(v[a], v[b]));
        for (uint16_t& i : indices) {
            if (i == a || i == b)
                i = made;
        }
        for (int gone : {a, a < b ? b - 1 : b}) {
            v.erase(v.begin() + gone);
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
