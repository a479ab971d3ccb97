#include "game/ai/cover.h"

#include <cmath>

#include "core/random.h"

namespace {

// Unit ground direction from `from` to `to`; zero when they stand on one spot.
Vector3 GroundDirection(const Vector3& from, const Vector3& to) {
    const float x = to.x - from.x, y = to.y - from.y;
    const float length = std::sqrt(x * x + y * y);
    if (!(length > 0.0f)) return Vector3{};
    return Vector3{x / length, y / length, 0.0f};
}

int8_t DrawStay() { return int8_t(GameRand() % 25 + 15); }

float GroundDistanceSquared(const Vector3& a, const Vector3& b) {
    const float x = a.x - b.x, y = a.y - b.y;
    return x * x + y * y;
}

}  // namespace

Vector3 CoverHidingPoint(const Vector3& cover, const Vector3& target) {
    Vector3 h;
    return Vector3MultiplyAdd(h, cover, GroundDirection(target, cover), 6.0f);
}

Vector3 CoverSteppingOutPoint(const Vector3& cover, const Vector3& target, bool side) {
    const Vector3 u = GroundDirection(target, cover);
    const Vector3 q{u.y, -u.x, 0.0f};
    Vector3 w = CoverHidingPoint(cover, target);
    return Vector3MultiplyAdd(w, w, q, side ? 10.0f : -10.0f);
}

void StartHiding(CoverCycle& cycle) {
    cycle.counter = DrawStay();
    cycle.hiding = true;
}

bool StepCoverCycle(CoverCycle& cycle, const Vector3& position, const Vector3& cover, const Vector3& target,
                    Vector3& waypoint, Vector3& move) {
    const Vector3 point =
        cycle.hiding ? CoverHidingPoint(cover, target) : CoverSteppingOutPoint(cover, target, cycle.side);
    const float reach = cycle.hiding ? 5.0f : 6.0f;
    if (GroundDistanceSquared(position, point) >= reach) {
        if (!cycle.hiding) waypoint = point;
        Vector3Subtract(move, point, position);
        return true;
    }
    waypoint = cycle.hiding ? Vector3{position.x, position.y, 0.0f} : point;
    cycle.counter = int8_t(cycle.counter - 1);
    if (cycle.counter < 1) {
        if (cycle.hiding) cycle.side = (GameRand() & 1) != 0;
        cycle.counter = DrawStay();
        cycle.hiding = !cycle.hiding;
    }
    return false;
}
