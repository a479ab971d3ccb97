#include "game/ai/team_ai.h"

#include <algorithm>

#include "core/random.h"
#include "game/ai/ai_math.h"
#include "game/ai/nav_marks.h"
#include "game/ai/perception.h"
#include "game/ai/soldier_ai.h"
#include "game/ai/squad.h"
#include "game/ai/team_tasks.h"
#include "game/soldiers/soldier.h"
#include "game/soldiers/vehicle.h"
#include "game/world/world.h"

namespace {

const float JoinSquadRangeSq = 1600.0f;
const int JoinSquadMaxMembers = 4;
const float KnownNearTaskSq = 3600.0f;

}  // namespace

bool CanSeePoint(const CSoldier& soldier, const Vector3& point) {
    return CanSeePoint(soldier.GetPosition(), soldier.facing, point);
}

CTeamAI::CTeamAI() : world(nullptr), originX(0.0f), originY(0.0f) {}

CTeamAI::~CTeamAI() { Clear(); }

// The world may already have deleted the soldiers: nothing here touches them.
void CTeamAI::Clear() {
    commanders.clear();
    buckets = SquadBuckets();
}

void CTeamAI::Init(CWorld& w) {
    Clear();
    world = &w;
    const CTerrain& terrain = w.terrain;
    originX = terrain.GetMinX();
    originY = terrain.GetMinY();
    grid.SetUpOver(terrain.GetMinX(), terrain.GetMaxX(), terrain.GetMinY(), terrain.GetMaxY(), 5);
    MarkStaticProps(grid, w);
    buckets.SetUp(terrain.GetMinX(), terrain.GetMaxX(), terrain.GetMinY(), terrain.GetMaxY());
    buckets.AddObstacle(AiObstacle{Vector3{105.0f, 105.0f, 0.0f}, 20.0f});
    buckets.AddObstacle(AiObstacle{Vector3{105.0f, 0.0f, 0.0f}, 20.0f});
    for (size_t t = 0; t < w.teams.size(); t++) {
        commanders.push_back(std::make_unique<CTeamCommander>(this, int(t)));
        CTeamCommander& commander = *commanders.back();
        for (CSoldier* soldier : w.teams[t]) {
            soldier->ai = SoldierAIState();
            CSquad* best = nullptr;
            float bestSq = JoinSquadRangeSq;
            for (CSquad* squad : commander.squads) {
                const float d = AiDistSq(soldier->GetPosition(), squad->centre);
                if (d < bestSq && squad->Count() <= JoinSquadMaxMembers) {
                    bestSq = d;
                    best = squad;
                }
            }
            if (!best) {
                best = commander.NewSquad();
                best->centre = soldier->GetPosition();
                best->PlaceInBucket();
                if (t == 0)
                    best->orderKind = OrderEscort;
            }
            best->AddMember(soldier);
        }
    }
    PlacePlayerSquad();
}

// The player's soldier may be marked after the squads were made: it leads
// its squad all the same.
void CTeamAI::PlacePlayerSquad() {
    if (CSoldier* player = PlayerSoldier())
        if (player->ai.squad)
            player->ai.squad->ChooseLeader();
}

CSoldier* CTeamAI::PlayerSoldier() const { return world ? world->playerSoldier : nullptr; }

CTeamCommander* CTeamAI::CommanderOf(const CSoldier* soldier) {
    if (soldier && soldier->ai.squad)
        return soldier->ai.squad->commander;
    for (auto& commander : commanders)
        if (soldier && commander->team == soldier->team)
            return commander.get();
    return nullptr;
}

bool CTeamAI::FindPath(const Vector3& from, const Vector3& to) {
    const int start = CellOf(from), goal = CellOf(to);
    return start >= 0 && goal >= 0 && ::FindPath(grid, start, goal);
}

void CTeamAI::Update(float dt) {
    if (!world)
        return;
    CSoldier* player = PlayerSoldier();
    if (player && player->ai.squad && player->ai.squad->leader != player && player->IsAlive())
        player->ai.squad->ChooseLeader();
    TakeLookups();
    for (auto& commander : commanders)
        commander->Update(dt);
    projectileMarks.Drop();
    for (auto& commander : commanders)
        commander->DeleteEmptySquads();
}

void CTeamAI::TakeLookups() {
    if (world)
        projectileMarks.Take(world->projectiles);
    for (auto& commander : commanders)
        for (CSquad* squad : commander->squads)
            RefreshSquadBox(*squad);
}

void CTeamAI::RefreshSquadBox(CSquad& squad) {
    boxPositions_.clear();
    for (const CSoldier* m : squad.members)
        boxPositions_.push_back(m->GetPosition());
    squad.box = MemberBoxAround(boxPositions_);
}

void CTeamAI::OnProjectileRemoved(CProjectile* projectile) {
    if (!world)
        return;
    for (CSoldier* soldier : world->soldiers)
        if (soldier->ai.rememberedGrenade == projectile)
            soldier->ai.rememberedGrenade = nullptr;
}

void CTeamAI::OnSoldierAttacked(CSoldier* soldier, CCollisionProjectile* attacker) {
    if (soldier && soldier->ai.squad)
        SoldierReactToDamage(*this, *soldier, attacker);
}

void CTeamAI::OnSoldierLeavesTeamAI(CSoldier* soldier) {
    soldier->ai.seenBits = 0;
    soldier->ai.knownBits = 0;
    for (auto& commander : commanders)
        commander->Forget(soldier);
    if (soldier->ai.squad)
        soldier->ai.squad->RemoveMember(soldier);
}

// Keys: F escort, G move, J stand down, E take over, R gather, T attack;
// digits and numeric pad 1-6 select squads 1-6, 0 and numeric pad 9 all.
void CTeamAI::OnCommandKey(int key, const Vector3& aimPoint) {
    CSoldier* player = PlayerSoldier();
    if (!player || !player->ai.squad)
        return;
    CSquad* own = player->ai.squad;
    CTeamCommander* commander = own->commander;
    static const int selectKeys[][2] = {{0x02, 1}, {0x03, 2}, {0x04, 3}, {0x05, 4}, {0x06, 5}, {0x07, 6},
                                        {0x4F, 1}, {0x50, 2}, {0x51, 3}, {0x4B, 4}, {0x4C, 5}, {0x4D, 6},
                                        {0x0B, 0}, {0x49, 0}};
    for (const auto& k : selectKeys)
        if (k[0] == key) {
            commander->SelectSquad(own, k[1]);
            return;
        }
    if (key == 0x13) {
        own->GatherNearby();
    } else if (key == 0x14) {
        if (player->ai.target && own->Count() > 1)
            own->AttackTarget(player->ai.target);
    } else {
        std::vector<CSquad*> addressed;
        if (own->selected)
            addressed.push_back(own->selected);
        else if (commander->flags & CommanderAllSquads)
            addressed = commander->squads;
        for (CSquad* squad : addressed) {
            if (squad->members.empty())
                continue;
            if (key == 0x21) {
                squad->orderKind = OrderEscort;
            } else if (key == 0x24) {
                squad->orderKind = OrderIdle;
            } else if (key == 0x22) {
                squad->PlayerOrder(aimPoint.x, aimPoint.y);
            } else if (key == 0x12 && own->selected && squad->leader && squad->leader != player) {
                CSoldier* next = squad->leader;
                player->playerControlled = 0;
                next->playerControlled = 1;
                world->playerSoldier = next;
                squad->ChooseLeader();
                break;
            }
        }
    }
    for (auto& c : commanders)
        c->DeleteEmptySquads();
}

CTeamCommander::CTeamCommander(CTeamAI* ai, int team)
    : ai(ai), team(team), teamBit(1u << (2 * (team & 15))), flags(CommanderTakesVehicles), cycleTimer(0.0f),
      cyclePhase(0) {
    cycleTimer = RandomCycleStart();
    influence.SetUp(ai->buckets.Columns(), ai->buckets.Rows());
}

CTeamCommander::~CTeamCommander() {
    for (CSquad* squad : squads)
        delete squad;
}

CSquad* CTeamCommander::NewSquad() {
    CSquad* squad = new CSquad(ai, this);
    squads.push_back(squad);
    return squad;
}

void CTeamCommander::DeleteEmptySquads() {
    for (auto it = squads.begin(); it != squads.end();) {
        CSquad* squad = *it;
        if (!squad->members.empty()) {
            ++it;
            continue;
        }
        squad->LeaveTask();
        if (squad->inBucket)
            ai->buckets.RemoveSquad(squad, squad->column, squad->row);
        for (CSquad* other : squads)
            if (other->selected == squad)
                other->selected = nullptr;
        delete squad;
        it = squads.erase(it);
    }
}

KnownEnemy* CTeamCommander::FindKnown(CSoldier* soldier) {
    for (KnownEnemy& k : known)
        if (k.soldier == soldier)
            return &k;
    return nullptr;
}

void CTeamCommander::Forget(CSoldier* soldier) {
    known.erase(std::remove_if(known.begin(), known.end(), [&](const KnownEnemy& k) { return k.soldier == soldier; }),
                known.end());
}

void CTeamCommander::SelectSquad(CSquad* playerSquad, int n) {
    if (!playerSquad)
        return;
    playerSquad->selected = nullptr;
    if (n == 0) {
        flags |= CommanderAllSquads;
        return;
    }
    flags &= uint8_t(~CommanderAllSquads);
    if (int(squads.size()) < n)
        return;
    if (n == 1) {
        playerSquad->selected = playerSquad;
        return;
    }
    int k = 0;
    for (CSquad* squad : squads)
        if (squad != playerSquad && ++k == n - 1) {
            playerSquad->selected = squad;
            return;
        }
}

void CTeamCommander::Update(float dt) {
    cycleTimer += dt;
    if (cycleTimer >= TeamCycleTime) {
        cycleTimer = 0.0f;
        if (cyclePhase == 0 || cyclePhase == 2)
            Perceive();
        else if (cyclePhase == 1)
            RebuildInfluence();
        else
            AssignTasks();
        cyclePhase = (cyclePhase + 1) & 3;
    }
    CSoldier* player = ai->PlayerSoldier();
    // Squads made meanwhile (player orders) wait for the next frame.
    const size_t count = squads.size();
    for (size_t i = 0; i < count; i++) {
        CSquad* squad = squads[i];
        if (squad->members.empty())
            continue;
        squad->orderTimer += dt;
        if (squad->orderTimer > SquadOrderTime) {
            squad->orderTimer = 0.0f;
            squad->RenewOrders();
        }
        squad->centreTimer += dt;
        if (squad->centreTimer >= SquadCentreTime && !squad->members.empty()) {
            squad->centreTimer = 0.0f;
            squad->Update();
            // Members may die or move during their own updates.
            const std::vector<CSoldier*> members = squad->members;
            for (CSoldier* member : members) {
                if (member->ai.squad != squad || !member->IsAlive())
                    continue;
                if (member == player) {
                    if (member->playerControlled)
                        squad->UpdatePlayerTrail();
                    continue;
                }
                SoldierUpdateAI(*ai, *member);
                if (member->ai.squad == squad && member->IsAlive())
                    SoldierAimAndFire(*ai, *member);
            }
            squad->RecomputeCentre();
        }
    }
}

void CTeamCommander::Perceive() {
    const uint32_t knownBit = teamBit << 1;
    for (auto& other : ai->commanders) {
        if (other.get() == this)
            continue;
        for (CSquad* enemySquad : other->squads) {
            for (CSoldier* enemy : enemySquad->members) {
                if (!enemy->IsAlive())
                    continue;
                enemy->ai.seenBits &= ~teamBit;
                for (CSquad* squad : squads) {
                    if (squad->members.empty() || std::abs(squad->column - enemySquad->column) > 1 ||
                        std::abs(squad->row - enemySquad->row) > 1)
                        continue;
                    bool seen = false;
                    for (CSoldier* member : squad->members)
                        if (CanSeePoint(*member, enemy->GetPosition())) {
                            seen = true;
                            break;
                        }
                    if (!seen)
                        continue;
                    enemy->ai.seenBits |= teamBit;
                    if (KnownEnemy* k = (enemy->ai.knownBits & knownBit) ? FindKnown(enemy) : nullptr) {
                        k->position = enemy->GetPosition();
                    } else {
                        known.push_back(KnownEnemy{enemy, enemy->GetPosition()});
                        enemy->ai.knownBits |= knownBit;
                    }
                    break;
                }
            }
        }
    }
    if (!(flags & CommanderTakesVehicles) || team >= 16)
        return;
    const uint16_t vehicleBit = uint16_t(1u << team);
    for (CVehicle* vehicle : ai->world->vehicles) {
        if (vehicle->teamBits & vehicleBit)
            continue;
        int vc, vr;
        ai->buckets.ColumnRowOf(vehicle->body.position, vc, vr);
        bool seen = false;
        for (CSquad* squad : squads) {
            if (std::abs(squad->column - vc) > 1 || std::abs(squad->row - vr) > 1)
                continue;
            for (CSoldier* member : squad->members)
                if (CanSeePoint(*member, vehicle->body.position)) {
                    seen = true;
                    break;
                }
            if (seen)
                break;
        }
        if (!seen)
            continue;
        vehicle->teamBits |= vehicleBit;
        int near = 0;
        for (const KnownEnemy& k : known)
            if (AiDistSq(k.position, vehicle->body.position) < KnownNearTaskSq)
                near++;
        const TaskNeed need = VehicleTaskNeed(near);
        SquadTask task;
        task.position = vehicle->body.position;
        task.kind = need.kind;
        task.needed = need.needed;
        task.radius = vehicle->collision.sphere.radius;
        task.vehicle = vehicle;
        tasks.push_back(task);
    }
}

void CTeamCommander::RebuildInfluence() {
    influence.Clear();
    for (CSquad* squad : squads)
        for (CSoldier* soldier : squad->members) {
            if (!soldier->IsAlive())
                continue;
            int c, r;
            ai->buckets.ColumnRowOf(soldier->GetPosition(), c, r);
            influence.Spread(c, r, soldier->health + soldier->armour);
        }
    for (const KnownEnemy& k : known) {
        int c, r;
        ai->buckets.ColumnRowOf(k.position, c, r);
        influence.Spread(c, r, -(k.soldier->health + k.soldier->armour + 20.0f));
    }
}

void CTeamCommander::AssignTasks() {
    CSoldier* player = ai->PlayerSoldier();
    CSquad* playerSquad = player ? player->ai.squad : nullptr;
    for (SquadTask& task : tasks) {
        if (task.assigned < task.needed) {
            CSquad* best = nullptr;
            float bestSq = 0.0f;
            for (CSquad* squad : squads) {
                if (squad->task || squad == playerSquad || squad->members.empty())
                    continue;
                const float d = AiDistSq(task.position, squad->centre);
                if (!best || d < bestSq) {
                    best = squad;
                    bestSq = d;
                }
            }
            if (best) {
                task.assigned += best->Count();
                task.squads.push_back(best);
                best->task = &task;
                best->orderKind = task.kind;
                best->goal = task.position;
                best->SendTo(nullptr);
            }
        }
        int c, r;
        ai->buckets.ColumnRowOf(task.position, c, r);
        if (influence.Value(c, r) < 0.0f) {
            int near = 0;
            for (const KnownEnemy& k : known)
                if (AiDistSq(k.position, task.position) < KnownNearTaskSq)
                    near++;
            if (near > task.assigned)
                task.needed += near - task.assigned;
        }
    }
    const size_t count = squads.size();
    for (size_t i = 0; i < count; i++) {
        CSquad* squad = squads[i];
        CSoldier* leader = squad->leader;
        if (!leader || leader->playerControlled)
            continue;
        const bool halted = !(leader->ai.movementFlags & AiMoving);
        // Escorting nobody (no player's soldier) is patrolling.
        const int kind = squad->orderKind == OrderEscort && !player ? OrderIdle : squad->orderKind;
        switch (kind) {
        case OrderIdle:
        case OrderTake:
            if (halted) {
                squad->goal = RandomPatrolGoal();
                squad->SendTo(nullptr);
            }
            break;
        case OrderInvestigate:
            if (halted && squad->task) {
                squad->goal = RandomGoalNear(squad->task->position);
                squad->SendTo(nullptr);
            }
            break;
        case OrderMerge:
            if (AiDistSq(squad->centre, squad->goal) < JoinSquadRangeSq)
                TryMerge(squad);
            break;
        case OrderEscort:
            if (AiDistSq(leader->GetPosition(), player->GetPosition()) > 400.0f) {
                squad->goal = AiFlat(player->GetPosition());
                squad->SendTo(nullptr);
            } else if (!squad->route.Empty() && leader->ai.routeNode != RouteEnd) {
                squad->goal = leader->GetPosition();
                squad->SendTo(nullptr);
            }
            break;
        default:
            break;
        }
    }
}

void CTeamCommander::TryMerge(CSquad* squad) {
    if (squad->Count() > 2 || !squad->leader)
        return;
    for (CSquad* other : squads) {
        if (other == squad || other->members.empty() || other->Count() >= 6)
            continue;
        if (AiDistSq(other->centre, squad->centre) >= JoinSquadRangeSq ||
            !ai->LineOfSight(other->centre, squad->leader->GetPosition()))
            continue;
        const std::vector<CSoldier*> moving = squad->members;
        for (CSoldier* soldier : moving)
            other->TakeMember(soldier);
        return;
    }
}
