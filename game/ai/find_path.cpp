#include <cstdlib>

#include "game/ai/nav_grid.h"
#include "game/ai/nav_heap.h"

namespace {

const int Direction[10][2] = {
    // column, row steps by keypad number; rows grow downward
    {0, 0}, {-1, 1}, {0, 1}, {1, 1}, {-1, 0}, {0, 0}, {1, 0}, {-1, -1}, {0, -1}, {1, -1},
};
const int Orthogonals[4] = {6, 4, 2, 8};
// Each diagonal with the two orthogonal sides it passes between.
const int Diagonals[4][3] = {{1, 2, 4}, {3, 2, 6}, {7, 8, 4}, {9, 8, 6}};

int Opposite(int direction) { return 10 - direction; }

bool IsWall(uint8_t value) { return value >= NavCellWall; }

// Estimate to the goal: 10 per cell of column and row difference. It rates
// diagonal moves high, so the search favours straight runs and settles
// quickly; the path found is legal but not always the cheapest.
int64_t Estimate(int column, int row, int goalColumn, int goalRow) {
    return 10 * (int64_t(std::abs(goalColumn - column)) + std::abs(goalRow - row));
}

}  // namespace

bool FindPath(NavGrid& grid, int startCell, int goalCell) {
    grid.path_.clear();
    if (!grid.CellNumberInGrid(startCell) || !grid.CellNumberInGrid(goalCell)) return false;
    if (startCell == goalCell) return true;

    std::vector<NavSearchRecord>& records = grid.records_;
    for (NavSearchRecord& r : records) r = NavSearchRecord{};
    NavOpenHeap open(grid.open_, records);
    open.Clear();
    open.Push(startCell);

    const int width = grid.width_;
    const int goalColumn = goalCell % width, goalRow = goalCell / width;
    while (!open.Empty()) {
        const int current = open.Pop();
        NavSearchRecord& here = records[size_t(current)];
        here.closed = 1;
        if (current == goalCell) {
            // Trace back, keeping the goal and every cell where the direction turns.
            int cell = goalCell, previous = 255;
            while (cell != startCell) {
                const int from = records[size_t(cell)].cameFrom;
                if (from != previous) grid.path_.push_back(cell);
                previous = from;
                const int* step = Direction[Opposite(from)];
                cell += step[1] * width + step[0];
            }
            return true;
        }

        const int column = current % width, row = current / width;
        bool blocked[10] = {};
        auto offer = [&](int direction, int cost) {
            const int c = column + Direction[direction][0], r = row + Direction[direction][1];
            const int cell = r * width + c;
            NavSearchRecord& next = records[size_t(cell)];
            const uint8_t value = grid.cells_[size_t(cell)];
            if (next.closed || value == NavCellClosed) return;
            const int64_t g = here.g + (value == NavCellFree ? 1 : value) * cost;
            if (next.g >= 1 && g >= next.g) return;
            next.g = g;
            next.f = g + Estimate(c, r, goalColumn, goalRow);
            next.cameFrom = uint8_t(direction);
            if (next.heapIndex == 0) {
                open.Push(cell);
            } else {
                open.SiftUp(next.heapIndex);
            }
        };
        for (int direction : Orthogonals) {
            const int c = column + Direction[direction][0], r = row + Direction[direction][1];
            if (!grid.CellInGrid(c, r) || IsWall(grid.cells_[size_t(r * width + c)])) {
                blocked[direction] = true;
                continue;
            }
            offer(direction, 10);
        }
        for (const int* d : Diagonals) {
            if (blocked[d[1]] || blocked[d[2]]) continue;
            const int c = column + Direction[d[0]][0], r = row + Direction[d[0]][1];
            if (IsWall(grid.cells_[size_t(r * width + c)])) continue;
            offer(d[0], 14);
        }
    }
    return false;
}
