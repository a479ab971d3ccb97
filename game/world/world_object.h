// CWorldObject: what stands in the world at a position (soldiers, weapons,
// projectiles, props; vehicles are not world objects). The culling pass, the
// renderer and the level loader see objects only through it.
#ifndef GAME_WORLD_WORLD_OBJECT_H
#define GAME_WORLD_WORLD_OBJECT_H

#include "core/matrix.h"
#include "core/vector.h"
#include "game/collision/collision_body.h"
#include "render/model.h"

class CWorldObject {
public:
    CWorldObject();
    virtual ~CWorldObject();

    // Defaults: a zero vector that no caller can write through.
    virtual const Vector3& GetPosition() const;
    virtual void SetPosition(const Vector3& position);
    // SetPosition (GetPosition + delta) for every class.
    void Move(const Vector3& delta);
    virtual const Matrix4& GetTransform() const { return transform; }
    virtual void SetTransform(const Matrix4& matrix);
    virtual float GetScale() const { return 1.0f; }
    virtual const Vector3& GetVelocity() const;
    virtual void SetVelocity(const Vector3& velocity);

    // Rotation rows (cos a, sin a, 0), (-sin a, cos a, 0), (0, 0, 1) at the
    // current position, through SetTransform; earlier rotation is dropped.
    // M.p turns the x axis to (cos a, -sin a, 0): a facing vector built from
    // a level heading must be (cos a, -sin a, 0) to agree.
    void SetHeading(float angle);

    CModel model;
    CCollisionBody collision;

protected:
    // Weapons, grenade items and projectiles are held by value and copied:
    // a copy shares the model handle (the owner re-instantiates it) and its
    // collision body starts detached.
    CWorldObject(const CWorldObject&) = default;
    CWorldObject& operator=(const CWorldObject&) = default;

    Matrix4 transform;
};

#endif
