// The box around a squad's members where they stand, so a soldier's
// avoidance passes over squads too far off to matter without visiting each
// member.
#ifndef GAME_AI_MEMBER_BOX_H
#define GAME_AI_MEMBER_BOX_H

#include <vector>

#include "core/vector.h"

struct MemberBox {
    Vector3 min, max;
    bool bounded = false;   // false: a position was not finite, or there were none
};

MemberBox MemberBoxAround(const std::vector<Vector3>& positions);
// The squared distance from p to the box; never more than the squared
// distance to any position it was taken around (0 inside, and for a box not
// bounded).
float MemberBoxGapSquared(const MemberBox& box, const Vector3& p);

#endif
