#include "game/ai/targeting.h"

#include <cmath>

namespace {

const unsigned char Effectiveness[AiWeaponClasses][AiDistanceBands] = {
    {7, 4, 1, 0, 0}, {5, 5, 6, 5, 3}, {2, 8, 5, 3, 3},
    {10, 9, 7, 2, 0}, {10, 7, 2, 0, 0}, {8, 6, 4, 2, 2},
};

}  // namespace

int WeaponEffectiveness(int weaponClass, int band) {
    if (weaponClass < 0 || weaponClass >= AiWeaponClasses || band < 0 || band >= AiDistanceBands) return 0;
    return Effectiveness[weaponClass][band];
}

int DistanceBand(float distanceSquared) {
    if (distanceSquared < 16.0f) return 0;
    if (distanceSquared < 100.0f) return 1;
    if (distanceSquared < 525.0f) return 2;
    if (distanceSquared < 2500.0f) return 3;
    return 4;
}

float TargetScore(int ownWeaponClass, bool alerted, const TargetCandidate& c) {
    const int band = DistanceBand(c.distanceSquared);
    float score = 10.0f - 0.1f * c.armour + float(WeaponEffectiveness(ownWeaponClass, band)) +
                  float(WeaponEffectiveness(c.weaponClass, band));
    if (c.isCurrentTarget) score *= 1.15f;
    if (c.targetsMe) {
        score *= 2.0f;
        if (alerted && c.inFacing) score *= 2.0f;
    }
    return score;
}

RangeBand KeepRangeBand(int ownWeaponClass, int targetWeaponClass) {
    const bool close = targetWeaponClass == 2 || targetWeaponClass == 3;
    switch (ownWeaponClass) {
    case 0: return RangeBand{2.25f, 4.0f, 2.0f};
    case 1: return RangeBand{225.0f, 5625.0f, 50.0f};
    case 2: return RangeBand{16.0f, 100.0f, 7.0f};
    case 3: return close ? RangeBand{16.0f, 100.0f, 7.0f} : RangeBand{9.0f, 100.0f, 5.0f};
    case 4: return RangeBand{2.25f, 9.0f, 2.0f};
    case 5: return close ? RangeBand{64.0f, 525.0f, 11.5f} : RangeBand{4.0f, 525.0f, 9.5f};
    default: return RangeBand{};
    }
}

bool RangeMove(const Vector3& position, const Vector3& target, const RangeBand& band, Vector3& move) {
    Vector3 v;
    Vector3Subtract(v, target, position);
    const float d2 = Vector3LengthSquared(v);
    if (d2 >= band.low && d2 <= band.high) return false;
    const float length = std::sqrt(d2);
    Vector3 n{};
    if (length > 0.0f) Vector3Scale(n, v, 1.0f / length);
    // target - n * standOff - position
    Vector3MultiplyAdd(move, v, n, -band.standOff);
    return true;
}
