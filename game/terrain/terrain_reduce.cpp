// The closest-pair collapse keeps, for every live vertex, its best partner:
// the pair key is (squared distance, earlier vertex, later vertex) in list
// order, so the smallest of those keys is the pair the plain all-pairs search
// takes (among the pairs of one group). Vertices sit in a grid over the
// ground plane, so a partner is found
// by searching rings of cells outward until no nearer cell is left; a merge
// rescans only the vertices whose partner left and offers the new vertex to
// the vertices near enough to want it. The smallest key is kept in a set.
#include "game/terrain/terrain_reduce.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <unordered_set>
#include <utility>

namespace {

// List order: survivors keep their order and merged vertices are appended,
// so a vertex's stamp (creation number) orders the list.
struct PairKey {
    float distance;
    int low, high;   // stamps

    bool operator<(const PairKey& o) const {
        if (distance != o.distance)
            return distance < o.distance;
        if (low != o.low)
            return low < o.low;
        return high < o.high;
    }
};

const int NoPartner = -1;

// Squared ground distances a little over the bound still get searched, so
// float rounding of the distances can never hide a pair.
bool BeyondReach(double gap, double cell, float distance) {
    double lower = gap > 0 ? gap * cell : 0.0;
    return lower * lower > (double)distance * 1.0001 + 1e-12;
}

class Collapser {
public:
    Collapser(const std::vector<TerrainVertex>& source, const std::vector<int>* groups)
        : vertices(source) {
        size_t n = source.size();
        group.assign(n, 0);
        if (groups) {
            for (size_t i = 0; i < n && i < groups->size(); i++)
                group[i] = (*groups)[i];
        }
        alive.assign(n, 1);
        partner.assign(n, NoPartner);
        partnerKey.resize(n);
        partneredBy.resize(n);
        cellOf.assign(n, -1);
        MakeGrid();
        for (int u = 0; u < (int)n; u++)
            Insert(u);
        for (int u = 0; u < (int)n; u++)
            FindPartner(u);
    }

    // One merge; false when no pair is close enough.
    bool Merge(std::vector<int>& replacedBy) {
        if (ranked.empty())
            return false;
        int a = ranked.begin()->second, b = partner[a];
        int n = (int)vertices.size();
        vertices.push_back(CollapseMerged(vertices[a], vertices[b]));
        group.push_back(group[a]);
        alive.push_back(1);
        partner.push_back(NoPartner);
        partnerKey.push_back(PairKey());
        partneredBy.emplace_back();
        cellOf.push_back(-1);
        replacedBy[a] = replacedBy[b] = n;
        replacedBy.push_back(n);
        std::vector<int> orphans;
        for (int gone : {a, b}) {
            Remove(gone);
            for (int u : partneredBy[gone]) {
                if (alive[u])
                    orphans.push_back(u);
            }
        }
        // Every vertex that could prefer the new one lies within the
        // farthest partner distance of it.
        float reach = unpartnered > 0 || partnerDistances.empty() ? INFINITY
                                                                   : *partnerDistances.rbegin();
        Insert(n);
        VisitNear(n, reach, [&](int w) { Offer(w, n); });
        for (int u : orphans) {
            if (alive[u] && (partner[u] == a || partner[u] == b))
                FindPartner(u);
        }
        FindPartner(n);
        return true;
    }

    std::vector<TerrainVertex> vertices;   // by stamp
    std::vector<uint8_t> alive;

private:
    void MakeGrid() {
        float x0 = INFINITY, x1 = -INFINITY, y0 = INFINITY, y1 = -INFINITY;
        int finite = 0;
        for (const TerrainVertex& v : vertices) {
            if (!Finite(v))
                continue;
            finite++;
            x0 = std::min(x0, v.position.x);
            x1 = std::max(x1, v.position.x);
            y0 = std::min(y0, v.position.y);
            y1 = std::max(y1, v.position.y);
        }
        if (finite == 0) {
            x0 = x1 = y0 = y1 = 0;
        }
        originX = x0;
        originY = y0;
        double area = ((double)x1 - x0) * ((double)y1 - y0);
        double side = std::max((double)x1 - x0, (double)y1 - y0);
        cell = area > 0 ? std::sqrt(area / std::max(finite, 1)) : side / std::max(finite, 1);
        if (!(cell > 0) || !std::isfinite(cell))
            cell = 1.0;
        columns = 1 + CellIndex(((double)x1 - x0) / cell, 4096);
        rows = 1 + CellIndex(((double)y1 - y0) / cell, 4096);
        cells.assign((size_t)columns * rows, {});
    }

    static bool Finite(const TerrainVertex& v) {
        return std::isfinite(v.position.x) && std::isfinite(v.position.y) &&
               std::isfinite(v.position.z);
    }

    // floor(f) held to 0..count-1 before it becomes an int.
    static int CellIndex(double f, int count) {
        return (int)std::clamp(std::floor(f), 0.0, (double)(count - 1));
    }
    int Column(float x) const { return CellIndex(((double)x - originX) / cell, columns); }
    int Row(float y) const { return CellIndex(((double)y - originY) / cell, rows); }

    void Insert(int u) {
        // No distance to it is a number, or it may not move: never a partner.
        if (!Finite(vertices[u]) || group[u] < 0)
            return;
        int c = Row(vertices[u].position.y) * columns + Column(vertices[u].position.x);
        cellOf[u] = c;
        cells[c].push_back(u);
        unpartnered++;
    }

    void Remove(int u) {
        alive[u] = 0;
        if (cellOf[u] < 0)
            return;
        SetPartner(u, NoPartner, PairKey());
        unpartnered--;
        std::vector<int>& list = cells[cellOf[u]];
        list.erase(std::find(list.begin(), list.end(), u));
        cellOf[u] = -1;
    }

    // For a gridded vertex: keeps the ranking, the reverse lists, the
    // distance bounds and the count of vertices without a partner in step.
    void SetPartner(int u, int w, const PairKey& key) {
        if (partner[u] != NoPartner) {
            ranked.erase({partnerKey[u], u});
            partnerDistances.erase(partnerDistances.find(partnerKey[u].distance));
            std::vector<int>& by = partneredBy[partner[u]];
            by.erase(std::find(by.begin(), by.end(), u));
        } else {
            unpartnered--;
        }
        partner[u] = w;
        partnerKey[u] = key;
        if (w != NoPartner) {
            ranked.insert({key, u});
            partnerDistances.insert(key.distance);
            partneredBy[w].push_back(u);
        } else {
            unpartnered++;
        }
    }

    static PairKey Key(const TerrainVertex& p, int sp, const TerrainVertex& q, int sq) {
        PairKey k;
        k.distance = CollapseDistance(p, q);
        k.low = std::min(sp, sq);
        k.high = std::max(sp, sq);
        return k;
    }

    void Offer(int u, int w) {
        if (u == w || cellOf[u] < 0 || group[u] != group[w])
            return;
        PairKey k = Key(vertices[u], u, vertices[w], w);
        if (!(k.distance < CollapseFarthest))
            return;
        if (partner[u] == NoPartner || k < partnerKey[u])
            SetPartner(u, w, k);
    }

    // Calls visit for every live vertex in rings of cells around u until the
    // ring's nearest possible point is beyond reach (a squared distance).
    template <typename Visit>
    void VisitNear(int u, float reach, Visit visit) const {
        if (cellOf[u] < 0)
            return;
        int cx = cellOf[u] % columns, cy = cellOf[u] / columns;
        int last = std::max({cx, columns - 1 - cx, cy, rows - 1 - cy});
        for (int r = 0; r <= last && !BeyondReach(r - 1, cell, reach); r++)
            ForRing(cx, cy, r, visit);
    }

    void FindPartner(int u) {
        if (cellOf[u] < 0)
            return;
        SetPartner(u, NoPartner, PairKey());
        int best = NoPartner;
        PairKey bestKey;
        int cx = cellOf[u] % columns, cy = cellOf[u] / columns;
        int last = std::max({cx, columns - 1 - cx, cy, rows - 1 - cy});
        for (int r = 0; r <= last; r++) {
            if (best != NoPartner && BeyondReach(r - 1, cell, bestKey.distance))
                break;
            ForRing(cx, cy, r, [&](int w) {
                if (w == u || group[w] != group[u])
                    return;
                PairKey k = Key(vertices[u], u, vertices[w], w);
                if (k.distance < CollapseFarthest && (best == NoPartner || k < bestKey)) {
                    best = w;
                    bestKey = k;
                }
            });
        }
        if (best != NoPartner)
            SetPartner(u, best, bestKey);
    }

    // Every vertex in the cells at Chebyshev distance r from (cx, cy).
    template <typename Visit>
    void ForRing(int cx, int cy, int r, Visit visit) const {
        for (int y = cy - r; y <= cy + r; y++) {
            if (y < 0 || y >= rows)
                continue;
            bool edge = y == cy - r || y == cy + r;
            int step = edge || r == 0 ? 1 : 2 * r;
            for (int x = cx - r; x <= cx + r; x += step) {
                if (x >= 0 && x < columns) {
                    for (int w : cells[(size_t)y * columns + x])
                        visit(w);
                }
            }
        }
    }

    std::vector<int> group;   // by stamp; pairs merge within one group
    std::vector<int> partner;
    std::vector<PairKey> partnerKey;
    std::vector<std::vector<int>> partneredBy;
    std::set<std::pair<PairKey, int>> ranked;
    std::multiset<float> partnerDistances;
    int unpartnered = 0;   // live gridded vertices without a partner

    std::vector<int> cellOf;   // -1: not in the grid
    std::vector<std::vector<int>> cells;
    float originX = 0, originY = 0;
    double cell = 1.0;
    int columns = 1, rows = 1;
};

}  // namespace

TerrainVertex CollapseMerged(const TerrainVertex& a, const TerrainVertex& b) {
    TerrainVertex m;
    m.position.x = (a.position.x + b.position.x) * 0.5f;
    m.position.y = (a.position.y + b.position.y) * 0.5f;
    m.position.z = (a.position.z + b.position.z) * 0.5f;
    Vector3 n;
    n.x = (a.normal.x + b.normal.x) * 0.5f;
    n.y = (a.normal.y + b.normal.y) * 0.5f;
    n.z = (a.normal.z + b.normal.z) * 0.5f;
    float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (length > 0.0f) {
        m.normal.x = n.x / length;
        m.normal.y = n.y / length;
        m.normal.z = n.z / length;
    } else {
        m.normal = a.normal;
    }
    m.extra = (a.extra + b.extra) * 0.5f;
    return m;
}

bool CollapseStep(std::vector<TerrainVertex>& vertices, std::vector<uint16_t>& indices,
                  float ratio, const std::vector<int>* groups) {
    int count = (int)vertices.size();
    if (count < 25)
        return false;
    int movable = count;
    if (groups) {
        for (int i = 0; i < count; i++)
            movable -= i < (int)groups->size() && (*groups)[i] < 0;
    }
    int merges = (int)(ratio * (float)movable);
    Collapser collapser(vertices, groups);
    std::vector<int> replacedBy(vertices.size());
    for (int i = 0; i < count; i++)
        replacedBy[i] = i;
    int done = 0;
    while (done < merges && collapser.Merge(replacedBy))
        done++;
    if (done == 0)
        return false;
    // Live vertices in stamp order are the list; follow each index through
    // its chain of merges (stamps only grow along it).
    std::vector<int> position(collapser.vertices.size(), -1);
    vertices.clear();
    for (size_t s = 0; s < collapser.vertices.size(); s++) {
        if (collapser.alive[s]) {
            position[s] = (int)vertices.size();
            vertices.push_back(collapser.vertices[s]);
        }
    }
    for (uint16_t& index : indices) {
        int s = index;
        if (s >= count)
            continue;   // an index past the list points at nothing either way
        while (replacedBy[s] != s)
            s = replacedBy[s];
        index = (uint16_t)position[s];
    }
    return true;
}

void RemoveDegenerateTriangles(const std::vector<TerrainVertex>& vertices,
                               std::vector<uint16_t>& indices) {
    auto same = [&](uint16_t i, uint16_t j) {
        if (i >= vertices.size() || j >= vertices.size())
            return i == j;
        const Vector3& p = vertices[i].position;
        const Vector3& q = vertices[j].position;
        return std::fabs(p.x - q.x) <= 0.00001f && std::fabs(p.y - q.y) <= 0.00001f &&
               std::fabs(p.z - q.z) <= 0.00001f;
    };
    std::vector<uint16_t> kept;
    kept.reserve(indices.size());
    for (size_t t = 0; t + 2 < indices.size(); t += 3) {
        uint16_t a = indices[t], b = indices[t + 1], c = indices[t + 2];
        if (same(a, b) || same(b, c) || same(a, c))
            continue;
        kept.insert(kept.end(), {a, b, c});
    }
    indices.swap(kept);
}

void RemoveDuplicateTriangles(std::vector<uint16_t>& indices) {
    // A triangle in any rotation has one smallest rotation.
    std::unordered_set<uint64_t> seen;
    std::vector<uint16_t> kept;
    kept.reserve(indices.size());
    for (size_t t = 0; t + 2 < indices.size(); t += 3) {
        uint16_t v[3] = {indices[t], indices[t + 1], indices[t + 2]};
        uint64_t key = UINT64_MAX;
        for (int r = 0; r < 3; r++) {
            uint64_t k = ((uint64_t)v[r] << 32) | ((uint64_t)v[(r + 1) % 3] << 16) |
                         v[(r + 2) % 3];
            if (k < key)
                key = k;
        }
        if (seen.insert(key).second)
            kept.insert(kept.end(), {v[0], v[1], v[2]});
    }
    indices.swap(kept);
}

void ReduceMesh(const std::vector<TerrainVertex>& vertices, const std::vector<uint16_t>& indices,
                std::vector<TerrainVertex>& outVertices, std::vector<uint16_t>& outIndices,
                const std::vector<int>* groups) {
    outVertices = vertices;
    outIndices = indices;
    if (CollapseStep(outVertices, outIndices, 0.7f, groups)) {
        RemoveDegenerateTriangles(outVertices, outIndices);
        RemoveDuplicateTriangles(outIndices);
    }
}
