#include "game/ai/soldier_ai.h"

#include <cmath>

#include "core/matrix.h"
#include "game/ai/ai_math.h"
#include "game/ai/cover.h"
#include "game/ai/perception.h"
#include "game/ai/squad.h"
#include "game/ai/steering.h"
#include "game/ai/targeting.h"
#include "game/ai/team_ai.h"
#include "game/soldiers/soldier.h"
#include "game/soldiers/vehicle.h"
#include "game/weapons/projectile.h"
#include "game/world/world.h"
#include "render/node.h"

namespace {

const float AimDistanceFar = 1000.0f;
const float FireRangeSq = 10000.0f;
const float FireAimDot = 0.95f;
const float GrenadeFleeSq = 225.0f;
const float ProjectileWatchSq = ProjectileMarks::WatchRadius * ProjectileMarks::WatchRadius;
const float ProjectileWatchCos = 0.70710678f;

bool Walking(uint32_t flags) { return (flags & (AiMoving | AiDodging)) != 0; }

bool WallAt(const NavGrid& grid, const Vector3& p) {
    int column, row;
    grid.ColumnRowOf(p, column, row);
    return grid.CellAt(column, row, NavCellFree) >= NavCellWall;
}

void Stand(CSoldier& s) {
    s.ai.waypoint = AiFlat(s.GetPosition());
    s.ai.movementFlags &= ~(AiMoving | AiOwnRoute | AiSquadRoute);
}

// The next node of the route after `node`, or the end.
bool AdvanceNode(CTeamAI& ai, const SquadRoute& route, CSoldier& s) {
    const int index = route.IndexOf(s.ai.routeNode);
    if (index < 0 || index + 1 >= route.Size()) {
        s.ai.routeNode = RouteEnd;
        return false;
    }
    s.ai.routeNode = route.NodeAt(index + 1);
    s.ai.waypoint = ai.grid.CellCentre(route.CellAt(index + 1));
    return true;
}

void UpdateLeader(CTeamAI& ai, CSquad& squad, CSoldier& s, Vector3& m) {
    SoldierAIState& a = s.ai;
    if (squad.threat && a.target && squad.orderKind < OrderTake) {
        SoldierKeepRange(s, m);
        return;
    }
    if (squad.route.Empty() || a.routeNode == RouteEnd)
        return;
    if (squad.route.Stale(a.routeNode)) {
        a.routeNode = RouteEnd;
        a.movementFlags &= ~AiMoving;
        return;
    }
    a.movementFlags |= AiMoving;
    const Vector3 here = AiFlat(s.GetPosition());
    m = AiSub(a.waypoint, here);
    bool reached = Vector3LengthSquared(m) < 1.0f;
    if (squad.orderKind == OrderTake && squad.task)
        reached = reached || AiDistSq(here, squad.goal) < squad.task->radius + 1.0f;
    if (squad.orderKind == OrderPlayer)
        reached = reached || AiDistSq(here, squad.goal) < 100.0f;
    if (reached && !AdvanceNode(ai, squad.route, s))
        a.movementFlags &= ~AiMoving;
}

void UpdateFollower(CTeamAI& ai, CSquad& squad, CSoldier& s, Vector3& m) {
    SoldierAIState& a = s.ai;
    const CSoldier& leader = *squad.leader;
    const Vector3 position = s.GetPosition();
    if (squad.formationSet && !a.cover) {
        const Vector3 d = AiFlat(AiSub(AiAdd(leader.GetPosition(), a.formationOffset), position));
        if (Vector3LengthSquared(d) > 4.0f) {
            m = d;
            a.movementFlags |= AiMoving;
        } else {
            a.movementFlags &= ~AiMoving;
        }
    } else if (a.movementFlags & AiOwnRoute) {
        if (!a.target && ai.LineOfSight(leader.GetPosition(), position)) {
            a.movementFlags &= ~(AiOwnRoute | AiSquadRoute);
            a.waypoint = AiFlat(leader.GetPosition());
        } else if (AiDistSq(AiFlat(position), AiFlat(a.waypoint)) < 0.5f) {
            if (a.movementFlags & AiSquadRoute) {
                if (!AdvanceNode(ai, squad.route, s))
                    a.movementFlags &= ~(AiOwnRoute | AiSquadRoute);
            } else if (squad.threat) {
                a.movementFlags &= ~(AiOwnRoute | AiSquadRoute);
            } else {
                squad.SendTo(&s);
            }
        }
    } else {
        const Vector3 d = AiFlat(AiSub(leader.GetPosition(), position));
        float limit = squad.threat ? 525.0f : a.followDistance;
        if (a.movementFlags & AiCatchingUp)
            limit *= 0.5f;
        if (Vector3LengthSquared(d) > limit) {
            m = d;
            a.movementFlags |= AiMoving | AiCatchingUp;
        } else {
            a.movementFlags &= ~AiCatchingUp;
            if (squad.threat) {
                SoldierKeepRange(s, m);
            } else {
                a.waypoint = AiFlat(position);
                a.movementFlags &= ~AiMoving;
            }
        }
    }
}

void FaceWalk(CSquad& squad, CSoldier& s, const Vector3& m) {
    const CSoldier& leader = *squad.leader;
    const bool looksWithLeader = &s != &leader && !(s.ai.movementFlags & AiOwnRoute) &&
                                 Vector3Dot(s.facing, leader.facing) > 0.0f &&
                                 Vector3Dot(AiSub(leader.GetPosition(), s.GetPosition()), leader.facing) > 0.0f;
    if (looksWithLeader) {
        s.SetAimPoint(leader.facing, AimDistanceFar, false);
        s.SetFacing(leader.facing, false);
    } else {
        s.SetFacing(m, false);
        s.SetAimPoint(m, AimDistanceFar, false);
    }
}

}  // namespace

int SoldierWeaponClass(CSoldier& soldier) { return soldier.GetCurrentWeapon().type; }

void SoldierUpdateAI(CTeamAI& ai, CSoldier& s) {
    CSquad* squad = s.ai.squad;
    if (!squad || !squad->leader)
        return;
    SoldierAIState& a = s.ai;
    Vector3 m = s.facing;
    if (&s == squad->leader)
        UpdateLeader(ai, *squad, s, m);
    else
        UpdateFollower(ai, *squad, s, m);
    if (a.movementFlags & AiOwnRoute) {
        m = AiFlat(AiSub(a.waypoint, s.GetPosition()));
        a.movementFlags |= AiMoving;   // following a route means walking it
    }
    if (a.movementFlags & AiMoving)
        m = AiUnit(m);
    const Vector3 before = m;
    SoldierDodge(ai, s, m);
    if (!AiFinite(m))
        m = before;
    const bool dodging = (a.movementFlags & AiDodging) != 0;
    const bool probed = (a.movementFlags & AiMoving) && SoldierProbeAhead(ai, s, m);
    if (!probed)
        SoldierAvoid(ai, s, m);
    if (dodging)
        a.movementFlags |= AiDodging;
    if (Walking(a.movementFlags)) {
        m = AiUnit(AiFlat(m));
        if (!a.target && !(a.movementFlags & AiAlerted))
            FaceWalk(*squad, s, m);
        s.SelectMoveAnimation(m);
        s.moveDirection = m;
    } else {
        s.SelectMoveAnimation(Vector3{});
        s.moveDirection = Vector3{};
    }
    if (a.movementFlags & AiAlerted) {
        s.SetAimPoint(a.threatDirection, AimDistanceFar, false);
        s.SetFacing(AiUnit(AiFlat(a.threatDirection)), false);
        if (Vector3Dot(a.threatDirection, s.facing) > 0.9f)
            SoldierPerceive(ai, s);
    }
}

bool SoldierProbeAhead(CTeamAI& ai, CSoldier& s, Vector3& m) {
    SoldierAIState& a = s.ai;
    CSquad* squad = a.squad;
    if (!Walking(a.movementFlags) || !squad || !squad->leader || squad->leader == &s)
        return false;
    const Vector3 position = s.GetPosition();
    const Vector3 leader = squad->leader->GetPosition();
    const Vector3 left = AiAdd(position, Vector3{m.x + m.y, m.y - m.x, 0.0f});
    const Vector3 right = AiAdd(position, Vector3{m.x - m.y, m.x + m.y, 0.0f});
    if (WallAt(ai.grid, left) || WallAt(ai.grid, right)) {
        if (ai.LineOfSight(leader, position)) {
            m = AiSub(leader, position);
            a.movementFlags &= ~(AiOwnRoute | AiSquadRoute);
            return true;
        }
    } else {
        const Vector3 ahead = AiAdd(position, AiScale(m, 40.0f));
        if (ai.grid.CellOf(ahead) < 0 || ai.LineOfSight(position, ahead))
            return false;
        if (ai.LineOfSight(leader, position)) {
            m = AiSub(leader, position);
            a.movementFlags &= ~AiOwnRoute;
            return true;
        }
    }
    if ((a.movementFlags & AiOwnRoute) && ai.LineOfSight(a.waypoint, position)) {
        m = AiSub(a.waypoint, position);
        return true;
    }
    squad->SendTo(&s);
    return true;
}

void SoldierAvoid(CTeamAI& ai, CSoldier& s, Vector3& m) {
    SoldierAIState& a = s.ai;
    CSquad* squad = a.squad;
    const Vector3 position = s.GetPosition();
    const Vector3 side{m.y, -m.x, 0.0f};
    const bool walking = Walking(a.movementFlags);
    const float pushRangeSq = squad->threat ? 64.0f : 16.0f;
    const AiObstacle* obstacle = nullptr;
    const CSoldier* mate = nullptr;
    float bestSq = 100000.0f, mateSq = 100.0f;
    Vector3 push;
    const SquadBuckets::Span span = ai.buckets.Around(squad->column, squad->row);
    for (int c = span.column0; c <= span.column1; c++)
        for (int r = span.row0; r <= span.row1; r++) {
            SquadBuckets::Bucket& bucket = ai.buckets.At(c, r);
            if (walking)
                for (const AiObstacle& o : bucket.obstacles) {
                    const float d = AiDistSq(o.point, position);
                    if (d < bestSq && ObstacleInWay(position, m, o.point, o.radius)) {
                        obstacle = &o;
                        bestSq = d;
                    }
                }
            if (obstacle)
                continue;
            for (CSquad* other : bucket.squads) {
                if (!walking && other != squad)
                    continue;
                // Another squad counts only for a mate nearer than the nearest yet.
                if (other != squad && MemberBoxGapSquared(other->box, position) > mateSq * 1.001f)
                    continue;
                for (CSoldier* member : other->members) {
                    if (member == &s)
                        continue;
                    const Vector3 d = AiSub(member->GetPosition(), position);
                    const float dSq = Vector3LengthSquared(d);
                    if (dSq < pushRangeSq && other == squad && squad->leader != &s)
                        AddMatePush(push, position, member->GetPosition());
                    if (walking && Vector3Dot(d, m) > 0.0f && dSq < mateSq &&
                        std::fabs(Vector3Dot(AiSub(position, member->GetPosition()), side)) < 1.0f) {
                        mate = member;
                        mateSq = dSq;
                    }
                }
            }
        }
    const CVehicle* vehicle = nullptr;
    for (const CVehicle* v : ai.world->vehicles) {
        const float radius = v->collision.sphere.radius;
        const float d = AiDistSq(v->body.position, position);
        if (d <= radius * radius && d < bestSq && VehicleInWay(position, m, v->body.position, radius)) {
            vehicle = v;
            bestSq = d;
        }
    }
    if (vehicle)
        m = SteerPast(position, m, vehicle->body.position, vehicle->collision.sphere.radius + 10.0f);
    else if (obstacle)
        m = SteerPast(position, m, obstacle->point, obstacle->radius + 10.0f);
    else if (mate && !(mate == squad->leader && mateSq > 6.0f))
        m = SteerPast(position, m, mate->GetPosition(), 1.0f);
    if (ApplyMatePush(m, push))
        a.movementFlags |= AiDodging;
    else
        a.movementFlags &= ~AiDodging;
}

void SoldierKeepRange(CSoldier& s, Vector3& m) {
    SoldierAIState& a = s.ai;
    CSoldier* target = a.target;
    if (!target)
        return;
    const Vector3 position = s.GetPosition();
    const bool fightsMe = target->ai.target == &s || target->IsPlayer();
    if (!a.cover || !fightsMe) {
        const RangeBand band = KeepRangeBand(SoldierWeaponClass(s), SoldierWeaponClass(*target));
        Vector3 move;
        if (RangeMove(position, target->GetPosition(), band, move)) {
            m = move;
            a.movementFlags |= AiMoving;
        } else {
            Stand(s);
        }
        return;
    }
    if (!(a.movementFlags & AiInCover))
        return;
    CoverCycle cycle;
    cycle.hiding = (a.movementFlags & AiHiding) != 0;
    cycle.counter = int8_t(a.coverCounter);
    cycle.side = a.coverSide != 0;
    Vector3 waypoint, move;
    const bool walk = StepCoverCycle(cycle, position, a.cover->body.position, target->GetPosition(), waypoint, move);
    a.coverCounter = cycle.counter;
    a.coverSide = cycle.side ? 1 : 0;
    if (cycle.hiding)
        a.movementFlags |= AiHiding;
    else
        a.movementFlags &= ~AiHiding;
    if (walk) {
        a.waypoint = waypoint;
        m = move;
        a.movementFlags |= AiMoving;
    } else {
        Stand(s);
    }
}

void SoldierDodge(CTeamAI& ai, CSoldier& s, Vector3& m) {
    SoldierAIState& a = s.ai;
    const Vector3 position = s.GetPosition();
    bool dodged = false;
    if (CProjectile* grenade = a.rememberedGrenade) {
        if (grenade->alive && AiDistSq(grenade->GetPosition(), position) < GrenadeFleeSq) {
            m = AiUnit(AiFlat(AiSub(position, grenade->GetPosition())));
            dodged = true;
        } else if (!grenade->alive) {
            a.rememberedGrenade = nullptr;
        }
    }
    if (!dodged)
        ai.projectileMarks.Find(ai.world->projectiles, position, [&](CProjectile& p, const Vector3& at) {
            const Vector3 d = AiSub(at, position);
            const float dSq = Vector3LengthSquared(d);
            if (dSq > ProjectileWatchSq || dSq <= 0.0f || !p.alive)
                return false;
            const Vector3 toward = AiScale(d, 1.0f / std::sqrt(dSq));
            if (Vector3Dot(toward, s.facing) < ProjectileWatchCos)
                return false;
            if (p.kind == ProjectileGrenade && p.armed) {
                a.rememberedGrenade = &p;
                m = AiUnit(AiFlat(AiSub(position, at)));
                dodged = true;
            } else if (Vector3Dot(p.body.direction, toward) <= -0.9f) {
                m = DodgeSidestep(position, at, p.body.direction);
                dodged = true;
            }
            return dodged;
        });
    if (!dodged)
        return;
    a.movementFlags |= AiDodging;
    if (a.squad && a.squad->leader == &s)
        a.squad->formationSet = false;
}

void SoldierReactToDamage(CTeamAI& ai, CSoldier& victim, CCollisionProjectile* projectile) {
    SoldierAIState& a = victim.ai;
    if ((a.movementFlags & AiAlerted) || !projectile || !a.squad)
        return;
    CSoldier* player = ai.PlayerSoldier();
    CSoldierTarget* owner = projectile->GetOwner();
    if (player && owner == static_cast<CSoldierTarget*>(player) && player->IsAlive() &&
        ai.CommanderOf(player) != a.squad->commander)
        player->ai.target = &victim;
    // Back along the projectile's path: the victim turns toward the shooter.
    const Vector3 direction = AiScale(projectile->GetBody().direction, -1.0f);
    if (a.squad->threat) {
        if (!(a.target && a.target->ai.target == &victim)) {
            a.movementFlags |= AiAlerted;
            a.threatDirection = direction;
        }
        return;
    }
    for (CSoldier* m : a.squad->members) {
        m->ai.movementFlags |= AiAlerted;
        m->ai.threatDirection = direction;
    }
}

void SoldierPerceive(CTeamAI& ai, CSoldier& s) {
    CTeamCommander* commander = s.ai.squad ? s.ai.squad->commander : nullptr;
    if (!commander)
        return;
    const uint32_t knownBit = commander->teamBit << 1;
    int column, row;
    ai.buckets.ColumnRowOf(s.GetPosition(), column, row);
    ai.ForEachEnemySquadAround(column, row, commander, [&](CSquad* other) {
        for (CSoldier* enemy : other->members) {
            if (!enemy->IsAlive() || (enemy->ai.seenBits & commander->teamBit) ||
                !CanSeePoint(s, enemy->GetPosition()))
                continue;
            enemy->ai.seenBits |= commander->teamBit;
            if (!(enemy->ai.knownBits & knownBit)) {
                commander->known.push_back(KnownEnemy{enemy, enemy->GetPosition()});
                enemy->ai.knownBits |= knownBit;
            }
        }
        return true;
    });
    SoldierChooseTarget(ai, s);
    s.ai.movementFlags &= ~AiAlerted;
}

void SoldierChooseTarget(CTeamAI& ai, CSoldier& s) {
    SoldierAIState& a = s.ai;
    CSquad* squad = a.squad;
    if (!squad)
        return;
    CTeamCommander* commander = squad->commander;
    const Vector3 position = s.GetPosition();
    const bool alerted = (a.movementFlags & AiAlerted) != 0;
    const int ownClass = SoldierWeaponClass(s);
    int column, row;
    ai.buckets.ColumnRowOf(position, column, row);
    float best = 0.0f;
    ai.ForEachEnemySquadAround(column, row, commander, [&](CSquad* other) {
        for (CSoldier* enemy : other->members) {
            if (!enemy->IsAlive() || !(enemy->ai.seenBits & commander->teamBit))
                continue;
            TargetCandidate candidate;
            candidate.distanceSquared = AiDistSq(enemy->GetPosition(), position);
            candidate.armour = enemy->armour;
            candidate.weaponClass = SoldierWeaponClass(*enemy);
            candidate.isCurrentTarget = enemy == a.target;
            candidate.targetsMe = enemy->ai.target == &s;
            candidate.inFacing = WithinFacing(position, s.facing, enemy->GetPosition());
            const float score = TargetScore(ownClass, alerted, candidate);
            if (score > best) {
                best = score;
                a.target = enemy;
            }
        }
        return true;
    });
    if (alerted && a.target && a.target->ai.target == &s)
        a.movementFlags &= ~AiAlerted;
    if (a.target)
        return;
    const bool hadCover = a.cover != nullptr;
    a.cover = nullptr;
    a.movementFlags &= ~(AiHiding | AiInCover);
    if (hadCover && squad->leader == &s) {
        a.waypoint = AiFlat(position);
        squad->SendTo(nullptr);
    }
}

void SoldierAimAndFire(CTeamAI& ai, CSoldier& s) {
    SoldierAIState& a = s.ai;
    if (a.target && !a.target->IsAlive()) {
        a.target = nullptr;
        SoldierChooseTarget(ai, s);
    }
    CSoldier* target = a.target;
    if (!target)
        return;
    Vector3 aimPoint = target->GetPosition();
    CNode* node = target->GetBone(BONE_AIM_CHEST);
    if (!node)
        node = target->GetBone(BONE_HIP);
    if (node)
        Matrix4GetTranslation(aimPoint, node->GetWorldMatrix());
    const Vector3 v = AiSub(aimPoint, s.GetPosition());
    const float vSq = Vector3LengthSquared(v);
    const Vector3 goal = AiUnit(v);
    s.SetAimPoint(goal, std::sqrt(vSq), false);
    s.SetFacing(AiUnit(AiFlat(v)), false);
    if (vSq > FireRangeSq)
        return;
    if (Vector3Dot(s.aimDirection, goal) > FireAimDot && SoldierHasLineOfFire(ai, s, v, SoldierWeaponClass(s)))
        s.Fire();
}

bool SoldierHasLineOfFire(CTeamAI& ai, CSoldier& s, const Vector3& v, int weaponClass) {
    CSoldier* target = s.ai.target;
    if (!target)
        return false;
    const Vector3 position = s.GetPosition();
    const Vector3 targetPosition = target->GetPosition();
    if (TooCloseToFire(position, AiAdd(position, v), weaponClass))
        return false;
    if (!GridLineOfFire(ai.grid, position, targetPosition))
        return false;
    if (s.ai.squad)
        for (CSoldier* mate : s.ai.squad->members)
            if (mate != &s && MateInLineOfFire(position, s.aimDirection, targetPosition, mate->GetPosition(), weaponClass))
                return false;
    if (!target->vehicle)
        for (const CVehicle* vehicle : ai.world->vehicles)
            if (VehicleInLineOfFire(position, s.aimDirection, targetPosition, vehicle->body.position,
                                    vehicle->collision.sphere.radius))
                return false;
    return true;
}
