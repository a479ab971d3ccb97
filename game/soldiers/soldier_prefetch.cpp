#include "game/soldiers/soldier_prefetch.h"

#include "core/prefetch.h"
#include "game/soldiers/soldier.h"
#include "render/node.h"

namespace {

void PrefetchRecord(const CModel& model) {
    if (const ModelRecord* record = model.GetRecord())
        PrefetchBytes(record, sizeof *record);
}

// A node's per-update fields come first, up to the rest pose.
void PrefetchNode(const CNode* node) {
    const char* at = reinterpret_cast<const char*>(node);
    PrefetchBytes(at, size_t(reinterpret_cast<const char*>(&node->bindRotation) - at));
}

// The first links of the child list; a node's links are made one after the
// other, so they mostly share these lines. Taking the address loads nothing.
void PrefetchChildLinks(const CNode* node) {
    if (!node->children.empty())
        PrefetchBytes(&*node->children.begin(), 64);
}

void PrefetchRoot(const CModel& model) {
    if (const CNode* root = model.GetRoot()) {
        PrefetchNode(root);
        PrefetchChildLinks(root);
    }
}

}  // namespace

void PrefetchSoldierBones(const CSoldier& soldier) {
    PrefetchRecord(soldier.model);
    for (const BonePose& pose : soldier.animator.GetPose())
        PrefetchNode(pose.bone);
    for (const CWeapon& weapon : soldier.weapons)
        PrefetchRecord(weapon.model);
    PrefetchRecord(soldier.fallbackWeapon.model);
}

void PrefetchSoldierLinks(const CSoldier& soldier) {
    PrefetchRoot(soldier.model);
    for (const BonePose& pose : soldier.animator.GetPose())
        PrefetchChildLinks(pose.bone);
    for (const CWeapon& weapon : soldier.weapons)
        PrefetchRoot(weapon.model);
    PrefetchRoot(soldier.fallbackWeapon.model);
}
