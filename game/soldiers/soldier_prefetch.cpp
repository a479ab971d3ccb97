#include "game/soldiers/soldier_prefetch.h"

#include "core/prefetch.h"
#include "game/soldiers/soldier.h"
#include "render/node.h"

namespace {

void PrefetchRecord(const CModel& model) {
    if (const ModelRecord* record = model.GetRecord())
        PrefetchBytes(record, sizeof *record);
}

}  // namespace

void PrefetchSoldierUpdate(const CSoldier& soldier) {
    PrefetchRecord(soldier.model);
    for (const BonePose& pose : soldier.animator.GetPose()) {
        // A node's per-update fields come first, up to the rest pose.
        const char* at = reinterpret_cast<const char*>(pose.bone);
        PrefetchBytes(at, size_t(reinterpret_cast<const char*>(&pose.bone->bindRotation) - at));
    }
    for (const CWeapon& weapon : soldier.weapons)
        PrefetchRecord(weapon.model);
    PrefetchRecord(soldier.fallbackWeapon.model);
}
