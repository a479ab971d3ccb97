// Rims of cell meshes, the ground beside them, and the walls that close the
// gaps between them; the same measure checks a cache's coarse cells.
#include "game/terrain/terrain_walls.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace {

// A rim this little above the ground beside it shows no crack. A cache's
// cells are measured again with ten times as much, for rounding.
const float BuildSlack = 0.001f;
const float CheckSlack = 0.01f;
// How far past its rectangle a cell's rim lies: the skirt pushes it 1.5 out.
const float RimReach = 2.0f;

// The rim edges of a cell mesh (edges of one triangle only), as (triangle
// start, edge) pairs, and each vertex's place. Corners are matched by
// position to 1/256: two triangles clipped at the same source edge may place
// their crossing an ulp apart, which is no rim. Pieces clipped at a corner on
// the cell's edge may have no area, and triangles with a corner past the
// positions are no ground: they bound nothing.
struct Rims {
    std::vector<int> place;   // per position
    int places = 0;
    std::vector<std::pair<size_t, int>> edges;
};

Rims FindRims(const std::vector<Vector3>& positions, const std::vector<uint16_t>& indices) {
    Rims rims;
    typedef std::tuple<long, long, long> Key;
    std::map<Key, int> place;
    rims.place.resize(positions.size());
    for (size_t i = 0; i < positions.size(); i++) {
        const Vector3& p = positions[i];
        Key key(std::lround(p.x * 256.0f), std::lround(p.y * 256.0f), std::lround(p.z * 256.0f));
        rims.place[i] = place.emplace(key, (int)place.size()).first->second;
    }
    rims.places = (int)place.size();
    auto corner = [&](size_t i) { return rims.place[indices[i]]; };
    auto bounds = [&](size_t t) {
        for (int k = 0; k < 3; k++) {
            if (indices[t + k] >= positions.size())
                return false;
        }
        int a = corner(t), b = corner(t + 1), c = corner(t + 2);
        return a != b && b != c && c != a;
    };
    auto edge = [&](size_t t, int e) {
        int a = corner(t + e), b = corner(t + (e + 1) % 3);
        return std::make_pair(std::min(a, b), std::max(a, b));
    };
    std::map<std::pair<int, int>, int> uses;
    for (size_t t = 0; t + 2 < indices.size(); t += 3)
        for (int e = 0; e < 3 && bounds(t); e++)
            uses[edge(t, e)]++;
    for (size_t t = 0; t + 2 < indices.size(); t += 3)
        for (int e = 0; e < 3 && bounds(t); e++)
            if (uses[edge(t, e)] == 1)
                rims.edges.emplace_back(t, e);
    return rims;
}

// A triangle of the ground beside a cell, with its rectangle seen from above.
struct GroundTriangle {
    Vector3 corner[3];
    float minX, maxX, minY, maxY;
};

bool Meets(const GroundTriangle& g, float minX, float maxX, float minY, float maxY) {
    return g.minX <= maxX && g.maxX >= minX && g.minY <= maxY && g.maxY >= minY;
}

// The triangles of the other cells that reach into the cell's rim.
std::vector<GroundTriangle> GroundNear(size_t self, const WallGround& ground) {
    std::vector<GroundTriangle> near;
    const std::vector<TerrainRect>& rects = *ground.rects;
    if (self >= rects.size())
        return near;
    const TerrainRect& own = rects[self];
    float minX = own.minX - RimReach, maxX = own.maxX + RimReach;
    float minY = own.minY - RimReach, maxY = own.maxY + RimReach;
    for (const std::vector<CellGround>* level : ground.levels) {
        for (size_t j = 0; j < level->size() && j < rects.size(); j++) {
            const TerrainRect& r = rects[j];
            // A cell's skirt reaches as far past its rectangle as the rim does.
            if (j == self || !(r.minX - RimReach <= maxX && r.maxX + RimReach >= minX &&
                               r.minY - RimReach <= maxY && r.maxY + RimReach >= minY))
                continue;
            const CellGround& cell = (*level)[j];
            for (size_t t = 0; t + 2 < cell.indices.size(); t += 3) {
                GroundTriangle g;
                bool valid = true;
                for (int k = 0; k < 3 && valid; k++) {
                    valid = cell.indices[t + k] < cell.positions.size();
                    if (valid)
                        g.corner[k] = cell.positions[cell.indices[t + k]];
                }
                if (!valid)
                    continue;
                g.minX = std::min({g.corner[0].x, g.corner[1].x, g.corner[2].x});
                g.maxX = std::max({g.corner[0].x, g.corner[1].x, g.corner[2].x});
                g.minY = std::min({g.corner[0].y, g.corner[1].y, g.corner[2].y});
                g.maxY = std::max({g.corner[0].y, g.corner[1].y, g.corner[2].y});
                if (Meets(g, minX, maxX, minY, maxY))
                    near.push_back(g);
            }
        }
    }
    return near;
}

// The ground under a rim segment: whether the segment stands above any of it
// by more than the slack, and the lowest of it.
struct GroundUnder {
    bool covered = false;
    bool above = false;
    float lowest = 0.0f;
};

// Seen from above, the part [t0, t1] of the segment a + t (b - a) that lies
// in the triangle (to within 1/10000 of its edges); false for none, or for a
// triangle with no area (a wall).
bool ClipToTriangle(const Vector3& a, const Vector3& b, const Vector3 c[3], float& t0, float& t1) {
    float area = (c[1].x - c[0].x) * (c[2].y - c[0].y) - (c[1].y - c[0].y) * (c[2].x - c[0].x);
    if (!(std::fabs(area) > 1e-8f))
        return false;
    float sign = area > 0.0f ? 1.0f : -1.0f;
    t0 = 0.0f;
    t1 = 1.0f;
    for (int i = 0; i < 3; i++) {
        const Vector3& p = c[i];
        const Vector3& q = c[(i + 1) % 3];
        float ex = q.x - p.x, ey = q.y - p.y;
        // Inside is where the edge's left side is (for positive area): f >= 0.
        float fa = sign * (ex * (a.y - p.y) - ey * (a.x - p.x));
        float fb = sign * (ex * (b.y - p.y) - ey * (b.x - p.x));
        float least = -1e-4f * std::sqrt(ex * ex + ey * ey);
        float slope = fb - fa;
        if (slope > 0.0f)
            t0 = std::max(t0, (least - fa) / slope);
        else if (slope < 0.0f)
            t1 = std::min(t1, (least - fa) / slope);
        else if (!(fa >= least))
            return false;
    }
    return t0 <= t1;
}

float HeightOver(const Vector3 c[3], float x, float y) {
    float e1x = c[1].x - c[0].x, e1y = c[1].y - c[0].y;
    float e2x = c[2].x - c[0].x, e2y = c[2].y - c[0].y;
    float area = e1x * e2y - e1y * e2x;
    float px = x - c[0].x, py = y - c[0].y;
    float w1 = (px * e2y - py * e2x) / area;
    float w2 = (e1x * py - e1y * px) / area;
    return c[0].z + w1 * (c[1].z - c[0].z) + w2 * (c[2].z - c[0].z);
}

// Both the rim and each triangle's ground are straight along the part of the
// segment over the triangle, so its two ends tell everything.
GroundUnder Measure(const Vector3& a, const Vector3& b, const std::vector<GroundTriangle>& near,
                    float slack) {
    GroundUnder under;
    float minX = std::min(a.x, b.x), maxX = std::max(a.x, b.x);
    float minY = std::min(a.y, b.y), maxY = std::max(a.y, b.y);
    for (const GroundTriangle& g : near) {
        float t[2];
        if (!Meets(g, minX - 0.01f, maxX + 0.01f, minY - 0.01f, maxY + 0.01f) ||
            !ClipToTriangle(a, b, g.corner, t[0], t[1]))
            continue;
        for (float s : t) {
            Vector3 p{a.x + s * (b.x - a.x), a.y + s * (b.y - a.y), a.z + s * (b.z - a.z)};
            float h = HeightOver(g.corner, p.x, p.y);
            if (!under.covered || h < under.lowest)
                under.lowest = h;
            under.covered = true;
            if (p.z > h + slack)
                under.above = true;
        }
    }
    return under;
}

std::vector<Vector3> PositionsOf(const std::vector<TerrainVertex>& vertices) {
    std::vector<Vector3> positions(vertices.size());
    for (size_t i = 0; i < vertices.size(); i++)
        positions[i] = vertices[i].position;
    return positions;
}

}  // namespace

void HangWalls(std::vector<TerrainVertex>& vertices, std::vector<uint16_t>& indices, size_t self,
               const WallGround& ground) {
    Rims rims = FindRims(PositionsOf(vertices), indices);
    if (rims.edges.empty())
        return;
    std::vector<GroundTriangle> near = GroundNear(self, ground);
    // Each rim corner's foot: as deep as the deepest wall it tops needs.
    std::vector<float> depth(rims.places, INFINITY);
    std::vector<std::pair<uint16_t, uint16_t>> walled;
    for (const auto& rim : rims.edges) {
        uint16_t a = indices[rim.first + rim.second], b = indices[rim.first + (rim.second + 1) % 3];
        GroundUnder under = Measure(vertices[a].position, vertices[b].position, near, BuildSlack);
            if (!under.above)
            continue;
        walled.emplace_back(a, b);
        for (uint16_t top : {a, b}) {
            float& d = depth[rims.place[top]];
            d = std::min(d, under.lowest - WallMargin);
        }
    }
    // A corner already that deep is its own foot; corners at one place share it.
    std::vector<int> feet(rims.places, -1);
    auto foot = [&](uint16_t top) {
        int& f = feet[rims.place[top]];
        if (f < 0) {
            f = top;
            if (depth[rims.place[top]] < vertices[top].position.z) {
                TerrainVertex v = vertices[top];
                v.position.z = depth[rims.place[top]];
                vertices.push_back(v);
                f = (int)vertices.size() - 1;
            }
        }
        return (uint16_t)f;
    };
    for (const auto& w : walled) {
        uint16_t a = w.first, b = w.second;
        uint16_t fa = foot(a), fb = foot(b);
        // The ground runs a to b; the wall runs b to a, as a closed surface would.
        if (fa != a)
            indices.insert(indices.end(), {b, a, fa});
        if (fb != b)
            indices.insert(indices.end(), {b, fa, fb});
    }
}

bool RimsRunBelowGround(const CellGround& cell, size_t self, const WallGround& ground) {
    Rims rims = FindRims(cell.positions, cell.indices);
    if (rims.edges.empty())
        return true;
    std::vector<GroundTriangle> near = GroundNear(self, ground);
    for (const auto& rim : rims.edges) {
        const Vector3& a = cell.positions[cell.indices[rim.first + rim.second]];
        const Vector3& b = cell.positions[cell.indices[rim.first + (rim.second + 1) % 3]];
        if (Measure(a, b, near, CheckSlack).above)
            return false;
    }
    return true;
}

float CTerrain::WallFloor(const std::vector<TerrainVertex>& levelZero) {
    float lowest = 0.0f;
    for (size_t i = 0; i < levelZero.size(); i++)
        lowest = i == 0 ? levelZero[i].position.z : std::min(lowest, levelZero[i].position.z);
    // The lowest ground is a skirt, one below the lowest level-0 vertex; a
    // wall reaches the margin below it, and a little room is left for rounding.
    return lowest - 1.0f - WallMargin - 0.25f;
}

const char* CTerrain::CoarseWallFault(const std::vector<CMesh> meshes[3],
                                      const std::vector<std::vector<uint8_t>> records[3],
                                      const std::vector<TerrainRect>& rects,
                                      const std::vector<TerrainVertex>& levelZero) {
    std::vector<CellGround> cells[3];
    for (int level = 0; level < 3; level++) {
        for (const CMesh& mesh : meshes[level]) {
            const MeshRecord* m = mesh.GetRecord();
            if (!m)
                return "a segment is missing";
            cells[level].push_back(CellGround{m->collisionPositions, m->collisionIndices});
        }
    }
    float floor = WallFloor(levelZero);
    for (int level = 1; level < 3; level++) {
        WallGround ground;
        ground.rects = &rects;
        for (int beside = 0; beside <= level; beside++)
            ground.levels.push_back(&cells[beside]);
        for (size_t k = 0; k < cells[level].size(); k++) {
            // A cell the coarser level left empty shows the finer mesh.
            if (records[level][k] == records[level - 1][k])
                continue;
            for (const Vector3& p : cells[level][k].positions) {
                if (p.z < floor)
                    return "its coarse cells hang walls deeper than the ground needs";
            }
            if (!RimsRunBelowGround(cells[level][k], k, ground))
                return "its coarse cells leave the land open";
        }
    }
    return nullptr;
}
