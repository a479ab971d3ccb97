// Rims of cell meshes and the ground beside them.
#include "game/terrain/terrain_rims.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace {

// How far past its rectangle a cell's rim lies: the skirt pushes it 1.5 out.
const float RimReach = 2.0f;

// A wall seen from above is a line, or (its feet placed along a sloping rim)
// a sliver narrower than this; so is a piece clipped at a cell's corner. It
// bounds nothing: what lies beside a rim is the ground around it.
bool Sliver(const Vector3 c[3]) {
    float longest = 0.0f;
    for (int i = 0; i < 3; i++) {
        float dx = c[(i + 1) % 3].x - c[i].x, dy = c[(i + 1) % 3].y - c[i].y;
        longest = std::max(longest, dx * dx + dy * dy);
    }
    float area = (c[1].x - c[0].x) * (c[2].y - c[0].y) - (c[1].y - c[0].y) * (c[2].x - c[0].x);
    // |area| / longest edge: the width across it.
    return !(std::fabs(area) > 1e-3f * std::sqrt(longest));
}

}  // namespace

bool OnOutline(const TerrainRect& outline, const Vector3& a, const Vector3& b) {
    const float near = 1e-3f;
    return (std::fabs(a.x - outline.minX) < near && std::fabs(b.x - outline.minX) < near) ||
           (std::fabs(a.x - outline.maxX) < near && std::fabs(b.x - outline.maxX) < near) ||
           (std::fabs(a.y - outline.minY) < near && std::fabs(b.y - outline.minY) < near) ||
           (std::fabs(a.y - outline.maxY) < near && std::fabs(b.y - outline.maxY) < near);
}

namespace {

bool Meets(const GroundTriangle& g, float minX, float maxX, float minY, float maxY) {
    return g.minX <= maxX && g.maxX >= minX && g.minY <= maxY && g.maxY >= minY;
}

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

}  // namespace

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
                if (Sliver(g.corner))
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

// Both the segment and each triangle's ground are straight along the part
// of the segment over the triangle, so its two ends tell everything.
GroundUnder Measure(const Vector3& a, const Vector3& b, const std::vector<GroundTriangle>& near,
                    float slack, std::vector<GroundSample>* samples) {
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
            if (samples)
                samples->push_back(GroundSample{s, h});
        }
    }
    return under;
}
