#include "game/weapons/item_model.h"

#include <cmath>

#include "core/random.h"
#include "core/strings.h"
#include "render/node.h"

bool LoadObjectModel(CModel& model, const std::string& path) {
    if (LoadModel(model, path, false, true) && model.GetRoot())
        return true;
    model.DropRecord();
    return false;
}

void CopyModelInstance(CModel& out, const CModel& in) {
    out.DropRecord();
    const ModelRecord* record = in.GetRecord();
    if (!record || !record->root)
        return;
    out.CreateFromRoot(new CNode(*record->root), record->name, record->readable, true,
                       record->cacheId);
}

void AttachBodyToModel(CCollisionBody& body, const CModel& model) {
    body.Release();
    if (model.GetRoot())
        body.AttachForMesh(model, GetFileBaseName(model.GetRecord()->name));
}

void CopyModelAndBody(CModel& model, CCollisionBody& body, const CModel& otherModel) {
    body.Release();
    CopyModelInstance(model, otherModel);
    AttachBodyToModel(body, model);
}

Vector3 NodeTranslation(CNode* node) {
    const Matrix4& m = node->GetWorldMatrix();
    return Vector3{m.m[3], m.m[7], m.m[11]};
}

void BuildObjectTransform(Matrix4& out, const Vector3& direction, const Vector3& position) {
    if (std::fabs(direction.x) + std::fabs(direction.y) < 1e-5f || !std::isfinite(direction.x) ||
        !std::isfinite(direction.y) || !std::isfinite(direction.z))
        Matrix4Identity(out);
    else
        Matrix4FromDirection(direction, out);
    out.m[3] = position.x;
    out.m[7] = position.y;
    out.m[11] = position.z;
}

float RandUnit() {
    return (float)GameRand() / (float)GameRandMax;
}
