// CSquad: a group of soldiers of one team with a leader, a route on the
// navigation grid, orders renewed every second, formations and cover under
// threat, and the operations behind the player's squad commands.
#ifndef GAME_AI_SQUAD_H
#define GAME_AI_SQUAD_H

#include <vector>

#include "core/vector.h"
#include "game/ai/member_box.h"
#include "game/ai/squad_route.h"

class CSoldier;
class CTeamAI;
class CTeamCommander;
struct SquadTask;

// Movement flags of an AI soldier.
const uint32_t AiMoving = 1;
const uint32_t AiOwnRoute = 2;
const uint32_t AiDodging = 4;
const uint32_t AiSquadRoute = 8;
const uint32_t AiAlerted = 16;
const uint32_t AiHiding = 32;
const uint32_t AiInCover = 64;
const uint32_t AiCatchingUp = 128;

// Order kinds.
const int OrderIdle = 0;
const int OrderFight = 1;
const int OrderInvestigate = 2;
const int OrderTake = 3;
const int OrderMerge = 4;
const int OrderPlayer = 5;
const int OrderEscort = 6;

class CSquad {
public:
    CSquad(CTeamAI* ai, CTeamCommander* commander);

    int Count() const { return int(members.size()); }
    bool IsMember(const CSoldier* soldier) const;

    void AddMember(CSoldier* soldier);
    void TakeMember(CSoldier* soldier);
    void RemoveMember(CSoldier* soldier);
    void ChooseLeader();
    void SetFollowDistances();
    // Routes the squad (no soldier) or one member.
    void SendTo(CSoldier* member);
    void RenewOrders();
    void TakeCover();
    void Update();
    void UpdatePlayerTrail();
    void RecomputeCentre();
    void LeaveTask();
    void PlaceInBucket();

    // Player commands.
    void PlayerOrder(float x, float y);
    void GatherNearby();
    void AttackTarget(CSoldier* target);

    CTeamAI* ai;
    CTeamCommander* commander;
    CSoldier* leader = nullptr;
    Vector3 goal, centre;
    int orderKind = OrderIdle;
    SquadTask* task = nullptr;
    std::vector<CSoldier*> members;
    int column = 0, row = 0;
    bool inBucket = false;
    float centreTimer = 0.0f, orderTimer = 0.0f;
    SquadRoute route;
    bool resetRoute = false;
    bool threat = false;
    bool formationSet = false;
    CSquad* selected = nullptr;   // the player's squad only
    MemberBox box;                // see CTeamAI::TakeLookups

private:
    void RouteMember(CSoldier* member);
    void HeadForNearestKnownEnemy();
    void FormLine();
    void PickMergeTarget(const Vector3& from);
};

#endif
