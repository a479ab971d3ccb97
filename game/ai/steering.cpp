#include "game/ai/steering.h"

#include <cmath>

#include "core/random.h"
#include "game/ai/nav_grid.h"

namespace {

float AcrossAim(const Vector3& w, const Vector3& aim) {
    const float c = w.x * aim.y - w.y * aim.x;
    return c < 0.0f ? -c : c;
}

// In front of the shooter and no farther than the target.
bool Between(const Vector3& position, const Vector3& aim, const Vector3& target, const Vector3& thing) {
    Vector3 v, d;
    Vector3Subtract(v, target, position);
    Vector3Subtract(d, thing, position);
    return Vector3LengthSquared(d) <= Vector3LengthSquared(v) && Vector3Dot(d, aim) > 0.0f;
}

}  // namespace

bool TooCloseToFire(const Vector3& position, const Vector3& target, int weaponClass) {
    Vector3 v;
    Vector3Subtract(v, target, position);
    return weaponClass == AiBlastWeaponClass && Vector3LengthSquared(v) < 9.0f;
}

bool GridLineOfFire(const NavGrid& grid, const Vector3& position, const Vector3& target) {
    const int from = grid.CellOf(position), to = grid.CellOf(target);
    if (from >= 0 && grid.Cell(from) != NavCellFree) return false;
    if (to >= 0 && grid.Cell(to) != NavCellFree) return false;
    return LineOfSight(position, target, grid);
}

bool MateInLineOfFire(const Vector3& position, const Vector3& aim, const Vector3& target, const Vector3& mate,
                      int weaponClass) {
    if (!Between(position, aim, target, mate)) return false;
    Vector3 w;
    Vector3Subtract(w, target, mate);
    return AcrossAim(w, aim) < 2.0f || (weaponClass == AiBlastWeaponClass && Vector3LengthSquared(w) < 9.0f);
}

bool VehicleInLineOfFire(const Vector3& position, const Vector3& aim, const Vector3& target,
                         const Vector3& vehicle, float radius) {
    if (!Between(position, aim, target, vehicle)) return false;
    Vector3 w;
    Vector3Subtract(w, target, vehicle);
    return AcrossAim(w, aim) < radius;
}

namespace {

// Distance of `centre` from the walking line through `ahead` along m.
float OffLine(const Vector3& m, const Vector3& ahead, const Vector3& centre) {
    const float x = ahead.x - centre.x, y = ahead.y - centre.y;
    const float c = m.x * y - m.y * x;
    return c < 0.0f ? -c : c;
}

}  // namespace

bool ObstacleInWay(const Vector3& position, const Vector3& m, const Vector3& centre, float radius) {
    Vector3 d, ahead;
    Vector3Subtract(d, centre, position);
    if (!(Vector3Dot(d, m) > 0.0f)) return false;
    const float reach = radius + 10.0f;
    if (Vector3LengthSquared(d) > reach * reach) return false;
    Vector3MultiplyAdd(ahead, position, m, reach);
    return OffLine(m, ahead, centre) < radius + 1.0f;
}

bool VehicleInWay(const Vector3& position, const Vector3& m, const Vector3& centre, float radius) {
    Vector3 d, ahead;
    Vector3Subtract(d, centre, position);
    if (Vector3LengthSquared(d) > radius * radius) return false;
    Vector3MultiplyAdd(ahead, position, m, radius);
    return OffLine(m, ahead, centre) < radius + 1.0f;
}

Vector3 SteerPast(const Vector3& position, const Vector3& m, const Vector3& centre, float clearance) {
    Vector3 s{m.y * clearance, -m.x * clearance, 0.0f};
    if ((position.x - centre.x) * s.x + (position.y - centre.y) * s.y < 0.0f) s = Vector3{-s.x, -s.y, 0.0f};
    return Vector3{centre.x + s.x - position.x, centre.y + s.y - position.y, centre.z + s.z - position.z};
}

void AddMatePush(Vector3& sum, const Vector3& position, const Vector3& mate) {
    Vector3 d;
    Vector3Subtract(d, mate, position);
    if (d.x == 0.0f && d.y == 0.0f && d.z == 0.0f) {
        float r[5];
        for (float& v : r) v = float(GameRand()) * (1.0f / float(GameRandMax));
        d = Vector3{r[2] - r[3], r[0] - r[1], r[4] + 0.1f};
    }
    Vector3 unit;
    Vector3Normalize(unit, d);
    Vector3Subtract(sum, sum, unit);
}

bool ApplyMatePush(Vector3& m, const Vector3& sum) {
    if (sum.x == 0.0f && sum.y == 0.0f) return false;
    Vector3 unit;
    Vector3Normalize(unit, sum);
    Vector3MultiplyAdd(m, unit, m, 3.0f);
    return true;
}

Vector3 DodgeSidestep(const Vector3& position, const Vector3& projectile, const Vector3& direction) {
    const float length = std::sqrt(direction.x * direction.x + direction.y * direction.y);
    if (!(length > 0.0f)) return Vector3{};
    Vector3 side{-direction.y / length, direction.x / length, 0.0f};
    const float x = position.x - projectile.x, y = position.y - projectile.y;
    if (x * side.x + y * side.y < 0.0f) side = Vector3{-side.x, -side.y, 0.0f};
    return side;
}
