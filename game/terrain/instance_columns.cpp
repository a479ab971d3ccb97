#include "game/terrain/instance_columns.h"

#include <algorithm>
#include <cmath>

namespace {

const int CellsAcross = 32;

// The sphere's square seen from above, widened well past what rounding in
// the ray's sphere test can reach.
bool Square(const CCollisionInstance& instance, float& x0, float& y0, float& x1, float& y1) {
    const Sphere& s = instance.sphere;
    if (!instance.attached || !instance.root || !std::isfinite(s.centre.x) ||
        !std::isfinite(s.centre.y) || !std::isfinite(s.radius) || s.radius < 0.0f)
        return false;
    float reach = s.radius + 1.0f + 0.001f * (std::fabs(s.centre.x) + std::fabs(s.centre.y) +
                                              std::fabs(s.centre.z) + s.radius);
    x0 = s.centre.x - reach;
    x1 = s.centre.x + reach;
    y0 = s.centre.y - reach;
    y1 = s.centre.y + reach;
    return true;
}

}  // namespace

void CInstanceColumns::Clear() {
    cells.clear();
    columns = rows = 0;
}

void CInstanceColumns::Build(const std::vector<CCollisionInstance>& instances) {
    Clear();
    if (instances.empty() || instances.size() > 65535)
        return;
    float lowX = 0, lowY = 0, highX = 0, highY = 0;
    bool any = false;
    for (const CCollisionInstance& instance : instances) {
        float x0, y0, x1, y1;
        if (!Square(instance, x0, y0, x1, y1))
            continue;
        lowX = any ? std::min(lowX, x0) : x0;
        lowY = any ? std::min(lowY, y0) : y0;
        highX = any ? std::max(highX, x1) : x1;
        highY = any ? std::max(highY, y1) : y1;
        any = true;
    }
    // An instance that can never be reached leaves the grid empty: the
    // caller then tests every instance as before.
    for (const CCollisionInstance& instance : instances) {
        float x0, y0, x1, y1;
        if (instance.attached && instance.root && !Square(instance, x0, y0, x1, y1))
            return;
    }
    if (!any || !(highX - lowX < 1e7f) || !(highY - lowY < 1e7f))
        return;
    minX = lowX;
    minY = lowY;
    cellSize = std::max(std::max(highX - lowX, highY - lowY) / CellsAcross, 1.0f);
    columns = (int)((highX - lowX) / cellSize) + 1;
    rows = (int)((highY - lowY) / cellSize) + 1;
    cells.assign((size_t)columns * rows, std::vector<uint16_t>());
    for (size_t i = 0; i < instances.size(); i++) {
        float x0, y0, x1, y1;
        if (!Square(instances[i], x0, y0, x1, y1))
            continue;
        int c0 = (int)((x0 - minX) / cellSize);
        int c1 = std::min((int)((x1 - minX) / cellSize), columns - 1);
        int r0 = (int)((y0 - minY) / cellSize);
        int r1 = std::min((int)((y1 - minY) / cellSize), rows - 1);
        for (int r = std::max(r0, 0); r <= r1; r++)
            for (int c = std::max(c0, 0); c <= c1; c++)
                cells[(size_t)r * columns + c].push_back((uint16_t)i);
    }
}

const std::vector<uint16_t>& CInstanceColumns::At(float x, float y) const {
    float fc = (x - minX) / cellSize, fr = (y - minY) / cellSize;
    if (!(fc >= 0.0f && fr >= 0.0f && fc < (float)columns && fr < (float)rows))
        return none;
    return cells[(size_t)(int)fr * columns + (int)fc];
}
