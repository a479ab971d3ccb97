// The world queries' broad phase. Cells hold entry indices; an entry covers
// the cells of its sphere's square seen from above, widened so that rounding
// in the sphere tests can never make a body hit that the grid left out.
#include "game/collision/body_grid.h"

#include <algorithm>
#include <cmath>

#include "game/collision/collision_body.h"

namespace {

const int MaxCellsPerSide = 256;
// A body covering more cells than this across is kept aside.
const int MaxCellsAcross = 8;
// The sphere tests widen spheres by this much (relative and absolute).
const float SphereSlack = 0.0001f;
// Spheres larger than this are kept aside without asking the layout.
const float LargeRadius = 500.0f;
// Bodies that may leave the area before it is laid out again.
const int OutsideAllowance = 32;
// The area never reaches past this distance from the origin, so its
// extents and cell counts stay finite wherever bodies are put.
const float FarLimit = 1.0e7f;

int SetIndex(int set) {
    int i = 0;
    while (i < 31 && !(set & (1 << i)))
        i++;
    return i;
}

}  // namespace

CBodyGrid::CBodyGrid()
    : counts(), added(0), stamp(0), live(0), outside(0), laidOutFor(0), laidOutOutside(0),
      minX(0.0f), minY(0.0f),
      cellSize(1.0f), columns(0), rows(0) {}

CBodyGrid::~CBodyGrid() {
    for (BodyGridEntry& e : entries) {
        if (e.body) {
            e.body->grid = nullptr;
            e.body->gridEntry = -1;
        }
    }
}

// The square the sphere tests can reach, seen from above; false when the
// body has no usable sphere or lies beyond the limit (aside).
bool CBodyGrid::Bounds(const BodyGridEntry& e, float& x0, float& y0, float& x1, float& y1) const {
    const Sphere& s = e.body->sphere;
    if (!(s.radius > 0.0f) || !(s.radius < LargeRadius) || !(std::fabs(s.centre.x) < FarLimit) ||
        !(std::fabs(s.centre.y) < FarLimit))
        return false;
    float reach = s.radius * (1.0f + SphereSlack) + SphereSlack + 0.01f +
                  0.00001f * (std::fabs(s.centre.x) + std::fabs(s.centre.y));
    x0 = s.centre.x - reach;
    x1 = s.centre.x + reach;
    y0 = s.centre.y - reach;
    y1 = s.centre.y + reach;
    return true;
}

// Where the entry belongs now: its cells, aside (outside the area, or
// without a usable sphere), or nowhere (a detached body is never hit).
BodyGridEntry CBodyGrid::Placement(int index) const {
    BodyGridEntry e = entries[(size_t)index];
    e.column0 = e.row0 = 0;
    e.column1 = e.row1 = -1;
    e.aside = e.outside = false;
    if (!e.body->attached || !e.body->root)
        return e;
    float x0, y0, x1, y1;
    if (!Bounds(e, x0, y0, x1, y1)) {
        e.aside = true;
        return e;
    }
    double c0 = -1, c1 = -1, r0 = -1, r1 = -1;
    if (columns > 0) {
        c0 = std::floor(((double)x0 - minX) / cellSize);
        c1 = std::floor(((double)x1 - minX) / cellSize);
        r0 = std::floor(((double)y0 - minY) / cellSize);
        r1 = std::floor(((double)y1 - minY) / cellSize);
    }
    if (c0 < 0 || r0 < 0 || c1 >= columns || r1 >= rows) {
        e.aside = e.outside = true;
    } else if (c1 - c0 >= MaxCellsAcross || r1 - r0 >= MaxCellsAcross) {
        e.aside = true;
    } else {
        e.column0 = (int)c0;
        e.column1 = (int)c1;
        e.row0 = (int)r0;
        e.row1 = (int)r1;
    }
    return e;
}

void CBodyGrid::Place(int index) {
    BodyGridEntry& e = entries[(size_t)index];
    e = Placement(index);
    for (int r = e.row0; r <= e.row1; r++)
        for (int c = e.column0; c <= e.column1; c++)
            cells[(size_t)r * columns + c].push_back(index);
    if (e.aside) {
        e.asideAt = (int)aside.size();
        aside.push_back(index);
    }
    if (e.outside)
        outside++;
}

void CBodyGrid::Unplace(int index) {
    BodyGridEntry& e = entries[(size_t)index];
    for (int r = e.row0; r <= e.row1; r++) {
        for (int c = e.column0; c <= e.column1; c++) {
            std::vector<int>& cell = cells[(size_t)r * columns + c];
            auto it = std::find(cell.begin(), cell.end(), index);
            if (it != cell.end()) {
                *it = cell.back();
                cell.pop_back();
            }
        }
    }
    if (e.aside && e.asideAt >= 0 && e.asideAt < (int)aside.size()) {
        int last = aside.back();
        aside[(size_t)e.asideAt] = last;
        entries[(size_t)last].asideAt = e.asideAt;
        aside.pop_back();
    }
    if (e.outside)
        outside--;
    e.column0 = e.row0 = 0;
    e.column1 = e.row1 = -1;
    e.aside = e.outside = false;
    e.asideAt = -1;
}

// The area holds every body and a little room past them, unless a few lie
// far from the rest: it then reaches well past the middle 98% of them each
// way and no further. Cells hold about two bodies and are at least a body
// across.
void CBodyGrid::Layout() {
    cells.clear();
    aside.clear();
    outside = 0;
    columns = rows = 0;
    std::vector<float> lowX, highX, lowY, highY, radii;
    for (BodyGridEntry& e : entries) {
        e.column0 = e.row0 = 0;
        e.column1 = e.row1 = -1;
        e.aside = e.outside = false;
        e.asideAt = -1;
        float x0, y0, x1, y1;
        if (e.body && e.body->attached && e.body->root && Bounds(e, x0, y0, x1, y1)) {
            lowX.push_back(x0);
            highX.push_back(x1);
            lowY.push_back(y0);
            highY.push_back(y1);
            radii.push_back(e.body->sphere.radius);
        }
    }
    laidOutFor = live;
    if (!lowX.empty()) {
        size_t n = lowX.size();
        size_t cut = n / 100;
        // [low, high] of the middle of the values, widened, within their
        // extremes (inner); outer goes a little past the extremes, so those
        // on the edge walking outward stay in the area.
        auto span = [n, cut](std::vector<float>& low, std::vector<float>& high, float& inner,
                             float& from, float& to) {
            float least = *std::min_element(low.begin(), low.end());
            float most = *std::max_element(high.begin(), high.end());
            std::nth_element(low.begin(), low.begin() + cut, low.end());
            std::nth_element(high.begin(), high.begin() + (n - 1 - cut), high.end());
            float core = high[n - 1 - cut] - low[cut];
            float reach = 1.5f * core + 100.0f;
            float room = 0.1f * core + 10.0f;
            inner = std::min(most, high[n - 1 - cut] + reach) - std::max(least, low[cut] - reach);
            from = std::max(least - room, low[cut] - reach);
            to = std::min(most + room, high[n - 1 - cut] + reach);
        };
        float innerX, innerY, x0, x1, y0, y1;
        span(lowX, highX, innerX, x0, x1);
        span(lowY, highY, innerY, y0, y1);
        std::nth_element(radii.begin(), radii.begin() + n / 2, radii.end());
        // The cell size follows the bodies, not the room.
        float size = std::sqrt(std::max(innerX, 1.0f) * std::max(innerY, 1.0f) / (float)n) * 1.5f;
        float width = std::max(x1 - x0, 1.0f);
        float height = std::max(y1 - y0, 1.0f);
        size = std::max(size, 2.0f * radii[n / 2]);
        size = std::max(size, std::max(width, height) / (float)MaxCellsPerSide);
        cellSize = std::max(size, 1.0f);
        minX = x0;
        minY = y0;
        columns = std::min((int)std::ceil(width / cellSize) + 1, MaxCellsPerSide + 1);
        rows = std::min((int)std::ceil(height / cellSize) + 1, MaxCellsPerSide + 1);
        cells.assign((size_t)columns * rows, std::vector<int>());
    }
    for (size_t i = 0; i < entries.size(); i++) {
        if (entries[i].body)
            Place((int)i);
    }
    laidOutOutside = outside;
}

void CBodyGrid::Add(CCollisionBody* body, void* object, int set, int setRank) {
    if (!body || body->grid == this)
        return;
    if (body->grid)
        body->grid->Remove(body);
    int index;
    if (!freeSlots.empty()) {
        index = freeSlots.back();
        freeSlots.pop_back();
    } else {
        index = (int)entries.size();
        entries.emplace_back();
    }
    BodyGridEntry& e = entries[(size_t)index];
    e = BodyGridEntry();
    e.body = body;
    e.object = object;
    e.set = set;
    e.order = (uint64_t)setRank << 48 | added++;
    body->grid = this;
    body->gridEntry = index;
    counts[SetIndex(set)]++;
    live++;
    Place(index);
}

void CBodyGrid::Remove(CCollisionBody* body) {
    if (!body || body->grid != this)
        return;
    int index = body->gridEntry;
    Unplace(index);
    BodyGridEntry& e = entries[(size_t)index];
    counts[SetIndex(e.set)]--;
    live--;
    e = BodyGridEntry();
    freeSlots.push_back(index);
    body->grid = nullptr;
    body->gridEntry = -1;
}

void CBodyGrid::RemoveSet(int set) {
    for (BodyGridEntry& e : entries) {
        if (e.body && e.set == set)
            Remove(e.body);
    }
}

int CBodyGrid::Count(int set) const {
    return counts[SetIndex(set)];
}

void CBodyGrid::Moved(int index) {
    if (index < 0 || (size_t)index >= entries.size() || !entries[(size_t)index].body)
        return;
    const BodyGridEntry& now = entries[(size_t)index];
    BodyGridEntry next = Placement(index);
    if (next.column0 == now.column0 && next.column1 == now.column1 && next.row0 == now.row0 &&
        next.row1 == now.row1 && next.aside == now.aside && next.outside == now.outside)
        return;   // still in the same cells
    Unplace(index);
    Place(index);
}

void CBodyGrid::Rebind(int index, CCollisionBody* body) {
    if (index >= 0 && (size_t)index < entries.size() && entries[(size_t)index].body)
        entries[(size_t)index].body = body;
}

void CBodyGrid::Take(int index, int sets, std::vector<const BodyGridEntry*>& out) {
    BodyGridEntry& e = entries[(size_t)index];
    if (e.stamp == stamp || !(e.set & sets))
        return;
    e.stamp = stamp;
    out.push_back(&e);
}

void CBodyGrid::GatherRay(const Ray& ray, int sets, std::vector<const BodyGridEntry*>& out) {
    Gather(ray.origin, ray.direction, -1.0f, sets, out);
}

void CBodyGrid::GatherSegment(const Vector3& p0, const Vector3& p1, int sets,
                              std::vector<const BodyGridEntry*>& out) {
    Vector3 d;
    Vector3Subtract(d, p1, p0);
    float length = Vector3Length(d);
    if (length > 0.0f)
        Vector3Scale(d, d, 1.0f / length);
    Gather(p0, d, length, sets, out);
}

// The track of the probe seen from above, clipped to the area, walked column
// by column; in each column the rows its stretch of the track crosses. The
// walk is widened by a margin that grows with the distances involved, as the
// rounding of the sphere tests does.
void CBodyGrid::Gather(const Vector3& origin, const Vector3& direction, float length, int sets,
                       std::vector<const BodyGridEntry*>& out) {
    out.clear();
    // Every query looks at the bodies outside the area: a few more than the
    // layout left out (those far from the rest) make it lay out again.
    if (live > 2 * laidOutFor + 16 || outside > laidOutOutside + OutsideAllowance)
        Layout();
    if (++stamp == 0) {
        for (BodyGridEntry& e : entries)
            e.stamp = 0;
        stamp = 1;
    }
    for (int index : aside)
        Take(index, sets, out);
    if (columns > 0) {
        const double ox = origin.x, oy = origin.y, dx = direction.x, dy = direction.y;
        const double width = (double)columns * cellSize, height = (double)rows * cellSize;
        double scale = std::fabs(ox - minX) + std::fabs(oy - minY) + std::fabs((double)origin.z) +
                       width + height;
        double margin = 0.05 + 0.001 * scale;
        double t0 = 0.0, t1 = length < 0.0f ? 1e30 : (double)length;
        auto clip = [&](double o, double d, double lo, double hi) {
            if (d == 0.0) {
                if (o < lo || o > hi)
                    t1 = -1.0;
                return;
            }
            double a = (lo - o) / d, b = (hi - o) / d;
            if (a > b)
                std::swap(a, b);
            t0 = std::max(t0, a);
            t1 = std::min(t1, b);
        };
        clip(ox, dx, minX - margin, minX + width + margin);
        clip(oy, dy, minY - margin, minY + height + margin);
        if (t0 <= t1) {
            auto cellOf = [this](double v, double low, int count) {
                double f = std::floor((v - low) / cellSize);
                return (int)std::max(0.0, std::min((double)(count - 1), f));
            };
            double xa = ox + dx * t0, xb = ox + dx * t1;
            int c0 = cellOf(std::min(xa, xb) - margin, minX, columns);
            int c1 = cellOf(std::max(xa, xb) + margin, minX, columns);
            for (int c = c0; c <= c1; c++) {
                double s0 = t0, s1 = t1;
                if (dx != 0.0) {
                    double a = (minX + (double)c * cellSize - margin - ox) / dx;
                    double b = (minX + (double)(c + 1) * cellSize + margin - ox) / dx;
                    if (a > b)
                        std::swap(a, b);
                    s0 = std::max(s0, a);
                    s1 = std::min(s1, b);
                    if (s0 > s1)
                        continue;
                }
                double ya = oy + dy * s0, yb = oy + dy * s1;
                int r0 = cellOf(std::min(ya, yb) - margin, minY, rows);
                int r1 = cellOf(std::max(ya, yb) + margin, minY, rows);
                for (int r = r0; r <= r1; r++)
                    for (int index : cells[(size_t)r * columns + c])
                        Take(index, sets, out);
            }
        }
    }
    std::sort(out.begin(), out.end(), [](const BodyGridEntry* a, const BodyGridEntry* b) {
        return a->order < b->order;
    });
}
