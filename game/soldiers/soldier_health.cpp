// Damage, armour regeneration, death and the items a dying soldier drops.
#include <cmath>

#include "game/soldiers/soldier.h"
#include "game/soldiers/vehicle.h"
#include "game/stats.h"
#include "game/weapons/battle_world.h"
#include "game/weapons/item_model.h"

void CSoldier::TakeDamage(CCollisionProjectile* attacker, float damage, const Vector3& /*point*/) {
    if (health <= 0.0f || !(damage > 0.0f))
        return;
    if (!playerControlled && attacker && world)
        world->OnSoldierAttacked(this, attacker);
    armour -= damage;
    if (armour < 0.0f) {
        health -= std::fabs(armour);
        armour = 0.0f;
    }
    if (health <= 0.0f) {
        if (attacker && IsPlayer() && world) {
            world->AddMessage("Dalvek", "data\\ui\\avatar.png",
                              "You can't win Soldier. Take your Korrin, before they all fall apart.");
        }
        health = 0.0f;
        // The dead stay in their seat, but nobody drives on.
        if (vehicle && seated == SEAT_DRIVER)
            vehicle->ClearDriving();
        DropItems();
        LeaveTeamAI();
    }
    ResetHitReaction();
}

void CSoldier::ResetHitReaction() {
    regenerating = false;
    regenerationDelay = RegenerationDelay;
}

void CSoldier::LeaveTeamAI() {
    if (world)
        world->OnSoldierLeavesTeamAI(this);
}

void CSoldier::RegenerateArmour(float dt) {
    if (regenerating) {
        armour += RegenerationRate * dt;
        float maximum = GetSoldierType(type).maxArmour;
        if (armour > maximum) {
            armour = maximum;
            regenerating = false;
        }
        return;
    }
    regenerationDelay -= dt;
    if (regenerationDelay < 0.0f) {
        regenerationDelay = 0.0f;
        regenerating = true;
    }
}

// Seven draws: a mostly upward throw, 10 units per second.
static Vector3 DropVelocity() {
    float r[8];
    for (int i = 1; i <= 7; i++)
        r[i] = RandUnit();
    float scale = 0.6f + 0.4f * r[6];
    Vector3 v{(r[4] - r[5]) * scale, (r[2] - r[3]) * scale,
              std::fabs(r[1]) * scale + 0.2f * (1.0f + r[7])};
    Vector3NormalizeInPlace(v);
    Vector3Scale(v, v, 10.0f);
    return v;
}

void CSoldier::ThrowIntoWorld(CWeapon& weapon, const Vector3& velocity) {
    weapon.state = WEAPON_FLYING;
    const Matrix4& m = weapon.GetTransform();
    weapon.body.position = Vector3{m.m[3], m.m[7], m.m[11]};
    weapon.body.velocity = velocity;
    weapon.body.resting = 0;
}

void CSoldier::DropItems() {
    if (world) {
        for (CWeapon& w : weapons) {
            ThrowIntoWorld(w, DropVelocity());
            world->AddDroppedWeapon(w);
        }
        for (CGrenadeItem& g : grenades) {
            g.state = GrenadeFlying;
            Vector3Add(g.body.position, GetPosition(), Vector3{0.0f, 0.0f, 3.0f});
            g.body.velocity = DropVelocity();
            g.body.resting = 0;
            world->AddDroppedGrenade(g);
        }
    }
    weapons.clear();
    grenades.clear();
    currentWeapon = 0;
}
