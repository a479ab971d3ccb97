#include <gtest/gtest.h>

#include <cstdlib>
#include <queue>

#include "core/random.h"
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

long Dijkstra(const NavGrid& g, int start, int goal) {
    const int w = g.Width();
    std::vector<long> dist(size_t(g.CellCount()), -1);
    using Entry = std::pair<long, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
    dist[size_t(start)] = 0;
    open.push({0, start});
    while (!open.empty()) {
        auto [d, cell] = open.top();
        open.pop();
        if (d != dist[size_t(cell)]) continue;
        if (cell == goal) return d;
        for (int dr = -1; dr <= 1; dr++) {
            for (int dc = -1; dc <= 1; dc++) {
                if (!dc && !dr) continue;
                const long step = StepCost(g, cell % w, cell / w, cell % w + dc, cell / w + dr);
                if (step < 0) continue;
                const int next = cell + dr * w + dc;
                if (dist[size_t(next)] < 0 || d + step < dist[size_t(next)]) {
                    dist[size_t(next)] = d + step;
                    open.push({d + step, next});
                }
            }
        }
    }
    return -1;
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

int Heading(const NavGrid& g, int from, int to) {
    const int w = g.Width();
    const int dc = to % w - from % w, dr = to / w - from / w;
    return 3 * ((dr > 0) - (dr < 0)) + ((dc > 0) - (dc < 0));
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

TEST(FindPath, FindsALegalPathExactlyWhenOneExistsOnRandomGrids) {
    GameSrand(20);
    NavGrid grid;
    int found = 0;
    for (int round = 0; round < 3000; round++) {
        const int w = 1 + GameRand() % 12, h = 1 + GameRand() % 12;
        grid.SetUpOver(0.0f, 5.0f * w, 0.0f, 5.0f * h, 5);
        for (int cell = 0; cell < w * h; cell++) {
            const int roll = GameRand() % 100;
            grid.SetCell(cell, roll < 60 ? 0 : roll < 70 ? 1 : roll < 85 ? 100 : uint8_t(2 + roll % 8));
        }
        const int start = GameRand() % (w * h), goal = GameRand() % (w * h);
        const long best = start == goal ? 0 : Dijkstra(grid, start, goal);
        const bool ok = FindPath(grid, start, goal);
        ASSERT_EQ(ok, best >= 0) << "round " << round;
        if (!ok) {
            ASSERT_TRUE(grid.Path().empty());
            continue;
        }
        found++;
        // The walk keeps every move rule; its cost is never below the cheapest.
        const long cost = WalkPath(grid, start, grid.Path());
        ASSERT_GE(cost, best) << "round " << round;
        // Every listed cell but the goal is a turn.
        std::vector<int> p = grid.Path();
        p.push_back(start);
        for (size_t i = 1; i + 1 < p.size(); i++) {
            ASSERT_NE(Heading(grid, p[i + 1], p[i]), Heading(grid, p[i], p[i - 1])) << "round " << round;
        }
    }
    EXPECT_GT(found, 1000);
}
