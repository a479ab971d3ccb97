// The broad phase of the world queries: a uniform grid over the ground plane
// holding the collision bodies a query may hit, each in the cells its world
// sphere covers (seen from above). A body tells its grid when its sphere
// changes, so the grid keeps up as things move. A ray or segment gathers the
// bodies of the cells its track crosses, in the order a walk over the
// world's lists would meet them, so a query through the grid finds exactly
// what the walk finds.
//
// Bodies without a usable sphere (none, not finite, very far from the
// origin, or spanning a large part of the grid) and bodies outside the
// grid's area are kept aside and gathered by every query. The area and the
// cell size follow the bodies: the grid lays itself out again when a few
// dozen bodies have left the area or their number has grown well past what
// the layout was made for.
#ifndef GAME_COLLISION_BODY_GRID_H
#define GAME_COLLISION_BODY_GRID_H

#include <cstdint>
#include <vector>

#include "core/geometry.h"

class CCollisionBody;

struct BodyGridEntry {
    CCollisionBody* body = nullptr;   // null for a free slot
    void* object = nullptr;
    int set = 0;          // a single object-set bit of the world queries
    uint64_t order = 0;   // the set's place in a query, then the order added
    int column0 = 0, row0 = 0, column1 = -1, row1 = -1;   // cells held; none when aside
    bool aside = false;
    int asideAt = -1;       // its place in the aside list
    bool outside = false;   // aside because it lies outside the area
    uint32_t stamp = 0;
};

class CBodyGrid {
public:
    CBodyGrid();
    // Lets go of every body it holds.
    ~CBodyGrid();
    CBodyGrid(const CBodyGrid&) = delete;
    CBodyGrid& operator=(const CBodyGrid&) = delete;

    // The body of an object of one set, met after every body of that set
    // added before (a body already held is left as it is). setRank orders
    // the sets: lower ranks come first in a query.
    void Add(CCollisionBody* body, void* object, int set, int setRank);
    void Remove(CCollisionBody* body);
    // Lets go of every body of the set.
    void RemoveSet(int set);
    int Count(int set) const;
    // A body's sphere changed (CCollisionBody calls this).
    void Moved(int entry);
    // The body now lives at another address (moved into another object).
    void Rebind(int entry, CCollisionBody* body);

    // Entries of the sets that the ray, or the segment from p0 to p1, may
    // reach; in query order. The pointers stay valid until the grid changes.
    void GatherRay(const Ray& ray, int sets, std::vector<const BodyGridEntry*>& out);
    void GatherSegment(const Vector3& p0, const Vector3& p1, int sets,
                       std::vector<const BodyGridEntry*>& out);

    int GetColumns() const { return columns; }
    int GetRows() const { return rows; }
    int GetAsideCount() const { return (int)aside.size(); }

private:
    void Gather(const Vector3& origin, const Vector3& direction, float length, int sets,
                std::vector<const BodyGridEntry*>& out);
    void Take(int index, int sets, std::vector<const BodyGridEntry*>& out);
    BodyGridEntry Placement(int index) const;
    void Place(int index);
    void Unplace(int index);
    void Layout();
    bool Bounds(const BodyGridEntry& e, float& x0, float& y0, float& x1, float& y1) const;

    std::vector<BodyGridEntry> entries;
    std::vector<int> freeSlots;
    std::vector<std::vector<int>> cells;
    std::vector<int> aside;   // entries kept out of the cells
    int counts[32];
    uint64_t added;
    uint32_t stamp;
    int live;
    int outside;      // entries aside because they left the area
    int laidOutFor;   // the number of bodies the layout was made for
    int laidOutOutside;   // outside the area when it was laid out
    float minX, minY, cellSize;
    int columns, rows;
};

#endif
