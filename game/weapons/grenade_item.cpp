#include "game/weapons/grenade_item.h"

#include "game/stats.h"
#include "game/weapons/battle_world.h"
#include "game/weapons/item_model.h"
#include "render/node.h"

CGrenadeItem::CGrenadeItem(int grenadeType, CBattleWorld* owner, int flag)
    : world(owner), type(grenadeType), state(flag == GrenadeFlying ? GrenadeFlying : GrenadeAtRest) {
    if (LoadObjectModel(model, GetGrenadeType(type).model))
        AttachBodyToModel(collision, model);
}

CGrenadeItem::CGrenadeItem(const CGrenadeItem& other) : CWorldObject() {
    CopyFrom(other);
}

CGrenadeItem& CGrenadeItem::operator=(const CGrenadeItem& other) {
    if (this != &other)
        CopyFrom(other);
    return *this;
}

CGrenadeItem::~CGrenadeItem() {
    collision.Release();
}

void CGrenadeItem::CopyFrom(const CGrenadeItem& other) {
    world = other.world;
    type = other.type;
    state = other.state;
    body = other.body;
    transform = other.transform;
    CopyModelAndBody(model, collision, other.model);
}

const Matrix4& CGrenadeItem::GetTransform() const {
    CNode* root = model.GetRoot();
    return root ? root->GetWorldMatrix() : transform;
}

void CGrenadeItem::UpdateTransform() {
    Matrix4Identity(transform);
    transform.m[3] = body.position.x;
    transform.m[7] = body.position.y;
    transform.m[11] = body.position.z;
    if (CNode* root = model.GetRoot())
        root->SetMatrix(transform);
}

void CGrenadeItem::Update(float dt) {
    if (world)
        MoveAndCollideItem(body, *world, this, dt);
    UpdateTransform();
    collision.Update();
}
