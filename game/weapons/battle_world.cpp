#include "game/weapons/battle_world.h"

#include "game/soldiers/soldier.h"
#include "game/soldiers/vehicle.h"

CBattleWorld::CBattleWorld() : projectiles(this), playerSoldier(nullptr), soundBudget(0.0f) {}

CBattleWorld::~CBattleWorld() {
    projectiles.world = nullptr;
    projectiles.Clear();
}

CWeapon& CBattleWorld::AddDroppedWeapon(const CWeapon& weapon) {
    droppedWeapons.push_back(weapon);
    return droppedWeapons.back();
}

CGrenadeItem& CBattleWorld::AddDroppedGrenade(const CGrenadeItem& item) {
    droppedGrenades.push_back(item);
    return droppedGrenades.back();
}

void CBattleWorld::RemoveDroppedWeapon(CWeapon* weapon) {
    for (auto it = droppedWeapons.begin(); it != droppedWeapons.end(); ++it) {
        if (&*it != weapon)
            continue;
        for (CSoldier* s : soldiers) {
            if (s && s->weaponInReach == weapon)
                s->weaponInReach = nullptr;
        }
        droppedWeapons.erase(it);
        return;
    }
}

void CBattleWorld::RemoveDroppedGrenade(CGrenadeItem* item) {
    for (auto it = droppedGrenades.begin(); it != droppedGrenades.end(); ++it) {
        if (&*it == item) {
            droppedGrenades.erase(it);
            return;
        }
    }
}

void CBattleWorld::ForgetProjectile(CProjectile* projectile) {
    for (CSoldier* s : soldiers) {
        if (s && s->ai.rememberedGrenade == projectile)
            s->ai.rememberedGrenade = nullptr;
    }
    OnProjectileRemoved(projectile);
}

void CBattleWorld::OnProjectileRemoved(CProjectile*) {}

void CBattleWorld::OnSoldierAttacked(CSoldier*, CCollisionProjectile*) {}
void CBattleWorld::OnSoldierLeavesTeamAI(CSoldier*) {}
void CBattleWorld::AddMessage(const std::string&, const std::string&, const std::string&) {}

void CBattleWorld::CollectSoldiers(std::vector<CSoldierTarget*>& out) {
    for (CSoldier* s : soldiers)
        out.push_back(s);
}

void CBattleWorld::CollectVehicles(std::vector<WorldBodyEntry>& out) {
    for (CVehicle* v : vehicles)
        out.push_back(WorldBodyEntry{&v->collision, v});
}

void CBattleWorld::CollectDroppedWeapons(std::vector<WorldBodyEntry>& out) {
    for (CWeapon& w : droppedWeapons)
        out.push_back(WorldBodyEntry{&w.collision, &w});
}

void CBattleWorld::CollectDroppedGrenades(std::vector<WorldBodyEntry>& out) {
    for (CGrenadeItem& g : droppedGrenades)
        out.push_back(WorldBodyEntry{&g.collision, &g});
}

void CBattleWorld::CollectProjectiles(std::vector<CCollisionProjectile*>& out) {
    for (CProjectile& p : projectiles.projectiles)
        out.push_back(&p);
}

CSoldierTarget* CBattleWorld::GetPlayerSoldier() {
    return playerSoldier;
}
