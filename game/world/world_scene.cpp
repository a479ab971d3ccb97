// CWorldDrawScene: the visible lists hold each object as a pointer to its own
// class (see CWorld::GetCullEntries); here they become nodes.
#include "game/world/world_scene.h"

#include "game/soldiers/soldier.h"
#include "game/soldiers/vehicle.h"
#include "game/world/generic_object.h"
#include "game/world/world.h"
#include "render/node.h"

const CVisibilityLists& CWorldDrawScene::GetVisibility() { return world.visibility; }
void CWorldDrawScene::DrawTerrain() { world.terrain.Draw(); }
void CWorldDrawScene::DrawGrass() { world.terrain.DrawGrass(); }
void CWorldDrawScene::DrawParticles() { world.particles.Draw(); }

CNode* CWorldDrawScene::GetNode(VisibilityList list, void* object) {
    if (!object)
        return nullptr;
    switch (list) {
    case VisSoldiers:
        return static_cast<CSoldier*>(object)->model.GetRoot();
    case VisVehicles:
        return static_cast<CVehicle*>(object)->model.GetRoot();
    case VisGenerics:
        return static_cast<CGenericObject*>(object)->model.GetRoot();
    case VisWeapons:
        return static_cast<CWeapon*>(object)->model.GetRoot();
    case VisGrenades:
        return static_cast<CGrenadeItem*>(object)->model.GetRoot();
    case VisProjectiles:
        return static_cast<CProjectile*>(object)->model.GetRoot();
    case VisSoldierScrap:
    case VisVehicleScrap:
        return static_cast<ScrapEntry*>(object)->node;
    default:
        return nullptr;
    }
}

// GetCurrentWeapon keeps the index within the list and gives the built-in
// weapon when the list is empty.
CNode* CWorldDrawScene::GetWeaponNode(void* soldier) {
    return soldier ? static_cast<CSoldier*>(soldier)->GetCurrentWeapon().model.GetRoot() : nullptr;
}

// The world hands the culling pass its bodies' part trees, so every piece
// of a part list is a collision part, drawn through its scene node.
CNode* CWorldDrawScene::GetPartNode(const CCullTree* part) {
    return part ? static_cast<const CCollisionPart*>(part)->node : nullptr;
}

int CWorldDrawScene::GetProjectileKind(void* projectile) {
    return projectile ? static_cast<CProjectile*>(projectile)->kind : 0;
}
