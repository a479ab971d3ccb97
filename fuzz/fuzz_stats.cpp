// Every stats parser over the same input: the first byte picks the table.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "game/stats.h"

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
        break;
    }
    case 1: {
        std::vector<WeaponType> t;
        ParseWeaponTypes(in, "fuzz", t);
        break;
    }
    case 2: {
        std::vector<GrenadeType> t;
        ParseGrenadeTypes(in, "fuzz", t);
        break;
    }
    case 3: {
        std::vector<VehicleType> t;
        ParseVehicleTypes(in, "fuzz", t);
        for (const VehicleType& v : t) {
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
            if (p.drag != 0.0f && !(p.mass > 0.0f)) {
                __builtin_trap();
            }
        }
        break;
    }
    }
    return 0;
}
