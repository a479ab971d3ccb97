#include <gtest/gtest.h>

#include <cstdlib>

#include "core/random.h"
#include "game/ai/nav_heap.h"
#include "tests/game/ai/nav_test_util.h"

namespace {

// Move rules written out afresh for the reference search: orthogonal moves
// into cells that are neither walls nor closed, diagonal moves only when both
// orthogonal sides are on the grid and not walls.
bool Enterable(const NavGrid& g, int c, int r) {
    return g.CellInGrid(c, r) && g.CellAt(c, r, 0) != 100 && g.CellAt(c, r, 0) != 1;
}
bool SideOpen(const NavGrid& g, int c, int r) { return g.CellInGrid(c, r) && g.CellAt(c, r, 0) != 100; }
long StepCost(const NavGrid& g, int c0, int r0, int c1, int r1) {
    const int dc = c1 - c0, dr = r1 - r0;
    if (!Enterable(g, c1, r1)) return -1;
    if (dc != 0 && dr != 0 && (!SideOpen(g, c0 + dc, r0) || !SideOpen(g, c0, r0 + dr))) return -1;
    const int v = g.CellAt(c1, r1, 0);
    return (v == 0 ? 1 : v) * (dc != 0 && dr != 0 ? 14 : 10);
}

// Whether any chain of legal steps leads from start to goal.
bool Reachable(const NavGrid& g, int start, int goal) {
    const int w = g.Width();
    std::vector<bool> seen(size_t(g.CellCount()));
    std::vector<int> open{start};
    seen[size_t(start)] = true;
    while (!open.empty()) {
        const int cell = open.back();
        open.pop_back();
        if (cell == goal) return true;
        for (int dr = -1; dr <= 1; dr++) {
            for (int dc = -1; dc <= 1; dc++) {
                const int next = cell + dr * w + dc;
                if ((dc || dr) && StepCost(g, cell % w, cell / w, cell % w + dc, cell / w + dr) >= 0 &&
                    !seen[size_t(next)]) {
                    seen[size_t(next)] = true;
                    open.push_back(next);
                }
            }
        }
    }
    return false;
}

// Walks the found path from the start through its turn cells to the goal,
// checking every step against the move rules; returns the cost, or -1.
long WalkPath(const NavGrid& g, int start, const std::vector<int>& path) {
    const int w = g.Width();
    long cost = 0;
    int cell = start;
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
        const int dc = *it % w - cell % w, dr = *it / w - cell / w;
        if ((dc == 0 && dr == 0) || (dc != 0 && dr != 0 && std::abs(dc) != std::abs(dr))) return -1;
        const int sc = (dc > 0) - (dc < 0), sr = (dr > 0) - (dr < 0);
        while (cell != *it) {
            const long step = StepCost(g, cell % w, cell / w, cell % w + sc, cell / w + sr);
            if (step < 0) return -1;
            cost += step;
            cell += sr * w + sc;
        }
    }
    return cost;
}

// The open list and search as the rules describe them, written apart from
// the game's: a 1-based heap on f found by linear search, neighbours offered
// 6, 4, 2, 8, 1, 3, 7, 9, the goal taken when it leaves the open list.
struct RefRecord {
    bool closed = false;
    long g = 0, f = 0;
    int from = 0;
};

struct RefHeap {
    std::vector<int> cells{-1};
    std::vector<RefRecord>* records;
    long F(size_t i) const { return (*records)[size_t(cells[i])].f; }
    void Up(size_t i) {
        while (i > 1 && !(F(i / 2) < F(i))) {
            std::swap(cells[i], cells[i / 2]);
            i /= 2;
        }
    }
    void Push(int cell) {
        cells.push_back(cell);
        Up(cells.size() - 1);
    }
    void Update(int cell) {
        for (size_t i = 1; i < cells.size(); i++)
            if (cells[i] == cell) Up(i);
    }
    int Pop() {
        const int top = cells[1];
        cells[1] = cells.back();
        cells.pop_back();
        const size_t n = cells.size() - 1;
        for (size_t i = 1; 2 * i <= n;) {
            size_t pick = i;
            for (size_t child : {2 * i, 2 * i + 1})
                if (child <= n && F(child) <= F(pick)) pick = child;
            if (pick == i) break;
            std::swap(cells[i], cells[pick]);
            i = pick;
        }
        return top;
    }
};

// The turn cells from the goal back toward the start; false for no path.
bool ReferenceSearch(const NavGrid& g, int start, int goal, std::vector<int>& path) {
    path.clear();
    if (start == goal) return true;
    const int w = g.Width();
    const int step[10][2] = {{0, 0}, {-1, 1}, {0, 1}, {1, 1}, {-1, 0}, {0, 0}, {1, 0}, {-1, -1}, {0, -1}, {1, -1}};
    auto value = [&](int c, int r) { return g.CellAt(c, r, 100); };
    std::vector<RefRecord> records(size_t(g.CellCount()));
    RefHeap open;
    open.records = &records;
    open.Push(start);
    while (open.cells.size() > 1) {
        const int cell = open.Pop();
        records[size_t(cell)].closed = true;
        if (cell == goal) {
            for (int at = goal, previous = 255; at != start;) {
                const int from = records[size_t(at)].from;
                if (from != previous) path.push_back(at);
                previous = from;
                at -= step[from][1] * w + step[from][0];
            }
            return true;
        }
        const int c = cell % w, r = cell / w;
        bool blocked[10] = {};
        for (int d : {6, 4, 2, 8, 1, 3, 7, 9}) {
            const int nc = c + step[d][0], nr = r + step[d][1];
            const bool diagonal = d % 2 == 1;
            if (!diagonal && value(nc, nr) >= 100) {
                blocked[d] = true;
                continue;
            }
            if (diagonal && (blocked[d < 5 ? 2 : 8] || blocked[d == 1 || d == 7 ? 4 : 6] || value(nc, nr) >= 100))
                continue;
            const int next = nr * w + nc;
            RefRecord& rec = records[size_t(next)];
            if (rec.closed || value(nc, nr) == 1) continue;
            const int v = value(nc, nr);
            const long gNew = records[size_t(cell)].g + (v == 0 ? 1 : v) * (diagonal ? 14 : 10);
            if (rec.g >= 1 && gNew >= rec.g) continue;
            const bool listed = rec.g >= 1;
            rec.g = gNew;
            rec.f = gNew + 10 * (std::abs(goal % w - nc) + std::abs(goal / w - nr));
            rec.from = d;
            listed ? open.Update(next) : open.Push(next);
        }
    }
    return false;
}

}  // namespace

// Hand-made grids (rows separated by '|') with their expected path: the goal
// and the turn cells as (column, row), and the cost; no path when empty.
struct HandCase {
    const char* grid;
    std::vector<std::pair<int, int>> path;
    long cost;
};

TEST(FindPath, HandMadeGrids) {
    const HandCase cases[] = {
        {"S.....G", {{6, 0}}, 60},                          // straight: the goal alone
        {"S...|###.|...G", {{3, 2}, {3, 0}}, 50},           // the corner, no diagonal past the wall end
        {"S#|#G", {}, -1},                                  // walls touching at a corner
        {"Sx|xG", {{1, 1}}, 14},                            // closed cells do not block diagonals
        {"S..|.#.|..G", {{2, 2}, {0, 2}}, 40},              // round a lone wall cell
        {"S3G|...", {{2, 0}, {1, 1}}, 28},                  // round a 3 (30 + 10) by two diagonals
        {"S3G|.5.", {{2, 0}}, 40},                          // round a 5 costs 70 + 14: cross the 3
        {"S.G", {{2, 0}}, 20},                              // goal found as the last open cell
        {"..S..|.###.|..G..", {{2, 2}, {4, 2}, {4, 0}}, 60}, // round a wall either way: ties go east
        {"S.#..|##..G", {}, -1},                            // pocket closed by a corner
        {"S.#", {}, -1},                                    // goal in a wall
        {"S.x", {}, -1},                                    // goal in a closed cell
    };
    for (const HandCase& c : cases) {
        NavGrid grid;
        int s = 0, g = -1;
        MakeNavGrid(grid, c.grid, &s, &g);
        if (g < 0) g = grid.CellCount() - 1;
        const bool found = FindPath(grid, s, g);
        EXPECT_EQ(found, !c.path.empty()) << c.grid;
        std::vector<int> expected;
        for (auto& cr : c.path) expected.push_back(NavCell(grid, cr.first, cr.second));
        EXPECT_EQ(grid.Path(), expected) << c.grid;
        if (found) {
            EXPECT_EQ(WalkPath(grid, s, grid.Path()), c.cost) << c.grid;
        }
    }
}

TEST(FindPath, StartEqualsGoalAndBadCellsLeaveNoStalePath) {
    NavGrid grid;
    int s, g;
    MakeNavGrid(grid, "S..|..G", &s, &g);
    ASSERT_TRUE(FindPath(grid, s, g));
    ASSERT_FALSE(grid.Path().empty());
    EXPECT_TRUE(FindPath(grid, g, g));
    EXPECT_TRUE(grid.Path().empty());

    ASSERT_TRUE(FindPath(grid, s, g));
    EXPECT_FALSE(FindPath(grid, s, -1));
    EXPECT_TRUE(grid.Path().empty());
    EXPECT_FALSE(FindPath(grid, grid.CellCount(), g));
}

// Random grids of free, slow, closed and wall cells: the search lists the
// same turn cells as the reference, finds a path exactly when one exists,
// and every path keeps the move rules.
TEST(FindPath, ListsTheReferenceTurnCellsOnRandomGrids) {
    GameSrand(20);
    NavGrid grid;
    int found = 0, turns = 0;
    for (int round = 0; round < 3000; round++) {
        const int w = 1 + GameRand() % 14, h = 1 + GameRand() % 14;
        grid.SetUpOver(0.0f, 5.0f * w, 0.0f, 5.0f * h, 5);
        for (int cell = 0; cell < w * h; cell++) {
            const int roll = GameRand() % 100;
            grid.SetCell(cell, roll < 60 ? 0 : roll < 70 ? 1 : roll < 85 ? 100 : uint8_t(2 + roll % 8));
        }
        const int start = GameRand() % (w * h), goal = GameRand() % (w * h);
        std::vector<int> expected;
        const bool reference = ReferenceSearch(grid, start, goal, expected);
        const bool ok = FindPath(grid, start, goal);
        ASSERT_EQ(ok, reference) << "round " << round;
        ASSERT_EQ(ok, Reachable(grid, start, goal)) << "round " << round;
        ASSERT_EQ(grid.Path(), expected) << "round " << round;
        if (!ok || start == goal) continue;
        found++;
        turns += int(expected.size()) - 1;
        ASSERT_GE(WalkPath(grid, start, grid.Path()), 0) << "round " << round;
    }
    EXPECT_GT(found, 1000);
    EXPECT_GT(turns, 1000) << "the grids make paths that turn";
}

// Equal f values: each push rises past its equals to the top, and a pop
// moves the last entry down past equal children, the right one first.
TEST(FindPath, OpenListPopOrder) {
    std::vector<NavSearchRecord> records(64);
    std::vector<int> heap;
    NavOpenHeap open(heap, records);
    open.Clear();
    for (int cell = 0; cell < 5; cell++) {
        records[size_t(cell)].f = 2;
        open.Push(cell);
    }
    std::vector<int> order;
    while (!open.Empty()) order.push_back(open.Pop());
    EXPECT_EQ(order, (std::vector<int>{4, 1, 2, 3, 0}));

    // Random pushes, lowered f values and pops with many ties, against the
    // reference heap.
    GameSrand(5);
    std::vector<RefRecord> refRecords(64);
    RefHeap ref;
    ref.records = &refRecords;
    open.Clear();
    std::vector<bool> listed(64);
    for (int step = 0; step < 20000; step++) {
        const int roll = GameRand() % 10, cell = GameRand() % 64;
        if (roll < 4 && !listed[size_t(cell)]) {
            records[size_t(cell)].f = refRecords[size_t(cell)].f = GameRand() % 6;
            open.Push(cell);
            ref.Push(cell);
            listed[size_t(cell)] = true;
        } else if (roll < 6 && listed[size_t(cell)] && records[size_t(cell)].f > 0) {
            records[size_t(cell)].f = refRecords[size_t(cell)].f = records[size_t(cell)].f - 1 - GameRand() % 2;
            open.SiftUp(records[size_t(cell)].heapIndex);
            ref.Update(cell);
        } else if (!open.Empty()) {
            const int popped = open.Pop();
            ASSERT_EQ(popped, ref.Pop()) << "step " << step;
            listed[size_t(popped)] = false;
        }
    }
}
