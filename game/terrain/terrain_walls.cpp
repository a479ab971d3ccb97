// Walls hung from the coarse cells' rims, and the check that a cache's
// coarse cells hang them so.
//
// The walled rim edges come in runs along a rim. Each run gets one wall:
// its top is the run; its bottom stays below the ground beside the run all
// along, its corners a margin below that ground and as few as keep it so. A
// run's end that lies at the ground already (beside an unwalled edge) is
// the bottom's end too, else a foot below it is, shared by every run ending
// there; so a run of k edges costs about k triangles. The wall stays
// upright: its bottom has a corner wherever the run bends.
#include "game/terrain/terrain_walls.h"

#include <algorithm>
#include <cmath>

namespace {

// The run's path from above turns at a corner when its edges' directions
// differ by more than this (the sine of the angle between them).
const float TurnSine = 1e-4f;
// Ground this near a run's end meets the foot there and binds nothing.
const float EndReach = 0.01f;

// A point of a wall's bottom: arc length along the run from its start, height.
struct BottomPoint {
    float s, z;
};

// A triangle's ground under a run, straight from (s0, h0) to (s1, h1) by arc
// length along it.
struct GroundSpan {
    float s0, h0, s1, h1;

    float At(float at) const {
        return s1 > s0 ? h0 + (h1 - h0) * ((at - s0) / (s1 - s0)) : std::min(h0, h1);
    }
};

// True when the straight bottom from p to q stays below all the ground
// under it.
bool BelowGround(const BottomPoint& p, const BottomPoint& q, const std::vector<GroundSpan>& spans) {
    for (const GroundSpan& g : spans) {
        float a = std::max(g.s0, p.s), b = std::min(g.s1, q.s);
        if (a > b)
            continue;
        for (float at : {a, b}) {
            float z = q.s > p.s ? p.z + (q.z - p.z) * ((at - p.s) / (q.s - p.s)) : std::min(p.z, q.z);
            if (z > g.At(at) + BuildSlack)
                return false;
        }
    }
    return true;
}

// The lowest ground at arc length `at`; none where no span covers it.
bool LowestAt(const std::vector<GroundSpan>& spans, float at, float& z) {
    bool found = false;
    for (const GroundSpan& g : spans) {
        if (at >= g.s0 && at <= g.s1) {
            z = found ? std::min(z, g.At(at)) : g.At(at);
            found = true;
        }
    }
    return found;
}

// A wall's bottom from `start` to `end`: each corner a margin below the
// lowest ground where a span ends, each as far on as the straight bottom to
// it stays below the ground.
std::vector<BottomPoint> Bottom(const std::vector<GroundSpan>& spans, BottomPoint start,
                                BottomPoint end) {
    std::vector<BottomPoint> places;
    for (const GroundSpan& g : spans) {
        for (float at : {g.s0, g.s1}) {
            float z;
            if (at > start.s + EndReach && at < end.s - EndReach && LowestAt(spans, at, z))
                places.push_back(BottomPoint{at, z - WallMargin});
        }
    }
    std::sort(places.begin(), places.end(),
              [](const BottomPoint& p, const BottomPoint& q) { return p.s < q.s; });
    places.push_back(end);
    std::vector<BottomPoint> bottom(1, start);
    size_t next = 0;
    while (next < places.size()) {
        // The next place is always in reach: between two places the lowest
        // ground is straight or bulges up, away from the straight bottom.
        size_t reach = next;
        for (size_t k = next + 1; k < places.size(); k++) {
            if (BelowGround(bottom.back(), places[k], spans))
                reach = k;
        }
        bottom.push_back(places[reach]);
        next = reach + 1;
        while (next < places.size() && places[next].s <= bottom.back().s)
            next++;
    }
    return bottom;
}

float BottomAt(const std::vector<BottomPoint>& bottom, float at) {
    for (size_t j = 1; j < bottom.size(); j++) {
        if (at <= bottom[j].s) {
            const BottomPoint& p = bottom[j - 1];
            const BottomPoint& q = bottom[j];
            return q.s > p.s ? p.z + (q.z - p.z) * ((at - p.s) / (q.s - p.s)) : q.z;
        }
    }
    return bottom.back().z;
}

class WallBuilder {
public:
    WallBuilder(std::vector<TerrainVertex>& vertices, std::vector<uint16_t>& indices)
        : vertices(vertices), indices(indices) {}

    // A walled rim edge: its corners in ground order and the ground beside it.
    struct Edge {
        uint16_t from, to;
        GroundUnder under;
        std::vector<GroundSample> samples;
    };

    // Hangs the wall of edges [first, last) of a run from one foot to the
    // other (a corner itself where it lies at the ground already).
    void Hang(const std::vector<const Edge*>& run, size_t first, size_t last, int startFoot,
              int endFoot) {
        std::vector<uint16_t> tops;
        std::vector<float> s(1, 0.0f);
        tops.push_back(run[first]->from);
        for (size_t i = first; i < last; i++) {
            tops.push_back(run[i]->to);
            s.push_back(s.back() + FlatLength(run[i]->from, run[i]->to));
        }
        float length = s.back();
        // The ground under the run, triangle by triangle.
        std::vector<GroundSpan> spans;
        for (size_t i = first; i < last; i++) {
            float at = s[i - first], along = s[i - first + 1] - at;
            const std::vector<GroundSample>& g = run[i]->samples;
            for (size_t k = 0; k + 1 < g.size(); k += 2)
                spans.push_back(GroundSpan{at + g[k].t * along, g[k].height,
                                           at + g[k + 1].t * along, g[k + 1].height});
        }
        std::vector<BottomPoint> bottom =
            Bottom(spans, BottomPoint{0.0f, vertices[startFoot].position.z},
                   BottomPoint{length, vertices[endFoot].position.z});
        // The bottom stays under the run; a corner at or below the bottom
        // lies beneath the ground: the wall ends there and another begins.
        for (size_t j = 1; j + 1 < bottom.size(); j++)
            bottom[j].z = std::min(bottom[j].z, TopAt(tops, s, bottom[j].s) - 1e-3f);
        for (size_t i = 1; i + 1 < tops.size(); i++) {
            if (vertices[tops[i]].position.z <= BottomAt(bottom, s[i]) + 1e-3f) {
                Hang(run, first, first + i, startFoot, tops[i]);
                Hang(run, first + i, last, tops[i], endFoot);
                return;
            }
        }
        // The corners between the ends, and one under every turn.
        size_t corners = bottom.size();
        for (size_t i = 1; i + 1 < tops.size(); i++) {
            if (Turns(tops[i - 1], tops[i], tops[i + 1]))
                bottom.push_back(BottomPoint{s[i], BottomAt(bottom, s[i])});
        }
        bottom.erase(bottom.begin() + corners - 1);
        bottom.erase(bottom.begin());
        std::stable_sort(bottom.begin(), bottom.end(),
                         [](const BottomPoint& p, const BottomPoint& q) { return p.s < q.s; });
        std::vector<uint16_t> feet(1, (uint16_t)startFoot);
        std::vector<float> footS(1, 0.0f);
        for (const BottomPoint& p : bottom) {
            if (p.s <= footS.back() || p.s >= length)
                continue;   // a turn at one of the bottom's corners
            feet.push_back(Foot(tops, s, p));
            footS.push_back(p.s);
        }
        feet.push_back((uint16_t)endFoot);
        footS.push_back(length);
        Zip(tops, s, feet, footS);
    }

    uint16_t NewFoot(uint16_t top, float z) {
        TerrainVertex v = vertices[top];
        v.position.z = z;
        vertices.push_back(v);
        return (uint16_t)(vertices.size() - 1);
    }

private:
    float FlatLength(uint16_t a, uint16_t b) const {
        const Vector3& p = vertices[a].position;
        const Vector3& q = vertices[b].position;
        return std::sqrt((q.x - p.x) * (q.x - p.x) + (q.y - p.y) * (q.y - p.y));
    }

    bool Turns(uint16_t a, uint16_t b, uint16_t c) const {
        const Vector3& p = vertices[a].position;
        const Vector3& q = vertices[b].position;
        const Vector3& r = vertices[c].position;
        float ux = q.x - p.x, uy = q.y - p.y, vx = r.x - q.x, vy = r.y - q.y;
        float lu = std::sqrt(ux * ux + uy * uy), lv = std::sqrt(vx * vx + vy * vy);
        return lu > 0.0f && lv > 0.0f &&
               ((ux * vx + uy * vy) < 0.0f || std::fabs(ux * vy - uy * vx) > TurnSine * lu * lv);
    }

    float TopAt(const std::vector<uint16_t>& tops, const std::vector<float>& s, float at) const {
        std::vector<BottomPoint> chain;
        for (size_t i = 0; i < tops.size(); i++)
            chain.push_back(BottomPoint{s[i], vertices[tops[i]].position.z});
        return BottomAt(chain, at);
    }

    // A new vertex under the run at arc length p.s, like the corner before it.
    uint16_t Foot(const std::vector<uint16_t>& tops, const std::vector<float>& s,
                  const BottomPoint& p) {
        size_t i = 0;
        while (i + 2 < tops.size() && s[i + 1] < p.s)
            i++;
        float span = s[i + 1] - s[i];
        float f = span > 0.0f ? std::min(std::max((p.s - s[i]) / span, 0.0f), 1.0f) : 0.0f;
        Vector3 a = vertices[tops[i]].position, b = vertices[tops[i + 1]].position;
        uint16_t foot = NewFoot(tops[i], p.z);
        vertices[foot].position.x = a.x + f * (b.x - a.x);
        vertices[foot].position.y = a.y + f * (b.y - a.y);
        return foot;
    }

    // Triangles between the top and the bottom, both ordered along the run,
    // each facing out of the cell: seen from outside, with the run going
    // right, the wall hangs below it.
    void Zip(const std::vector<uint16_t>& tops, const std::vector<float>& s,
             const std::vector<uint16_t>& feet, const std::vector<float>& footS) {
        size_t i = 0, j = 0;
        while (i + 1 < tops.size() || j + 1 < feet.size()) {
            uint16_t c[3];
            float cs[3];
            if (i + 1 < tops.size() && (j + 1 == feet.size() || s[i + 1] <= footS[j + 1])) {
                c[0] = tops[i + 1], c[1] = tops[i], c[2] = feet[j];
                cs[0] = s[i + 1], cs[1] = s[i], cs[2] = footS[j];
                i++;
            } else {
                c[0] = feet[j + 1], c[1] = tops[i], c[2] = feet[j];
                cs[0] = footS[j + 1], cs[1] = s[i], cs[2] = footS[j];
                j++;
            }
            if (c[0] == c[1] || c[1] == c[2] || c[0] == c[2])
                continue;
            float z[3];
            for (int k = 0; k < 3; k++)
                z[k] = vertices[c[k]].position.z;
            float area = (cs[1] - cs[0]) * (z[2] - z[0]) - (z[1] - z[0]) * (cs[2] - cs[0]);
            if (area == 0.0f)
                continue;
            if (area < 0.0f)
                std::swap(c[1], c[2]);
            indices.insert(indices.end(), {c[0], c[1], c[2]});
        }
    }

    std::vector<TerrainVertex>& vertices;
    std::vector<uint16_t>& indices;
};

// A rim edge faces ground a wall may need to reach when it runs somewhere
// seen from above (an upright edge of upright ground bounds nothing from
// there, and no wall hung below it could close it) and not along the
// terrain's outline.
bool Faces(const WallGround& ground, const Vector3& a, const Vector3& b) {
    float dx = b.x - a.x, dy = b.y - a.y;
    return dx * dx + dy * dy > 1e-8f && !OnOutline(ground.outline, a, b);
}

std::vector<Vector3> PositionsOf(const std::vector<TerrainVertex>& vertices) {
    std::vector<Vector3> positions(vertices.size());
    for (size_t i = 0; i < vertices.size(); i++)
        positions[i] = vertices[i].position;
    return positions;
}

}  // namespace

namespace {

// Every rim edge but the outline's hangs a wall down to the given height;
// corners at one place share their foot.
void HangDeepWalls(std::vector<TerrainVertex>& vertices, std::vector<uint16_t>& indices,
                   const WallGround& ground, float bottom) {
    Rims rims = FindRims(PositionsOf(vertices), indices);
    std::vector<int> feet(rims.places, -1);
    auto foot = [&](uint16_t top) {
        int& f = feet[rims.place[top]];
        if (f < 0) {
            TerrainVertex v = vertices[top];
            v.position.z = bottom;
            vertices.push_back(v);
            f = (int)vertices.size() - 1;
        }
        return (uint16_t)f;
    };
    for (const auto& rim : rims.edges) {
        uint16_t a = indices[rim.first + rim.second], b = indices[rim.first + (rim.second + 1) % 3];
        if (!Faces(ground, vertices[a].position, vertices[b].position))
            continue;
        uint16_t fa = foot(a), fb = foot(b);
        indices.insert(indices.end(), {b, a, fa, b, fa, fb});
    }
}

void HangRunWalls(std::vector<TerrainVertex>& vertices, std::vector<uint16_t>& indices,
                  size_t self, const WallGround& ground) {
    Rims rims = FindRims(PositionsOf(vertices), indices);
    if (rims.edges.empty())
        return;
    std::vector<GroundTriangle> near = GroundNear(self, ground);
    size_t n = rims.edges.size();
    std::vector<WallBuilder::Edge> edges(n);
    // Per place, the one rim edge leaving it and the one arriving (-2: more).
    std::vector<int> leaving(rims.places, -1), arriving(rims.places, -1);
    for (size_t e = 0; e < n; e++) {
        size_t t = rims.edges[e].first;
        int k = rims.edges[e].second;
        WallBuilder::Edge& edge = edges[e];
        edge.from = indices[t + k];
        edge.to = indices[t + (k + 1) % 3];
        if (Faces(ground, vertices[edge.from].position, vertices[edge.to].position))
            edge.under = Measure(vertices[edge.from].position, vertices[edge.to].position, near,
                                 BuildSlack, &edge.samples);
        int& out = leaving[rims.place[edge.from]];
        out = out == -1 ? (int)e : -2;
        int& in = arriving[rims.place[edge.to]];
        in = in == -1 ? (int)e : -2;
    }
    auto next = [&](size_t e) { return leaving[rims.place[edges[e].to]]; };
    auto previous = [&](size_t e) { return arriving[rims.place[edges[e].from]]; };
    auto walled = [&](int e) { return e >= 0 && edges[e].under.above; };
    WallBuilder builder(vertices, indices);
    // A run ends at its corner where that lies at the ground already; else
    // at a foot that every run ending there shares, as deep as the ground
    // there and along the walled edges meeting there needs.
    std::vector<float> depth(rims.places, INFINITY);
    for (const WallBuilder::Edge& edge : edges) {
        for (uint16_t corner : {edge.from, edge.to}) {
            if (edge.under.above)
                depth[rims.place[corner]] = std::min(depth[rims.place[corner]], edge.under.lowest - WallMargin);
        }
    }
    std::vector<int> feet(rims.places, -1);
    auto end = [&](uint16_t corner) {
        int& foot = feet[rims.place[corner]];
        if (foot < 0) {
            Vector3 p = vertices[corner].position;
            GroundUnder at = Measure(p, p, near, BuildSlack);
            foot = corner;
            if (at.above)
                foot = builder.NewFoot(corner, std::min({p.z, at.lowest - WallMargin,
                                                         depth[rims.place[corner]]}));
        }
        return foot;
    };
    std::vector<uint8_t> hung(n, 0);
    // Runs from their first edge; then rims walled all round, from anywhere.
    for (int pass = 0; pass < 2; pass++) {
        for (size_t e = 0; e < n; e++) {
            if (!walled((int)e) || hung[e] || (pass == 0 && walled(previous(e))))
                continue;
            std::vector<const WallBuilder::Edge*> run;
            int at = (int)e;
            while (walled(at) && !hung[at]) {
                hung[at] = 1;
                run.push_back(&edges[at]);
                at = next(at);
            }
            builder.Hang(run, 0, run.size(), end(run.front()->from), end(run.back()->to));
        }
    }
}

}  // namespace

void HangWalls(std::vector<TerrainVertex>& vertices, std::vector<uint16_t>& indices, size_t self,
               const WallGround& ground, float floor) {
    std::vector<TerrainVertex> bare = vertices;
    std::vector<uint16_t> bareIndices = indices;
    HangRunWalls(vertices, indices, self, ground);
    CellGround cell{PositionsOf(vertices), indices};
    bool deep = false;
    for (const Vector3& p : cell.positions)
        deep = deep || p.z < floor;
    if (!deep && RimsRunBelowGround(cell, self, ground))
        return;
    vertices.swap(bare);
    indices.swap(bareIndices);
    HangDeepWalls(vertices, indices, ground, floor + 0.05f);
}

bool RimsRunBelowGround(const CellGround& cell, size_t self, const WallGround& ground) {
    Rims rims = FindRims(cell.positions, cell.indices);
    if (rims.edges.empty())
        return true;
    std::vector<GroundTriangle> near = GroundNear(self, ground);
    for (const auto& rim : rims.edges) {
        const Vector3& a = cell.positions[cell.indices[rim.first + rim.second]];
        const Vector3& b = cell.positions[cell.indices[rim.first + (rim.second + 1) % 3]];
        if (Faces(ground, a, b) && Measure(a, b, near, CheckSlack).above)
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
    // The outline: the cells' rectangles reach 1 past it.
    TerrainRect outline = {0, 0, 0, 0};
    for (size_t i = 0; i < rects.size(); i++) {
        const TerrainRect& r = rects[i];
        outline = i == 0 ? r
                         : TerrainRect{std::min(outline.minX, r.minX), std::max(outline.maxX, r.maxX),
                                       std::min(outline.minY, r.minY), std::max(outline.maxY, r.maxY)};
    }
    outline = TerrainRect{outline.minX + 1.0f, outline.maxX - 1.0f, outline.minY + 1.0f,
                          outline.maxY - 1.0f};
    for (int level = 1; level < 3; level++) {
        WallGround ground;
        ground.rects = &rects;
        ground.outline = outline;
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
