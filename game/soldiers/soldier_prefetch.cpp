#include "game/soldiers/soldier_prefetch.h"

#include "core/prefetch.h"
#include "game/soldiers/soldier.h"
#include "render/node.h"

namespace {

template <class T>
void PrefetchObject(const T& object) {
    PrefetchBytes(&object, sizeof object);
}

void PrefetchRecord(const CModel& model) {
    if (const ModelRecord* record = model.GetRecord())
        PrefetchObject(*record);
}

// A node's per-update fields come first, up to the rest pose.
void PrefetchNode(const CNode* node) {
    const char* at = reinterpret_cast<const char*>(node);
    PrefetchBytes(at, size_t(reinterpret_cast<const char*>(&node->bindRotation) - at));
}

// The collision body's root part is read for its scene node only.
void PrefetchBodyRoot(const CCollisionBody& body) {
    if (body.root)
        PrefetchObject(body.root->node);
}

// The first line of the child array, which holds most nodes' whole list.
// Taking the address loads nothing.
void PrefetchChildLinks(const CNode* node) {
    if (!node->children.empty())
        PrefetchBytes(&*node->children.begin(), 64);
}

}  // namespace

void PrefetchSoldierStep(const CSoldier& soldier, int step) {
    const std::vector<BonePose>& pose = soldier.animator.GetPose();
    switch (step) {
    case 0:
        PrefetchObject(soldier.model);
        PrefetchObject(soldier.collision);
        PrefetchObject(pose);
        PrefetchObject(soldier.weapons);
        PrefetchObject(soldier.fallbackWeapon.model);
        break;
    case 1:
        PrefetchRecord(soldier.model);
        PrefetchBodyRoot(soldier.collision);
        if (!pose.empty())
            PrefetchBytes(pose.data(), pose.size() * sizeof pose[0]);
        for (const CWeapon& weapon : soldier.weapons) {
            PrefetchObject(weapon.model);
            PrefetchObject(weapon.collision);
        }
        PrefetchRecord(soldier.fallbackWeapon.model);
        PrefetchObject(soldier.fallbackWeapon.collision);
        break;
    case 2:
        if (const CNode* root = soldier.model.GetRoot())
            PrefetchNode(root);
        for (const BonePose& p : pose)
            PrefetchNode(p.bone);
        for (const CWeapon& weapon : soldier.weapons) {
            PrefetchRecord(weapon.model);
            PrefetchBodyRoot(weapon.collision);
        }
        if (const CNode* root = soldier.fallbackWeapon.model.GetRoot())
            PrefetchNode(root);
        PrefetchBodyRoot(soldier.fallbackWeapon.collision);
        break;
    default:
        if (const CNode* root = soldier.model.GetRoot())
            PrefetchChildLinks(root);
        for (const BonePose& p : pose)
            PrefetchChildLinks(p.bone);
        for (const CWeapon& weapon : soldier.weapons) {
            if (const CNode* root = weapon.model.GetRoot())
                PrefetchNode(root);
        }
        if (const CNode* root = soldier.fallbackWeapon.model.GetRoot())
            PrefetchChildLinks(root);
        break;
    }
}
