#include "game/ai/squad.h"

#include <algorithm>
#include <cstdlib>

#include "core/random.h"
#include "game/ai/ai_math.h"
#include "game/ai/cover.h"
#include "game/ai/formation.h"
#include "game/ai/soldier_ai.h"
#include "game/ai/team_ai.h"
#include "game/ai/team_tasks.h"
#include "game/soldiers/soldier.h"
#include "game/soldiers/vehicle.h"
#include "game/world/world.h"

namespace {

const float CoverRangeSq = 10000.0f;
const float GatherSquadRangeSq = 6400.0f;
const float GatherMemberRangeSq = 3600.0f;
const int PlayerSquadLimit = 6;

// Members lose their place on a route that was restarted or cut.
void DropStaleRoute(CSoldier* member, const SquadRoute& route) {
    if (route.Stale(member->ai.routeNode)) {
        member->ai.routeNode = RouteEnd;
        member->ai.movementFlags &= ~(AiOwnRoute | AiSquadRoute);
    }
}

}  // namespace

const CTeamCommander* SquadCommander(const CSquad* squad) { return squad->commander; }

CSquad::CSquad(CTeamAI* ai, CTeamCommander* commander) : ai(ai), commander(commander) {
    RandomSquadTimerStarts(centreTimer, orderTimer);
}

bool CSquad::IsMember(const CSoldier* soldier) const {
    return std::find(members.begin(), members.end(), soldier) != members.end();
}

void CSquad::PlaceInBucket() {
    if (inBucket)
        ai->buckets.RemoveSquad(this, column, row);
    ai->buckets.ColumnRowOf(centre, column, row);
    ai->buckets.AddSquad(this, column, row);
    inBucket = true;
}

void CSquad::RecomputeCentre() {
    if (members.empty())
        return;
    Vector3 sum;
    for (CSoldier* m : members)
        sum = AiAdd(sum, m->GetPosition());
    centre = AiScale(sum, 1.0f / float(members.size()));
}

void CSquad::AddMember(CSoldier* soldier) {
    soldier->ai.squad = this;
    members.push_back(soldier);
    ai->RefreshSquadBox(*this);
    RecomputeCentre();
    if (!leader) {
        leader = soldier;
    } else {
        const float d = float(members.size()) * 1.5f + 3.0f;
        soldier->ai.followDistance = d * d;
    }
}

void CSquad::ChooseLeader() {
    if (members.empty()) {
        leader = nullptr;
        return;
    }
    CSoldier* player = ai->PlayerSoldier();
    CSoldier* best = members.front();
    if (player && player->IsAlive() && IsMember(player)) {
        best = player;
    } else {
        for (CSoldier* m : members)
            if (m->health + m->armour > best->health + best->armour)
                best = m;
    }
    leader = best;
    leader->ai.routeNode = RouteEnd;
    leader->ai.movementFlags &= ~AiMoving;
    SetFollowDistances();
}

void CSquad::SetFollowDistances() {
    int k = 0;
    for (CSoldier* m : members)
        if (m != leader)
            m->ai.followDistance = FollowDistanceSquared(++k);
}

void CSquad::LeaveTask() {
    if (!task)
        return;
    task->assigned = std::max(0, task->assigned - Count());
    task->squads.erase(std::remove(task->squads.begin(), task->squads.end(), this), task->squads.end());
    task = nullptr;
}

void CSquad::TakeMember(CSoldier* soldier) {
    CSquad* old = soldier->ai.squad;
    if (old == this)
        return;
    soldier->ai.squad = this;
    soldier->ai.routeNode = RouteEnd;
    soldier->ai.movementFlags &= ~(AiOwnRoute | AiSquadRoute);
    members.push_back(soldier);
    ai->RefreshSquadBox(*this);
    if (task)
        task->assigned++;
    formationSet = false;
    ChooseLeader();
    if (!old)
        return;
    old->members.erase(std::remove(old->members.begin(), old->members.end(), soldier), old->members.end());
    ai->RefreshSquadBox(*old);
    if (old->task)
        old->task->assigned = std::max(0, old->task->assigned - 1);
    if (!old->members.empty()) {
        old->formationSet = false;
        if (old->leader == soldier)
            old->ChooseLeader();
    } else {
        // Deleted by the commander once nothing walks its lists.
        old->leader = nullptr;
    }
}

void CSquad::RemoveMember(CSoldier* soldier) {
    auto it = std::find(members.begin(), members.end(), soldier);
    if (it == members.end())
        return;
    members.erase(it);
    soldier->ai.squad = nullptr;
    ai->RefreshSquadBox(*this);
    if (task)
        task->assigned = std::max(0, task->assigned - 1);
    if (leader == soldier)
        ChooseLeader();
    CWorld* world = ai->world;
    if (world && world->playerSoldier == soldier) {
        CSoldier* next = leader;
        if (!next) {
            float bestSq = 0.0f;
            for (CSquad* other : commander->squads)
                if (other != this && other->leader) {
                    const float d = AiDistSq(other->centre, soldier->GetPosition());
                    if (!next || d < bestSq) {
                        next = other->leader;
                        bestSq = d;
                    }
                }
        }
        if (next) {
            soldier->playerControlled = 0;
            next->playerControlled = 1;
            world->playerSoldier = next;
            if (next->ai.squad)
                next->ai.squad->ChooseLeader();
        }
    }
    if (members.empty()) {
        leader = nullptr;
        return;
    }
    formationSet = false;
    if (orderKind == OrderMerge || (leader && leader == ai->PlayerSoldier()) || Count() > 2)
        return;
    PickMergeTarget(leader->GetPosition());
}

void CSquad::PickMergeTarget(const Vector3& from) {
    CSquad* best = nullptr;
    float bestSq = 0.0f;
    for (CSquad* other : commander->squads) {
        if (other == this || !other->leader)
            continue;
        const float d = AiDistSq(other->leader->GetPosition(), from);
        if (!best || d < bestSq) {
            best = other;
            bestSq = d;
        }
    }
    if (!best)
        return;
    orderKind = OrderMerge;
    goal = best->centre;
    SendTo(nullptr);
}

void CSquad::SendTo(CSoldier* member) {
    if (member) {
        RouteMember(member);
        return;
    }
    if (!leader)
        return;
    goal.z = 0.0f;
    const Vector3 from = leader->GetPosition();
    if (ai->grid.CellCount() == 0)
        return;   // no terrain, no routes
    if (resetRoute || route.Empty()) {
        route.Clear();
        route.Push(ai->CellOf(from));
    } else {
        std::vector<RouteNode> walked;
        for (CSoldier* m : members)
            if (m != leader && (m->ai.movementFlags & AiSquadRoute))
                walked.push_back(m->ai.routeNode);
        route.CutBack(walked);
        if (route.Empty())
            route.Push(ai->CellOf(from));
    }
    for (CSoldier* m : members)
        DropStaleRoute(m, route);
    const int firstNew = route.Size();
    if (ai->LineOfSight(from, goal)) {
        route.Push(ai->CellOf(goal));
    } else if (ai->FindPath(from, goal)) {
        const std::vector<int>& path = ai->grid.Path();
        for (auto it = path.rbegin(); it != path.rend(); ++it)
            route.Push(*it);
    }
    if (route.Size() > firstNew) {
        // The leader walks the new turn cells in order.
        leader->ai.routeNode = route.NodeAt(firstNew);
        leader->ai.waypoint = ai->grid.CellCentre(route.CellAt(firstNew));
    } else {
        leader->ai.routeNode = RouteEnd;
    }
}

void CSquad::RouteMember(CSoldier* member) {
    SoldierAIState& a = member->ai;
    const Vector3 position = member->GetPosition();
    if (!route.Empty()) {
        const int index = FindVisibleRouteNode(route, leader ? leader->ai.routeNode : RouteEnd, position, ai->grid);
        if (index >= 0) {
            a.waypoint = ai->grid.CellCentre(route.CellAt(index));
            a.routeNode = route.NodeAt(index);
            a.movementFlags |= AiOwnRoute | AiSquadRoute;
            return;
        }
    }
    a.movementFlags &= ~AiSquadRoute;
    a.movementFlags |= AiOwnRoute;
    if (!leader) {
        a.waypoint = AiFlat(position);
        return;
    }
    if (ai->FindPath(position, leader->GetPosition()) && !ai->grid.Path().empty())
        a.waypoint = ai->grid.CellCentre(ai->grid.Path().back());
    else
        a.waypoint = AiFlat(leader->GetPosition());
}

void CSquad::RenewOrders() {
    threat = false;
    ai->ForEachEnemySquadAround(column, row, commander, [&](CSquad* other) {
        for (CSoldier* m : other->members)
            if (m->ai.seenBits & commander->teamBit)
                threat = true;
        return !threat;
    });
    if (!leader)
        return;
    // A squad led by the player fights like any other; it only keeps no
    // formation and seeks no enemy while there is no threat.
    if (!threat && leader == ai->PlayerSoldier()) {
        formationSet = false;
        return;
    }
    if (threat) {
        if (orderKind == OrderIdle) {
            goal = AiFlat(leader->GetPosition());
            SendTo(nullptr);
        }
        for (CSoldier* m : members)
            SoldierChooseTarget(*ai, *m);
        TakeCover();
        if (!formationSet && leader && leader->ai.target && Count() > 2)
            FormLine();
    } else if (orderKind == OrderIdle) {
        formationSet = false;
        HeadForNearestKnownEnemy();
    }
}

void CSquad::FormLine() {
    std::vector<CSoldier*> followers;
    std::vector<Vector3> positions, offsets;
    for (CSoldier* m : members)
        if (m != leader) {
            followers.push_back(m);
            positions.push_back(m->GetPosition());
        }
    if (!FormLineAbreast(leader->GetPosition(), leader->ai.target->GetPosition(), positions, offsets))
        return;
    for (size_t i = 0; i < followers.size(); i++) {
        followers[i]->ai.formationOffset = offsets[i];
        followers[i]->ai.movementFlags &= ~(AiOwnRoute | AiSquadRoute);
    }
    formationSet = true;
}

void CSquad::HeadForNearestKnownEnemy() {
    const KnownEnemy* nearest = nullptr;
    float bestSq = 0.0f;
    for (const KnownEnemy& k : commander->known) {
        const float d = AiDistSq(k.position, centre);
        if (!nearest || d < bestSq) {
            nearest = &k;
            bestSq = d;
        }
    }
    if (!nearest)
        return;
    goal = nearest->position;
    int gc, gr;
    ai->buckets.ColumnRowOf(goal, gc, gr);
    if (std::abs(gc - column) <= 1 && std::abs(gr - row) < 2) {
        SendTo(nullptr);
        return;
    }
    int bc, br;
    if (LowestInfluenceAround(commander->influence, ai->buckets.Columns(), ai->buckets.Rows(), gc, gr, bc, br)) {
        goal = ai->buckets.Centre(bc, br);
        SendTo(nullptr);
    }
}

void CSquad::TakeCover() {
    CSoldier* player = ai->PlayerSoldier();
    for (CSoldier* m : members) {
        CSoldier* target = m->ai.target;
        if (!target || m == player)
            continue;
        CVehicle* previous = m->ai.cover;
        CVehicle* best = nullptr;
        float bestSq = CoverRangeSq;
        for (CVehicle* v : ai->world->vehicles) {
            const float d = AiDistSq(v->body.position, m->GetPosition());
            if (d < bestSq && d < AiDistSq(v->body.position, target->GetPosition()) &&
                AiDistSq(v->body.position, target->GetPosition()) < CoverRangeSq) {
                best = v;
                bestSq = d;
            }
        }
        m->ai.cover = best;
        if (!best) {
            m->ai.movementFlags &= ~AiInCover;
            continue;
        }
        m->ai.movementFlags |= AiInCover;
        if (best != previous) {
            CoverCycle cycle;
            StartHiding(cycle);
            m->ai.coverCounter = cycle.counter;
            m->ai.movementFlags |= AiHiding;
        }
    }
}

void CSquad::Update() {
    if (!leader)
        return;
    int c, r;
    ai->buckets.ColumnRowOf(leader->GetPosition(), c, r);
    if (c != column || r != row) {
        if (inBucket)
            ai->buckets.RemoveSquad(this, column, row);
        column = c;
        row = r;
        ai->buckets.AddSquad(this, column, row);
        inBucket = true;
    }
    resetRoute = true;
    for (CSoldier* m : members) {
        if (m == leader || ai->LineOfSight(leader->GetPosition(), m->GetPosition()))
            continue;
        resetRoute = false;
        if (!(m->ai.movementFlags & AiOwnRoute))
            RouteMember(m);
    }
}

void CSquad::UpdatePlayerTrail() {
    if (!leader || !(leader->ai.movementFlags & AiInCover))
        return;
    RouteNode dropped = RouteEnd, next = RouteEnd;
    const bool reset = resetRoute;
    const bool cut = AdvanceTrail(route, ai->CellOf(leader->GetPosition()), reset, ai->grid, dropped, next);
    leader->ai.routeNode = RouteEnd;
    for (CSoldier* m : members) {
        if (cut && (m->ai.movementFlags & AiSquadRoute) && m->ai.routeNode == dropped) {
            m->ai.routeNode = next;
            const int index = route.IndexOf(next);
            if (index >= 0)
                m->ai.waypoint = ai->grid.CellCentre(route.CellAt(index));
        }
        DropStaleRoute(m, route);
    }
}

void CSquad::PlayerOrder(float x, float y) {
    LeaveTask();
    CSoldier* player = ai->PlayerSoldier();
    // The player's own squad leaves its unmarked members behind; the player's
    // soldier stays with the squad it leads.
    if (player && IsMember(player) && Count() > 1) {
        CSquad* rest = commander->NewSquad();
        const std::vector<CSoldier*> moving = members;
        for (CSoldier* m : moving)
            if (!m->ai.selected && m != player)
                rest->TakeMember(m);
        rest->RecomputeCentre();
        rest->PlaceInBucket();
    }
    goal = Vector3{x, y, 0.0f};
    orderKind = OrderPlayer;
    SendTo(nullptr);
}

void CSquad::GatherNearby() {
    CSoldier* player = ai->PlayerSoldier();
    if (!player || leader != player || Count() > 5)
        return;
    for (CSquad* other : commander->squads) {
        if (other == this || AiDistSq(other->centre, leader->GetPosition()) >= GatherSquadRangeSq)
            continue;
        const bool single = other->Count() == 1;
        const std::vector<CSoldier*> candidates = other->members;
        for (CSoldier* m : candidates) {
            if (Count() >= PlayerSquadLimit)
                return;
            if (AiDistSq(m->GetPosition(), leader->GetPosition()) >= GatherMemberRangeSq)
                continue;
            TakeMember(m);
            if (single)
                break;
        }
    }
}

void CSquad::AttackTarget(CSoldier* target) {
    if (!target || !target->IsAlive())
        return;
    for (CSoldier* m : members)
        m->ai.target = target;
}
