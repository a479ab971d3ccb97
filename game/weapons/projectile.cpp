#include "game/weapons/projectile.h"

#include <cmath>

#include "app/console.h"
#include "game/collision/collision_phases.h"
#include "game/particles/particle_system.h"
#include "game/soldiers/soldier.h"
#include "game/stats.h"
#include "game/weapons/battle_world.h"
#include "game/weapons/item_model.h"
#include "render/node.h"

CProjectile::CProjectile()
    : kind(0), damage(0.0f), alive(false), owner(nullptr), effectFlag(nullptr), fuse(0.0f),
      armed(false), bounceFactor(0.0f) {}

CProjectile::CProjectile(const CProjectile& other) : CWorldObject(), CCollisionProjectile() {
    CopyFrom(other);
}

CProjectile& CProjectile::operator=(const CProjectile& other) {
    if (this != &other)
        CopyFrom(other);
    return *this;
}

CProjectile::~CProjectile() {
    collision.Release();
}

void CProjectile::CopyFrom(const CProjectile& other) {
    body = other.body;
    kind = other.kind;
    damage = other.damage;
    alive = other.alive;
    owner = other.owner;
    effectFlag = other.effectFlag;
    fuse = other.fuse;
    armed = other.armed;
    bounceFactor = other.bounceFactor;
    velocity = other.velocity;
    transform = other.transform;
    CopyModelAndBody(model, collision, other.model);
}

const Matrix4& CProjectile::GetTransform() const {
    CNode* root = model.GetRoot();
    return root ? root->GetWorldMatrix() : transform;
}

CSoldierTarget* CProjectile::GetOwner() const {
    return owner;
}

CProjectileManager::CProjectileManager(CBattleWorld* owner) : world(owner) {}

CProjectileManager::~CProjectileManager() {
    world = nullptr;   // the world is going away: nothing of it to tell
    Clear();
}

CProjectile* CProjectileManager::Fire(int kind, const Vector3& origin, const Vector3& direction,
                                      float speed, float damage, CSoldier* owner) {
    projectiles.emplace_back();
    CProjectile& p = projectiles.back();
    const ProjectileType& row = GetProjectileType(kind);
    p.body.position = origin;
    p.body.previous = origin;
    Vector3Normalize(p.body.direction, direction);
    p.body.speed = speed;
    p.body.acceleration = row.acceleration;
    p.body.mass = row.mass;
    p.body.drag = row.drag;
    p.body.gravity = row.gravityFactor;
    p.body.sixth = row.sixthFloat;
    p.body.firstStep = 1;
    p.body.frozen = 0;
    p.bounceFactor = row.bounceFactor;
    p.kind = kind;
    p.damage = damage;
    p.owner = owner;
    p.alive = true;
    if (kind == ProjectileFlare)
        p.fuse = FlareLifetime;
    if (kind == ProjectileGrenade) {
        p.fuse = GetGrenadeType(0).fuse;
        p.armed = false;
    }
    Vector3Scale(p.velocity, p.body.direction, speed);
    if (LoadObjectModel(p.model, row.model))
        AttachBodyToModel(p.collision, p.model);
    if (p.model.GetRoot())
        p.model.GetRoot()->SetPosition(origin);

    CParticleSystem* particles = world ? world->GetParticleSystem() : nullptr;
    if (particles && !world->IsPointOutsideView(origin)) {
        if (kind == ProjectileRifle) {
            FlashRecord flash;
            flash.position = origin;
            flash.time = 0.1f + RandUnit() * 0.0055556f;
            flash.angle = RandUnit() * 0.1f;
            flash.size = 0.5f;
            particles->QueueImpact(flash);
        } else if (kind == ProjectileFlare) {
            if (ObjectEffect* effect = particles->AddObjectEffect(&p))
                p.effectFlag = &effect->running;
        }
    }
    return &p;
}

void CProjectileManager::RunFuse(CProjectile& p, float dt) {
    if (!p.armed)
        return;
    p.fuse -= dt;
    if (p.fuse >= 0.0f)
        return;
    p.alive = false;
    if (!world)
        return;
    if (CParticleSystem* particles = world->GetParticleSystem())
        particles->SpawnExplosionSphere(p.body.position);
    ProjectileHitTest(*world, Sphere{p.body.position, GrenadeBlastRadius}, p.damage);
}

void CProjectileManager::Update(float dt) {
    for (auto it = projectiles.begin(); it != projectiles.end();) {
        CProjectile& p = *it;
        if (p.alive) {
            if (!p.body.firstStep)
                p.body.previous = p.body.position;
            p.body.Integrate(dt);
            Vector3Scale(p.velocity, p.body.direction, p.body.speed);
            if (CNode* root = p.model.GetRoot()) {
                root->MarkDirty();
                root->SetPosition(p.body.position);
            }
            if (p.kind == ProjectileGrenade) {
                RunFuse(p, dt);
            } else if (p.kind == ProjectileFlare) {
                p.fuse -= dt;
                if (p.fuse < 0.0f)
                    p.alive = false;
            }
            if (Vector3Length(p.body.position) > BattleRadius)
                p.alive = false;
            ++it;
        } else {
            auto next = std::next(it);
            Remove(it);
            it = next;
        }
    }
    if (g_debugConsole)
        HookInt(g_debugConsole, "projectilecount", (int32_t)projectiles.size());
}

void CProjectileManager::Remove(std::list<CProjectile>::iterator it) {
    CProjectile& p = *it;
    if (world)
        world->ForgetProjectile(&p);
    if (p.effectFlag)
        *p.effectFlag = 0;
    p.collision.Release();
    p.model.DropRecord();
    projectiles.erase(it);
    removals_++;
}

void CProjectileManager::Clear() {
    while (!projectiles.empty())
        Remove(projectiles.begin());
}
