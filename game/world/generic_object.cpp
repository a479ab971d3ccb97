// Props: a mesh placed by the level, static or moving under physics.
#include "game/world/generic_object.h"

#include "core/error.h"
#include "core/strings.h"
#include "render/node.h"

CGenericObject::CGenericObject(CWorldAccess* owner)
    : hitPoints(DefaultHitPoints), dynamic(false), world(owner) {
    Matrix4Identity(transform);
    Matrix3Identity(heading);
}

CGenericObject::~CGenericObject() {
    collision.Release();
    model.DropRecord();
}

bool CGenericObject::LoadMesh(const std::string& path, bool isDynamic, float points) {
    collision.Release();
    if (!LoadModel(model, path, false, true) || !model.GetRoot()) {
        ReportError("Error", "CGenericObject::LoadMesh()-no model " + path);
        return false;
    }
    dynamic = isDynamic;
    hitPoints = points;
    collision.AttachForMesh(model, GetFileBaseName(path));
    PlaceModel();
    return true;
}

bool CGenericObject::HasModel() const {
    return model.GetRoot() != nullptr;
}

void CGenericObject::SetPosition(const Vector3& position) {
    body.position = position;
    transform.m[3] = position.x;
    transform.m[7] = position.y;
    transform.m[11] = position.z;
    PlaceModel();
}

void CGenericObject::SetTransform(const Matrix4& matrix) {
    transform = matrix;
    Matrix3FromMatrix4(heading, matrix);
    Matrix4GetTranslation(body.position, matrix);
    PlaceModel();
}

// The transform onto the model's root node, then the collision body follows.
void CGenericObject::PlaceModel() {
    if (CNode* root = model.GetRoot())
        root->SetMatrix(transform);
    collision.SetTransforms();
    collision.Update();
}

void CGenericObject::Update(float dt) {
    if (!dynamic || !world)
        return;
    MoveAndCollideProp(body, *world, this, dt);
    // The ground tilt over the placed heading, at the body's position.
    Matrix3 r;
    Matrix3Multiply(r, body.tilt, heading);
    Matrix4FromMatrix3(transform, r);
    transform.m[3] = body.position.x;
    transform.m[7] = body.position.y;
    transform.m[11] = body.position.z;
    PlaceModel();
}
