#ifndef GAME_AI_PERCEPTION_H
#define GAME_AI_PERCEPTION_H

#include "core/vector.h"

// Sight reaches 100 units, 60 degrees to either side of the facing in the
// ground plane. `facing` is the soldier's unit facing (z = 0).
bool CanSeePoint(const Vector3& position, const Vector3& facing, const Vector3& point);

// True when the point lies within the cone of cosine 0.75 about the facing.
bool WithinFacing(const Vector3& position, const Vector3& facing, const Vector3& point);

#endif
