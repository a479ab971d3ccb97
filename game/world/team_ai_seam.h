// TEAM AI SEAM: where the team AI (perception, squads, path finding) and the
// soldier AI's reactions join the world. The world owns one through
// CWorld::SetTeamAI and calls it at exactly these points; while it holds
// none (the team AI is still to be written) the calls are skipped and
// computer-controlled soldiers stand still.
#ifndef GAME_WORLD_TEAM_AI_SEAM_H
#define GAME_WORLD_TEAM_AI_SEAM_H

class CCollisionProjectile;
class CProjectile;
class CSoldier;
class CWorld;

class CTeamAISeam {
public:
    virtual ~CTeamAISeam() {}
    // After every level load, whatever was loaded.
    virtual void Init(CWorld& world) = 0;
    // Once a world update, only while the console flag "ai" is on.
    virtual void Update(float dt) = 0;
    // The world is being emptied: drop every soldier, squad and projectile
    // the AI keeps.
    virtual void Clear() = 0;
    // A projectile is gone; nothing may keep pointing at it.
    virtual void OnProjectileRemoved(CProjectile* projectile) = 0;
    // A soldier was hit by attacker (its soldier AI reacts).
    virtual void OnSoldierAttacked(CSoldier* soldier, CCollisionProjectile* attacker) = 0;
    // A dead soldier no longer counts for its team.
    virtual void OnSoldierLeavesTeamAI(CSoldier* soldier) = 0;
};

#endif
