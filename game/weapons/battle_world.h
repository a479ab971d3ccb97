// What weapons, projectiles, grenade items, soldiers and vehicles need of
// the world that owns them: the lists of dropped items, soldiers and
// vehicles, the projectile manager, and hooks into the systems beside them
// (soldier and team AI, messages). The world derives from it and
// supplies the rest of CWorldAccess; tests derive small fakes.
#ifndef GAME_WEAPONS_BATTLE_WORLD_H
#define GAME_WEAPONS_BATTLE_WORLD_H

#include <list>
#include <string>
#include <vector>

#include "game/weapons/grenade_item.h"
#include "game/weapons/projectile.h"
#include "game/weapons/weapon.h"
#include "game/world/world_access.h"

class CSoldier;
class CVehicle;

class CBattleWorld : public CWorldAccess {
public:
    CBattleWorld();
    ~CBattleWorld() override;

    // Copies an item into the world's list; the copy lies in the world.
    CWeapon& AddDroppedWeapon(const CWeapon& weapon);
    CGrenadeItem& AddDroppedGrenade(const CGrenadeItem& item);
    // Erases the element; every soldier's "weapon in reach" pointing at it
    // is cleared first. Nothing when it is not in the list.
    void RemoveDroppedWeapon(CWeapon* weapon);
    void RemoveDroppedGrenade(CGrenadeItem* item);
    // A removed projectile: soldiers that remember it forget it, then the
    // team AI is told.
    void ForgetProjectile(CProjectile* projectile);
    virtual void OnProjectileRemoved(CProjectile* projectile);

    // Soldier AI: a soldier was hit by attacker.
    virtual void OnSoldierAttacked(CSoldier* soldier, CCollisionProjectile* attacker);
    // Team AI: a dead soldier no longer counts.
    virtual void OnSoldierLeavesTeamAI(CSoldier* soldier);
    // A dialogue line (speaker, picture, text).
    virtual void AddMessage(const std::string& speaker, const std::string& image,
                            const std::string& text);

    // The parts of CWorldAccess these lists answer.
    void CollectSoldiers(std::vector<CSoldierTarget*>& out) override;
    void CollectVehicles(std::vector<WorldBodyEntry>& out) override;
    void CollectDroppedWeapons(std::vector<WorldBodyEntry>& out) override;
    void CollectDroppedGrenades(std::vector<WorldBodyEntry>& out) override;
    void CollectProjectiles(std::vector<CCollisionProjectile*>& out) override;
    CSoldierTarget* GetPlayerSoldier() override;

    // Elements never move while they are listed, so pointers to them stay
    // good until they are removed.
    std::list<CWeapon> droppedWeapons;
    std::list<CGrenadeItem> droppedGrenades;
    std::vector<CSoldier*> soldiers;   // owned by the world
    std::vector<CVehicle*> vehicles;   // owned by the world
    CProjectileManager projectiles;
    // The soldier the player controls (the controller's soldier), or none.
    CSoldier* playerSoldier;
    // Shared by every soldier: grows with each rifle sound, drained by the
    // player's soldier's updates.
    float soundBudget;
};

#endif
