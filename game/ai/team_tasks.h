#ifndef GAME_AI_TEAM_TASKS_H
#define GAME_AI_TEAM_TASKS_H

#include "core/vector.h"

class InfluenceMap;

// What a task made at a seen vehicle asks for: kind 2 (take it, 4 soldiers)
// when no known enemy stands within 60 units, else kind 1 (fight for it) with
// one soldier per enemy there, at least 4.
struct TaskNeed {
    int kind = 2;
    int needed = 4;
};
TaskNeed VehicleTaskNeed(int knownEnemiesNear);

// Goals of idle squads, drawn from GameRand: anywhere in 0 .. 300 units on x
// and y, or within 25 units of a task.
Vector3 RandomPatrolGoal();
Vector3 RandomGoalNear(const Vector3& task);
// Staggered start values of a team's cycle timer (0 .. 1 s) and of a squad's
// centre (0 .. 0.1 s) and order (0 .. 1 s) timers, drawn in that order.
float RandomCycleStart();
void RandomSquadTimerStarts(float& centre, float& order);

// Of the eight buckets around (column, row), within the map, the one of
// lowest influence (scanning columns, then rows; ties keep the first).
// False when every one reads 10000 or more.
bool LowestInfluenceAround(const InfluenceMap& map, int columns, int rows, int column, int row,
                           int& bestColumn, int& bestRow);

#endif
