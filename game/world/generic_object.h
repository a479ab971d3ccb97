// CGenericObject: a prop placed by the level file, static or moving under
// physics, with hit points.
#ifndef GAME_WORLD_GENERIC_OBJECT_H
#define GAME_WORLD_GENERIC_OBJECT_H

#include <string>

#include "game/world/physics_body.h"
#include "game/world/world_object.h"

class CWorldAccess;

const float DefaultHitPoints = 1000.0f;

class CGenericObject : public CWorldObject {
public:
    explicit CGenericObject(CWorldAccess* world);
    ~CGenericObject() override;

    const Vector3& GetPosition() const override { return body.position; }
    // Also moves the model and the collision body.
    void SetPosition(const Vector3& position) override;
    // Copies the matrix onto the model's root node and refreshes the
    // collision body, so a placed prop is hit where it stands.
    void SetTransform(const Matrix4& matrix) override;
    const Vector3& GetVelocity() const override { return body.velocity; }
    void SetVelocity(const Vector3& velocity) override { body.velocity = velocity; }

    // The model from the model cache, or loaded when the path ends in
    // ".mbm", and the collision body built for it. False when neither gives
    // a model.
    bool LoadMesh(const std::string& path, bool dynamic, float hitPoints);
    // A dynamic prop moves and is grounded; its transform keeps its heading
    // and the ground tilt.
    void Update(float dt);
    bool HasModel() const;
    bool IsDynamic() const { return dynamic; }
    float GetHitPoints() const { return hitPoints; }

    PhysicsBody body;

private:
    CGenericObject(const CGenericObject&) = delete;
    CGenericObject& operator=(const CGenericObject&) = delete;
    void PlaceModel();

    Matrix3 heading;   // rotation of the last SetTransform
    float hitPoints;
    bool dynamic;
    CWorldAccess* world;
};

#endif
