#ifndef GAME_AI_STEERING_H
#define GAME_AI_STEERING_H

#include "core/vector.h"

class NavGrid;

// The weapon class that keeps 15 units off its target and hurts what stands
// within 3 units of it.
const int AiBlastWeaponClass = 1;

// Line-of-fire tests for a shot from `position` at `target` along the aim
// direction `aim` (unit).
// A blast weapon never fires at a target closer than 3 units.
bool TooCloseToFire(const Vector3& position, const Vector3& target, int weaponClass);
// The grid's part: neither the shooter's nor the target's cell is marked
// (cells off the grid count as free) and the line of sight between them holds.
bool GridLineOfFire(const NavGrid& grid, const Vector3& position, const Vector3& target);
// A squad mate in front, no farther than the target and within 2 units of the
// line of fire (or, for a blast weapon, within 3 units of the target).
bool MateInLineOfFire(const Vector3& position, const Vector3& aim, const Vector3& target, const Vector3& mate,
                      int weaponClass);
// A vehicle in front, no farther than the target, whose radius reaches the line.
bool VehicleInLineOfFire(const Vector3& position, const Vector3& aim, const Vector3& target,
                         const Vector3& vehicle, float radius);

// Local avoidance along the walking direction `m` (unit, ground plane).
// An obstacle ahead within 10 units of its rim whose centre lies within its
// radius + 1 of the walking line, measured 10 units past the rim.
bool ObstacleInWay(const Vector3& position, const Vector3& m, const Vector3& centre, float radius);
// A vehicle whose radius reaches the soldier and whose centre lies within its
// radius + 1 of the walking line, measured one radius ahead.
bool VehicleInWay(const Vector3& position, const Vector3& m, const Vector3& centre, float radius);
// The walking direction that passes `centre` on the soldier's side at
// `clearance` units: centre + clearance * (m.y, -m.x) (or its mirror) - position.
Vector3 SteerPast(const Vector3& position, const Vector3& m, const Vector3& centre, float clearance);

// Adds to `sum` the unit push away from a mate (the caller picks the mates
// close enough to push); two soldiers on one spot are parted by a small push drawn from GameRand, with
// an upward part of at least 0.1 before normalising.
void AddMatePush(Vector3& sum, const Vector3& position, const Vector3& mate);
// Bends the walking direction by the push: 3 m + the unit push. False, with
// `m` unchanged, when the push has no part in the ground plane.
bool ApplyMatePush(Vector3& m, const Vector3& sum);

// Unit sidestep in the ground plane across a projectile's path, on the
// soldier's side of its line; zero for a projectile flying straight up/down.
Vector3 DodgeSidestep(const Vector3& position, const Vector3& projectile, const Vector3& direction);

#endif
