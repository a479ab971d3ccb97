#ifndef GAME_AI_TARGETING_H
#define GAME_AI_TARGETING_H

#include "core/vector.h"

// A soldier's weapon class is the row of its weapon type in the weapons
// table; classes past the six the AI knows score nothing and keep no range.
const int AiWeaponClasses = 6;
const int AiDistanceBands = 5;

// How well a weapon class does in a distance band (0 .. 10).
int WeaponEffectiveness(int weaponClass, int band);
// Band of a squared distance: below 4, 10, about 23 and 50 units, else 4.
int DistanceBand(float distanceSquared);

// What a soldier knows of one enemy it could choose as its target.
struct TargetCandidate {
    float distanceSquared = 0.0f;
    float armour = 0.0f;
    int weaponClass = 0;
    bool isCurrentTarget = false;
    bool targetsMe = false;
    bool inFacing = false;  // WithinFacing of the choosing soldier
};

// The choosing soldier takes the candidate with the highest score above 0.
float TargetScore(int ownWeaponClass, bool alerted, const TargetCandidate& candidate);

// The squared distances a soldier keeps its target within, and the distance
// it closes or opens to when outside them.
struct RangeBand {
    float low = 0.0f, high = 0.0f, standOff = 0.0f;
};
// Classes 2 and 3 count as close-range targets.
RangeBand KeepRangeBand(int ownWeaponClass, int targetWeaponClass);
// Inside the band: false (the soldier stands). Outside: true, with `move`
// toward the point at the stand-off distance from the target on the line
// between them.
bool RangeMove(const Vector3& position, const Vector3& target, const RangeBand& band, Vector3& move);

#endif
