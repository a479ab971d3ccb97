#include "game/ai/team_tasks.h"

#include "core/random.h"
#include "game/ai/squad_buckets.h"

TaskNeed VehicleTaskNeed(int knownEnemiesNear) {
    if (knownEnemiesNear <= 0) return TaskNeed{2, 4};
    return TaskNeed{1, knownEnemiesNear < 4 ? 4 : knownEnemiesNear};
}

Vector3 RandomPatrolGoal() {
    const float x = float(GameRand() % 3000) * 0.1f;
    const float y = float(GameRand() % 3000) * 0.1f;
    return Vector3{x, y, 0.0f};
}

Vector3 RandomGoalNear(const Vector3& task) {
    const float x = float(GameRand() % 500) * 0.1f - 25.0f;
    const float y = float(GameRand() % 500) * 0.1f - 25.0f;
    return Vector3{task.x + x, task.y + y, 0.0f};
}

float RandomCycleStart() { return float(GameRand() % 1000) * 0.001f; }
void RandomSquadTimerStarts(float& centre, float& order) {
    centre = float(GameRand() % 1000) * 0.0001f;
    order = float(GameRand() % 1000) * 0.001f;
}

bool LowestInfluenceAround(const InfluenceMap& map, int columns, int rows, int column, int row,
                           int& bestColumn, int& bestRow) {
    float best = 10000.0f;
    bool found = false;
    for (int c = column - 1; c <= column + 1; c++) {
        for (int r = row - 1; r <= row + 1; r++) {
            if ((c == column && r == row) || c < 0 || c >= columns || r < 0 || r >= rows) continue;
            const float value = map.Value(c, r);
            if (value < best) {
                best = value;
                bestColumn = c;
                bestRow = r;
                found = true;
            }
        }
    }
    return found;
}
