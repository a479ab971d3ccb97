// CTeamAI: the enemy's mind joined to the world. After every level load it
// lays the navigation grid and the squad buckets over the terrain, makes one
// commander per team list and gathers each team's soldiers into squads; every
// world update (while "ai" is on) each commander perceives, keeps its
// influence map and hands out tasks and goals in 0.5 s cycles, and every
// squad renews its orders and runs its members.
#ifndef GAME_AI_TEAM_AI_H
#define GAME_AI_TEAM_AI_H

#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "core/vector.h"
#include "game/ai/nav_grid.h"
#include "game/ai/projectile_marks.h"
#include "game/ai/squad_buckets.h"
#include "game/player/player_controller.h"
#include "game/world/team_ai_seam.h"

class CProjectile;
class CSoldier;
class CSquad;
class CTeamAI;
class CVehicle;
class CWorld;

struct KnownEnemy {
    CSoldier* soldier = nullptr;
    Vector3 position;
};

// A seen vehicle some squads are sent to.
struct SquadTask {
    Vector3 position;
    int kind = 2;
    int assigned = 0;   // members of the squads working on it
    int needed = 4;
    float radius = 0.0f;
    CVehicle* vehicle = nullptr;
    std::vector<CSquad*> squads;
};

const float TeamCycleTime = 0.5f;
const float SquadOrderTime = 1.0f;
const float SquadCentreTime = 0.1f;
const uint8_t CommanderTakesVehicles = 2;
const uint8_t CommanderAllSquads = 128;

class CTeamCommander {
public:
    CTeamCommander(CTeamAI* ai, int team);
    ~CTeamCommander();

    CSquad* NewSquad();
    // Empty squads are unlinked at once and deleted here, once nothing walks
    // the squad lists any more.
    void DeleteEmptySquads();
    KnownEnemy* FindKnown(CSoldier* soldier);
    void Forget(CSoldier* soldier);
    // Sets the selected squad of the player's squad (0: all squads).
    void SelectSquad(CSquad* playerSquad, int n);

    void Update(float dt);
    void Perceive();
    void RebuildInfluence();
    void AssignTasks();
    void TryMerge(CSquad* squad);
    // Brings back the team's dead once their countdown (the cover counter,
    // one step per call) has run out, in their side's area (team_respawn.cpp).
    void RespawnDead();

    CTeamAI* ai;
    int team;
    uint32_t teamBit;   // seen bit; teamBit << 1 is the known bit
    std::vector<KnownEnemy> known;
    std::list<SquadTask> tasks;
    std::vector<CSquad*> squads;   // owned
    uint8_t flags;
    float cycleTimer;
    int cyclePhase;
    InfluenceMap influence;
};

const CTeamCommander* SquadCommander(const CSquad* squad);

class CTeamAI : public CTeamAISeam, public CPlayerCommandSink {
public:
    CTeamAI();
    ~CTeamAI() override;

    // CTeamAISeam.
    void Init(CWorld& world) override;
    void Update(float dt) override;
    void Clear() override;
    void OnProjectileRemoved(CProjectile* projectile) override;
    void OnSoldierAttacked(CSoldier* soldier, CCollisionProjectile* attacker) override;
    void OnSoldierLeavesTeamAI(CSoldier* soldier) override;

    // CPlayerCommandSink: the squad commands of the player's soldier.
    void OnCommandKey(int key, const Vector3& aimPoint) override;

    CTeamCommander* CommanderOf(const CSoldier* soldier);
    // The nearest grid cell of a position (clamped into the grid).
    int CellOf(const Vector3& p) const { return grid.NearestCellOf(p); }
    bool LineOfSight(const Vector3& from, const Vector3& to) const { return ::LineOfSight(from, to, grid); }
    // A* between the cells of two positions; the turn cells in grid.Path().
    bool FindPath(const Vector3& from, const Vector3& to);
    CSoldier* PlayerSoldier() const;
    // Calls f(squad) for every squad of another commander than `own` in the
    // 3 x 3 buckets around (column, row); f returns false to stop.
    template <typename F>
    void ForEachEnemySquadAround(int column, int row, const CTeamCommander* own, F f);

    // Takes what the soldiers look up during an update, as it begins: the
    // projectile marks and every squad's member box. Nobody moves while the
    // commanders update, so they hold until it ends; a squad that a member
    // joins or leaves meanwhile has its box renewed then. Between updates
    // the soldiers move on and the boxes keep where they stood: soldiers'
    // AI runs only inside an update, one soldier at a time (the lookups and
    // their scratch space are shared).
    void TakeLookups();
    void RefreshSquadBox(CSquad& squad);

    CWorld* world;
    NavGrid grid;
    SquadBuckets buckets;
    float originX, originY;
    std::vector<std::unique_ptr<CTeamCommander>> commanders;
    ProjectileMarks projectileMarks;   // for the dodges of the update running

private:
    void PlacePlayerSquad();

    std::vector<Vector3> boxPositions_;
};

template <typename F>
void CTeamAI::ForEachEnemySquadAround(int column, int row, const CTeamCommander* own, F f) {
    const SquadBuckets::Span span = buckets.Around(column, row);
    for (int c = span.column0; c <= span.column1; c++)
        for (int r = span.row0; r <= span.row1; r++)
            for (CSquad* squad : buckets.At(c, r).squads)
                if (SquadCommander(squad) != own && !f(squad))
                    return;
}

// Perception: within 100 units and 60 degrees of the soldier's facing.
bool CanSeePoint(const CSoldier& soldier, const Vector3& point);

#endif
