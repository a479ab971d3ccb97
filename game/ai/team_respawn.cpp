// A team's dead brought back into the battle: reset, put down in their
// side's area and given a squad. Nothing in the game calls it yet; a battle
// fought in waves would, once per commander cycle.
#include "core/random.h"
#include "game/ai/ai_math.h"
#include "game/ai/squad.h"
#include "game/ai/team_ai.h"
#include "game/soldiers/soldier.h"
#include "game/world/world.h"

namespace {

const int RespawnSquadLimit = 5;          // a squad of 5 takes no newcomer
const float RespawnJoinRangeSq = 2500.0f; // 50 units from the squad's centre

// Team 0 comes back in (0..19, 0..19), every other team in (200..219, 50..69).
Vector3 RespawnPoint(int team) {
    const float x = float(GameRand() % 20);
    const float y = float(GameRand() % 20);
    return team == 0 ? Vector3{x, y, 0.0f} : Vector3{x + 200.0f, y + 50.0f, 0.0f};
}

}  // namespace

void CTeamCommander::RespawnDead() {
    CWorld* world = ai ? ai->world : nullptr;
    if (!world || team < 0 || size_t(team) >= world->teams.size())
        return;
    for (CSoldier* soldier : world->teams[size_t(team)]) {
        if (soldier->IsAlive() || --soldier->ai.coverCounter > 0)
            continue;
        if (soldier->ai.squad)
            soldier->ai.squad->RemoveMember(soldier);
        // The player's soldier stays the player's: the controller's pointer
        // is the record of it.
        const bool player = world->playerSoldier == soldier;
        soldier->Reset();
        soldier->playerControlled = player ? 1 : 0;
        soldier->SetPosition(RespawnPoint(team));
        soldier->ai = SoldierAIState();

        // Squads emptied by the deaths wait for deletion and take no one.
        CSquad* best = nullptr;
        float bestSq = RespawnJoinRangeSq;
        for (CSquad* squad : squads) {
            const float d = AiDistSq(soldier->GetPosition(), squad->centre);
            if (squad->Count() > 0 && squad->Count() < RespawnSquadLimit && d < bestSq) {
                bestSq = d;
                best = squad;
            }
        }
        if (!best) {
            best = NewSquad();
            best->centre = soldier->GetPosition();
            best->PlaceInBucket();
            if (team == 0)
                best->orderKind = OrderEscort;
        }
        best->AddMember(soldier);
    }
}
