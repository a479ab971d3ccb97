// A computer soldier's own behaviour, run every 0.1 s by its squad: walking
// the squad route or after the leader, looking ahead on the grid, steering
// around obstacles, vehicles and mates, keeping range or cycling at a cover,
// dodging, perceiving, choosing a target, aiming and firing.
#ifndef GAME_AI_SOLDIER_AI_H
#define GAME_AI_SOLDIER_AI_H

#include "core/vector.h"

class CCollisionProjectile;
class CSoldier;
class CTeamAI;

void SoldierUpdateAI(CTeamAI& ai, CSoldier& soldier);
bool SoldierProbeAhead(CTeamAI& ai, CSoldier& soldier, Vector3& m);
void SoldierAvoid(CTeamAI& ai, CSoldier& soldier, Vector3& m);
void SoldierKeepRange(CSoldier& soldier, Vector3& m);
void SoldierDodge(CTeamAI& ai, CSoldier& soldier, Vector3& m);
void SoldierReactToDamage(CTeamAI& ai, CSoldier& victim, CCollisionProjectile* projectile);
void SoldierPerceive(CTeamAI& ai, CSoldier& soldier);
void SoldierChooseTarget(CTeamAI& ai, CSoldier& soldier);
void SoldierAimAndFire(CTeamAI& ai, CSoldier& soldier);
bool SoldierHasLineOfFire(CTeamAI& ai, CSoldier& soldier, const Vector3& v, int weaponClass);
// The soldier's current weapon's class (its type row).
int SoldierWeaponClass(CSoldier& soldier);

#endif
