#ifndef GAME_AI_COVER_H
#define GAME_AI_COVER_H

#include <cstdint>

#include "core/vector.h"

// Points about a covering vehicle as seen from the target: the hiding point 6
// units behind it, and the stepping-out points 10 units to either side of that.
Vector3 CoverHidingPoint(const Vector3& cover, const Vector3& target);
Vector3 CoverSteppingOutPoint(const Vector3& cover, const Vector3& target, bool side);

// A soldier in cover from a target that fights it alternates between hiding
// behind the vehicle and stepping out beside it, staying 15 to 39 member
// updates at each point.
struct CoverCycle {
    bool hiding = true;
    int8_t counter = 0;  // updates left at the current point
    bool side = false;   // which side it steps out to
};

// Begins with hiding, for a newly taken cover.
void StartHiding(CoverCycle& cycle);
// One member update. Walking: true, with `move` toward the point. At the
// point: false (the soldier stands) and the counter runs down. `waypoint` is
// set to where the soldier should be.
bool StepCoverCycle(CoverCycle& cycle, const Vector3& position, const Vector3& cover, const Vector3& target,
                    Vector3& waypoint, Vector3& move);

#endif
