// A firearm or thrown weapon, carried by a soldier (state 0) or lying in the
// world (state 1, moved by physics). Weapons change hands by copying, so a
// copy gets its own model instance and a collision body on that instance.
#ifndef GAME_WEAPONS_WEAPON_H
#define GAME_WEAPONS_WEAPON_H

#include "game/world/physics_body.h"
#include "game/world/world_object.h"
#include "render/model_bones.h"

class CBattleWorld;

enum WeaponState {
    WEAPON_HELD = 0,
    WEAPON_FLYING = 1
};

// Weapon type indices the battle treats specially.
const int WeaponKnife = 0;
const int WeaponRifle = 1;
const int WeaponFallback = 3;
const int WeaponHatchet = 4;

class CWeapon : public CWorldObject {
public:
    CWeapon(int type, CBattleWorld* world, int state);
    CWeapon(const CWeapon& other);
    CWeapon& operator=(const CWeapon& other);
    ~CWeapon() override;

    const Vector3& GetPosition() const override { return body.position; }
    void SetPosition(const Vector3& position) override { body.position = position; }
    const Matrix4& GetTransform() const override;
    void SetTransform(const Matrix4& matrix) override;
    const Vector3& GetVelocity() const override { return body.velocity; }
    void SetVelocity(const Vector3& velocity) override { body.velocity = velocity; }

    // False while cooling down, or (for weapons that need ammunition) with an
    // empty clip; otherwise uses a shot and starts the cool-down.
    bool TryFire();
    // Moves shots from the reserve into the clip; true when any moved.
    bool Reload();
    void Refill();
    // Adds to the reserve up to the type's maximum; the amount added.
    int AddAmmo(int amount);
    bool NeedsReload() const { return clip <= 0 && reserve > 0; }
    static bool HasUnlimitedAmmo(int type) { return type == WeaponKnife || type == WeaponHatchet; }

    // Flying: moved and grounded by physics. Held: the cool-down runs down.
    // Then the transform and the collision body follow.
    void Update(float dt);
    // The muzzle node, or null when the model has none.
    CNode* FindMuzzle();

    CBattleWorld* world;
    int type;
    int reserve;
    int clip;
    int state;
    PhysicsBody body;   // direction is the aim direction
    float coolDown;

private:
    void CopyFrom(const CWeapon& other);

    static constexpr const char* MuzzleName[1] = {"FPoint"};
    CModelBones muzzle{MuzzleName, 1};   // looked up again for each new instance
};

#endif
