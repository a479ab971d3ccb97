// Every stats parser over the same input: the first byte picks the table.
// Rows keep only finite numbers, and weapon counts within their range.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "game/stats.h"

namespace {

// Every float a table keeps is a finite number.
void ExpectFinite(std::initializer_list<float> values) {
    for (float v : values) {
        if (!std::isfinite(v)) {
            __builtin_trap();
        }
    }
}

// The weapon's reserve sums (ammunition less the clip, the reserve plus
// what is picked up) stay within an int only for counts in this range.
void ExpectCounts(const WeaponType& r) {
    for (int n : {r.clipSize, r.ammunition, r.maxReserve}) {
        if (n < 0 || n > MaxRoundCount) {
            __builtin_trap();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    std::string text((const char*)data + 1, size - 1);
    std::istringstream in(text);
    switch (data[0] % 5) {
    case 0: {
        std::vector<SoldierType> t;
        ParseSoldierTypes(in, "fuzz", t);
        for (const SoldierType& r : t) {
            ExpectFinite({r.maxArmour, r.health, r.speed});
        }
        break;
    }
    case 1: {
        std::vector<WeaponType> t;
        ParseWeaponTypes(in, "fuzz", t);
        for (const WeaponType& r : t) {
            ExpectFinite({r.fourthFloat, r.reloadTime, r.coolDown, r.damage, r.muzzleSpeed});
            ExpectCounts(r);
        }
        break;
    }
    case 2: {
        std::vector<GrenadeType> t;
        ParseGrenadeTypes(in, "fuzz", t);
        for (const GrenadeType& r : t) {
            ExpectFinite({r.firstFloat, r.blast, r.throwSpeed, r.fuse});
        }
        break;
    }
    case 3: {
        std::vector<VehicleType> t;
        ParseVehicleTypes(in, "fuzz", t);
        for (const VehicleType& v : t) {
            ExpectFinite({v.floats[0], v.floats[1], v.floats[2], v.floats[3]});
            for (const std::string& s : v.seatBones) {
                if (s.empty()) {
                    __builtin_trap();
                }
            }
        }
        break;
    }
    default: {
        std::vector<ProjectileType> t;
        ParseProjectileTypes(in, "fuzz", t);
        for (const ProjectileType& p : t) {
            ExpectFinite({p.mass, p.bounceFactor, p.acceleration, p.drag, p.sixthFloat, p.gravityFactor});
            if (p.drag != 0.0f && !(p.mass > 0.0f)) {
                __builtin_trap();
            }
        }
        break;
    }
    }
    return 0;
}
