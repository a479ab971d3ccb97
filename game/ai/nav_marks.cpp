#include "game/ai/nav_marks.h"

#include <algorithm>
#include <cmath>

#include "core/matrix.h"
#include "game/world/generic_object.h"
#include "game/world/world.h"

namespace {

struct Interval {
    float low, high;
};

Interval Project(const float (*points)[2], int count, float nx, float ny) {
    Interval range{INFINITY, -INFINITY};
    for (int i = 0; i < count; i++) {
        const float d = points[i][0] * nx + points[i][1] * ny;
        range.low = std::min(range.low, d);
        range.high = std::max(range.high, d);
    }
    return range;
}

// The model-space box of the part's model placed by the instance's matrix.
bool WorldBox(const CCollisionInstance& instance, OrientedBox& out) {
    if (!instance.attached || !instance.model || !instance.model->root)
        return false;
    const OrientedBox& box = instance.model->root->box;
    const Matrix4& m = instance.worldMatrix;
    Matrix4TransformPoint(out.centre, m, box.centre);
    for (int i = 0; i < 3; i++) {
        Vector3 tip, end;
        Vector3Scale(tip, box.axis[i], box.halfExtent[i]);
        Vector3Add(tip, tip, box.centre);
        Matrix4TransformPoint(end, m, tip);
        Vector3Subtract(out.axis[i], end, out.centre);
        out.halfExtent[i] = 1.0f;   // the axis carries the length
    }
    return true;
}

int MarkPart(NavGrid& grid, const CCollisionPart* part) {
    int marked = 0;
    OrientedBox box;
    if (WorldBox(part->instance, box))
        marked += MarkBoxFootprint(grid, box, NavCellWall);
    for (const CCollisionPart* child : part->children)
        marked += MarkPart(grid, child);
    return marked;
}

}  // namespace

int MarkBoxFootprint(NavGrid& grid, const OrientedBox& box, uint8_t value) {
    if (grid.CellCount() == 0)
        return 0;
    // The eight corners on the ground, relative to the grid origin.
    float corners[8][2];
    for (int i = 0; i < 8; i++) {
        float x = box.centre.x - grid.OriginX(), y = box.centre.y - grid.OriginY();
        for (int k = 0; k < 3; k++) {
            const float s = (i >> k & 1) ? box.halfExtent[k] : -box.halfExtent[k];
            x += box.axis[k].x * s;
            y += box.axis[k].y * s;
        }
        if (!std::isfinite(x) || !std::isfinite(y))
            return 0;
        corners[i][0] = x;
        corners[i][1] = y;
    }
    const Interval xs = Project(corners, 8, 1.0f, 0.0f), ys = Project(corners, 8, 0.0f, 1.0f);
    const float size = float(grid.CellSize());
    auto first = [&](float v, int count) { return int(std::clamp(std::floor(v / size), 0.0f, float(count))); };
    auto last = [&](float v, int count) { return int(std::clamp(std::ceil(v / size), 0.0f, float(count))) - 1; };
    const int c0 = first(xs.low, grid.Width()), c1 = last(xs.high, grid.Width());
    const int r0 = first(ys.low, grid.Height()), r1 = last(ys.high, grid.Height());
    int marked = 0;
    for (int r = r0; r <= r1; r++)
        for (int c = c0; c <= c1; c++) {
            const float x0 = float(c) * size, y0 = float(r) * size;
            if (xs.high <= x0 || xs.low >= x0 + size || ys.high <= y0 || ys.low >= y0 + size)
                continue;
            const float square[4][2] = {{x0, y0}, {x0 + size, y0}, {x0, y0 + size}, {x0 + size, y0 + size}};
            // The footprint is convex; its edges run along the box's axes.
            bool apart = false;
            for (int k = 0; k < 3 && !apart; k++) {
                const float nx = -box.axis[k].y, ny = box.axis[k].x;
                if (nx * nx + ny * ny < 1e-12f)
                    continue;
                const Interval a = Project(corners, 8, nx, ny), b = Project(square, 4, nx, ny);
                apart = a.high <= b.low || b.high <= a.low;
            }
            if (apart)
                continue;
            grid.SetCell(r * grid.Width() + c, value);
            marked++;
        }
    return marked;
}

int MarkStaticProps(NavGrid& grid, const CWorld& world) {
    int marked = 0;
    for (const CGenericObject* prop : world.generics)
        if (!prop->IsDynamic() && prop->collision.root)
            marked += MarkPart(grid, prop->collision.root);
    return marked;
}
