#include "game/weapons/weapon.h"

#include "game/stats.h"
#include "game/weapons/battle_world.h"
#include "game/weapons/item_model.h"
#include "render/node.h"

CWeapon::CWeapon(int weaponType, CBattleWorld* owner, int initialState)
    : world(owner), type(weaponType), reserve(0), clip(0), state(initialState), coolDown(0.0f) {
    body.mass = 10.0f;
    const WeaponType& t = GetWeaponType(type);
    clip = t.clipSize;
    reserve = t.ammunition - t.clipSize;
    if (LoadObjectModel(model, t.model))
        AttachBodyToModel(collision, model);
}

CWeapon::CWeapon(const CWeapon& other) : CWorldObject() {
    CopyFrom(other);
}

CWeapon& CWeapon::operator=(const CWeapon& other) {
    if (this != &other)
        CopyFrom(other);
    return *this;
}

CWeapon::~CWeapon() {
    collision.Release();
}

void CWeapon::CopyFrom(const CWeapon& other) {
    world = other.world;
    type = other.type;
    reserve = other.reserve;
    clip = other.clip;
    state = other.state;
    body = other.body;
    coolDown = other.coolDown;
    transform = other.transform;
    CopyModelAndBody(model, collision, other.model);
}

const Matrix4& CWeapon::GetTransform() const {
    CNode* root = model.GetRoot();
    return root ? root->GetWorldMatrix() : transform;
}

void CWeapon::SetTransform(const Matrix4& matrix) {
    transform = matrix;
    if (CNode* root = model.GetRoot())
        root->SetMatrix(matrix);
}

bool CWeapon::TryFire() {
    if (coolDown > 0.0f)
        return false;
    if (!HasUnlimitedAmmo(type)) {
        if (clip <= 0)
            return false;
        clip--;
    }
    coolDown = GetWeaponType(type).coolDown;
    return true;
}

bool CWeapon::Reload() {
    int clipSize = GetWeaponType(type).clipSize;
    int space = clipSize - clip;
    if (reserve < space) {
        if (reserve == 0)
            return false;
        clip += reserve;
        reserve = 0;
    } else {
        clip = clipSize;
        reserve -= space;
    }
    return true;
}

void CWeapon::Refill() {
    const WeaponType& t = GetWeaponType(type);
    clip = t.clipSize;
    reserve = t.ammunition - t.clipSize;
    coolDown = 0.0f;
}

int CWeapon::AddAmmo(int amount) {
    int before = reserve;
    reserve += amount;
    int maxReserve = GetWeaponType(type).maxReserve;
    if (reserve > maxReserve)
        reserve = maxReserve;
    return reserve - before;
}

void CWeapon::Update(float dt) {
    if (state == WEAPON_FLYING) {
        if (world)
            MoveAndCollideItem(body, *world, this, dt);
    } else {
        coolDown = coolDown < 0.0f ? 0.0f : coolDown - dt;
    }
    Matrix4 m;
    BuildObjectTransform(m, body.direction, body.position);
    SetTransform(m);
    collision.Update();
}

CNode* CWeapon::FindMuzzle() {
    return muzzle.Get(model, 0);
}
