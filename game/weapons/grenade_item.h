// A grenade carried by a soldier or lying in the world. Held by value in
// lists, so a copy gets its own model instance and collision body.
#ifndef GAME_WEAPONS_GRENADE_ITEM_H
#define GAME_WEAPONS_GRENADE_ITEM_H

#include "game/world/physics_body.h"
#include "game/world/world_object.h"

class CBattleWorld;

const int GrenadeAtRest = 0;
const int GrenadeFlying = 1;

class CGrenadeItem : public CWorldObject {
public:
    // flag GrenadeFlying: the item falls until it rests; anything else: at rest.
    CGrenadeItem(int type, CBattleWorld* world, int flag);
    CGrenadeItem(const CGrenadeItem& other);
    CGrenadeItem& operator=(const CGrenadeItem& other);
    ~CGrenadeItem() override;

    const Vector3& GetPosition() const override { return body.position; }
    void SetPosition(const Vector3& position) override { body.position = position; }
    const Vector3& GetVelocity() const override { return body.velocity; }
    void SetVelocity(const Vector3& velocity) override { body.velocity = velocity; }
    const Matrix4& GetTransform() const override;

    // Identity rotation at the item's position.
    void UpdateTransform();
    // The world's item step: motion, transform, collision body.
    void Update(float dt);

    CBattleWorld* world;
    int type;
    int state;
    PhysicsBody body;

private:
    void CopyFrom(const CGrenadeItem& other);
};

#endif
