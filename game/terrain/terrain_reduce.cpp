// The closest-pair collapse keeps, for every live vertex, its best partner:
// the pair key is (squared distance, earlier vertex, later vertex) in list
// order, so the smallest of those keys is the pair the plain all-pairs search
// takes. A merge only rescans the vertices whose partner left, and offers
// the new vertex to every other one: O(V) per merge instead of O(V^2).
#include "game/terrain/terrain_reduce.h"

#include <cmath>
#include <unordered_set>

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

class Collapser {
public:
    explicit Collapser(const std::vector<TerrainVertex>& source)
        : vertices(source), alive(source.size(), 1), partner(source.size(), NoPartner),
          partnerKey(source.size()) {
        for (int u = 0; u < (int)vertices.size(); u++)
            FindPartner(u);
    }

    // One merge; false when no pair is close enough.
    bool Merge(std::vector<int>& replacedBy) {
        int best = NoPartner;
        for (int u = 0; u < (int)vertices.size(); u++) {
            if (alive[u] && partner[u] != NoPartner &&
                (best == NoPartner || partnerKey[u] < partnerKey[best]))
                best = u;
        }
        if (best == NoPartner)
            return false;
        int a = best, b = partner[best];
        int n = (int)vertices.size();
        vertices.push_back(CollapseMerged(vertices[a], vertices[b]));
        alive[a] = alive[b] = 0;
        alive.push_back(1);
        partner.push_back(NoPartner);
        partnerKey.push_back(PairKey());
        replacedBy[a] = replacedBy[b] = n;
        replacedBy.push_back(n);
        for (int u = 0; u < n; u++) {
            if (!alive[u])
                continue;
            if (partner[u] == a || partner[u] == b) {
                FindPartner(u);
            } else {
                Offer(u, n);
            }
        }
        FindPartner(n);
        return true;
    }

    std::vector<TerrainVertex> vertices;   // by stamp
    std::vector<uint8_t> alive;

private:
    static PairKey Key(const TerrainVertex& p, int sp, const TerrainVertex& q, int sq) {
        PairKey k;
        k.distance = CollapseDistance(p, q);
        k.low = sp < sq ? sp : sq;
        k.high = sp < sq ? sq : sp;
        return k;
    }

    void Offer(int u, int w) {
        PairKey k = Key(vertices[u], u, vertices[w], w);
        if (!(k.distance < CollapseFarthest))
            return;   // also refuses NaN
        if (partner[u] == NoPartner || k < partnerKey[u]) {
            partner[u] = w;
            partnerKey[u] = k;
        }
    }

    void FindPartner(int u) {
        partner[u] = NoPartner;
        for (int w = 0; w < (int)vertices.size(); w++) {
            if (w != u && alive[w])
                Offer(u, w);
        }
    }

    std::vector<int> partner;
    std::vector<PairKey> partnerKey;
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
                  float ratio) {
    int count = (int)vertices.size();
    if (count < 25)
        return false;
    int merges = (int)(ratio * (float)count);
    Collapser collapser(vertices);
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
                std::vector<TerrainVertex>& outVertices, std::vector<uint16_t>& outIndices) {
    outVertices = vertices;
    outIndices = indices;
    if (CollapseStep(outVertices, outIndices, 0.7f)) {
        RemoveDegenerateTriangles(outVertices, outIndices);
        RemoveDuplicateTriangles(outIndices);
    }
}
