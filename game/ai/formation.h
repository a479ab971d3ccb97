#ifndef GAME_AI_FORMATION_H
#define GAME_AI_FORMATION_H

#include <vector>

#include "core/vector.h"

// Squared follow distance of the k-th follower (k from 1): (1.5 k + 3)^2.
float FollowDistanceSquared(int k);

// A line abreast across the leader's direction toward its target: each
// follower in turn takes the nearer of the next free slots to either side
// (10, 20, ... units out along the ground perpendicular). Fills `offsets`
// (from the leader, z = 0) one per follower; false, with nothing filled, when
// the target stands on the leader's spot.
bool FormLineAbreast(const Vector3& leader, const Vector3& target, const std::vector<Vector3>& followers,
                     std::vector<Vector3>& offsets);

#endif
