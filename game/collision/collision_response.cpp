// What a projectile does to what it hit, and the blast of an explosion.
#include <cmath>
#include <string>

#include "core/random.h"
#include "core/strings.h"
#include "game/collision/collision_body.h"
#include "game/collision/collision_phases.h"
#include "game/particles/particle_system.h"
#include "game/world/generic_object.h"
#include "render/animation.h"
#include "render/node.h"

namespace {

const float TearVelocityFactor = 1.5f;
const float RestingSpeed = 0.001f;
const float BounceLift = 0.01f;
// e as the float the blast falls off by.
const float BlastBase = 2.7182819843292236f;

enum Behaviour {
    BEHAVIOUR_BULLET = 1,
    BEHAVIOUR_STOP = 2,
    BEHAVIOUR_FIRE = 3,
    BEHAVIOUR_STOP_QUIETLY = 5,
    BEHAVIOUR_GRENADE = 6
};

void Reflect(BallisticBody& body, const Vector3& n) {
    Vector3MultiplyAdd(body.direction, body.direction, n,
                       -2.0f * Vector3Dot(body.direction, n));
}

// Speed by the bounce factor, direction reflected about the normal.
void Bounce(CCollisionProjectile& projectile, const Vector3& normal, bool setBounced) {
    BallisticBody& body = projectile.GetBody();
    body.speed *= projectile.GetBounceFactor();
    Reflect(body, normal);
    if (setBounced)
        projectile.SetBounced();
}

CWorldObject* EffectTarget(const CollisionContact& contact) {
    // Vehicles and further objects are not world objects: nothing attaches to them.
    if (contact.kind == CONTACT_SOLDIER && contact.object)
        return static_cast<CSoldierTarget*>(contact.object)->GetWorldObject();
    if (contact.kind == CONTACT_PROP)
        return static_cast<CGenericObject*>(contact.object);
    return nullptr;
}

void StartImpactEffect(const CollisionContact& contact, CCollisionProjectile& projectile,
                       CWorldAccess& world) {
    CParticleSystem* particles = world.GetParticleSystem();
    if (!particles)
        return;
    switch (projectile.GetBehaviour()) {
    case BEHAVIOUR_BULLET: {
        // The sparks leave the surface: the burst reflects the way back out.
        Vector3 back;
        Vector3Scale(back, projectile.GetBody().direction, -1.0f);
        particles->AddImpactBurst(contact.normal, back, contact.point);
        break;
    }
    case BEHAVIOUR_FIRE:
        if (CWorldObject* object = EffectTarget(contact))
            particles->AddAttachedEffect(object, contact.point);
        break;
    case BEHAVIOUR_GRENADE:
        particles->SpawnExplosionSphere(contact.point);
        break;
    default:
        break;
    }
}

void EffectIfVisible(const CollisionContact& contact, CCollisionProjectile& projectile,
                     CWorldAccess& world) {
    if (!world.IsPointOutsideView(contact.point))
        StartImpactEffect(contact, projectile, world);
}

void RecordPlayerHit(const CollisionContact& contact, CCollisionProjectile& projectile,
                     CWorldAccess& world) {
    CSoldierTarget* player = world.GetPlayerSoldier();
    if (player && projectile.GetOwner() == player)
        world.AddHitRecord(contact.node ? contact.node->name.c_str() : "", contact.point);
}

// Only a node below another, whose part hangs under another part, can come
// off: a root would stay owned by the soldier's model and body.
void TearLimb(CollisionContact& contact, CSoldierTarget& soldier,
              CCollisionProjectile& projectile, CWorldAccess& world) {
    CNode* node = contact.node;
    CCollisionBody& body = soldier.GetCollisionBody();
    CCollisionPart* part = body.root ? body.root->FindPart(node) : nullptr;
    if (!node->parent || !part || !part->parent)
        return;
    node->Detach(true);
    soldier.RenewBones();
    part->parent->RemoveChild(part);
    const BallisticBody& flight = projectile.GetBody();
    Vector3 velocity;
    Vector3Scale(velocity, flight.direction, flight.speed * TearVelocityFactor);
    world.AddSoldierScrap(node, part, velocity);
    if (CAnimator* animator = soldier.GetAnimator())
        animator->ExcludeBones(node);
    contact.node = nullptr;
    contact.bodyPart = 0;
}

void HitSoldier(CollisionContact& contact, CSoldierTarget& soldier,
                CCollisionProjectile& projectile, CWorldAccess& world) {
    projectile.Stop();
    soldier.TakeDamage(&projectile, projectile.GetDamage(), contact.point);
    RecordPlayerHit(contact, projectile, world);
    if (contact.bodyPart == ContactBodyPart && contact.node && GameRand() % 100 < TearChance &&
        contact.node->name != "Hip" && contact.node->name != "Chest")
        TearLimb(contact, soldier, projectile, world);
    EffectIfVisible(contact, projectile, world);
}

void RespondToSoldier(CollisionContact& contact, CCollisionProjectile& projectile,
                      CWorldAccess& world) {
    CSoldierTarget& soldier = *static_cast<CSoldierTarget*>(contact.object);
    switch (projectile.GetBehaviour()) {
    case BEHAVIOUR_BULLET:
        HitSoldier(contact, soldier, projectile, world);
        break;
    case BEHAVIOUR_FIRE:
        projectile.Stop();
        soldier.TakeDamage(&projectile, projectile.GetDamage(), contact.point);
        RecordPlayerHit(contact, projectile, world);
        StartImpactEffect(contact, projectile, world);
        break;
    case BEHAVIOUR_STOP:
    case BEHAVIOUR_STOP_QUIETLY:
        projectile.Stop();
        break;
    case BEHAVIOUR_GRENADE:
        Bounce(projectile, contact.normal, true);
        break;
    default:
        break;
    }
}

} // namespace

void CollisionResponse(CollisionContact& contact, CCollisionProjectile& projectile,
                       CWorldAccess& world) {
    int behaviour = projectile.GetBehaviour();
    switch (contact.kind) {
    case CONTACT_SOLDIER:
        if (contact.object)
            RespondToSoldier(contact, projectile, world);
        break;
    case CONTACT_VEHICLE:
    case CONTACT_PROP:
        if (behaviour == BEHAVIOUR_BULLET) {
            EffectIfVisible(contact, projectile, world);
            projectile.Stop();
        } else if (behaviour == BEHAVIOUR_STOP || behaviour == BEHAVIOUR_FIRE ||
                   behaviour == BEHAVIOUR_STOP_QUIETLY) {
            projectile.Stop();
        } else if (behaviour == BEHAVIOUR_GRENADE) {
            Bounce(projectile, contact.normal, true);
        }
        break;
    case CONTACT_FURTHER:
        if (behaviour == BEHAVIOUR_GRENADE)
            Bounce(projectile, contact.normal, false);
        else if (behaviour == BEHAVIOUR_BULLET || behaviour == BEHAVIOUR_STOP ||
                 behaviour == BEHAVIOUR_FIRE || behaviour == BEHAVIOUR_STOP_QUIETLY)
            projectile.Stop();
        break;
    default:
        break;
    }
}

void TerrainResponse(CollisionContact& contact, CCollisionProjectile& projectile,
                     CWorldAccess& world) {
    switch (projectile.GetBehaviour()) {
    case BEHAVIOUR_BULLET:
        EffectIfVisible(contact, projectile, world);
        projectile.Stop();
        break;
    case BEHAVIOUR_STOP:
    case BEHAVIOUR_FIRE:
        projectile.Stop();
        break;
    case BEHAVIOUR_STOP_QUIETLY:
        StartImpactEffect(contact, projectile, world);
        projectile.Stop();
        break;
    case BEHAVIOUR_GRENADE: {
        Bounce(projectile, contact.normal, true);
        BallisticBody& body = projectile.GetBody();
        if (body.frozen)
            break;
        body.position = contact.point;
        if (body.direction.z < GeometryTolerance || body.speed < RestingSpeed)
            body.frozen = 1;
        else
            body.position.z += BounceLift;
        break;
    }
    default:
        break;
    }
}

void ProjectileHitTest(CWorldAccess& world, const Sphere& sphere, float maximumDamage) {
    if (!(sphere.radius > 0.0f))
        return;
    std::vector<CSoldierTarget*> soldiers;
    world.CollectSoldiers(soldiers);
    for (CSoldierTarget* soldier : soldiers) {
        CollisionContact contact;
        if (!(soldier->GetHealth() > 0.0f) ||
            !SphereHitsBody(soldier->GetCollisionBody(), sphere, contact))
            continue;
        float d = Vector3Distance(sphere.centre, contact.point);
        float damage = maximumDamage * std::pow(BlastBase, -d / sphere.radius);
        if (soldier->GetHealth() > 0.0f && damage > 0.0f) {
            float armour = soldier->GetArmour() - damage;
            if (armour < 0.0f) {
                soldier->SetHealth(soldier->GetHealth() + armour);
                armour = 0.0f;
            }
            soldier->SetArmour(armour);
            if (soldier->GetHealth() <= 0.0f) {
                soldier->SetHealth(0.0f);
                soldier->DropItems();
                soldier->LeaveTeamAI();
            }
            soldier->ResetHitReaction();
        }
        world.AddHitRecord(WholeNumberText(damage).c_str(), contact.point);
    }
}
