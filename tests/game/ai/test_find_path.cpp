#include <gtest/gtest.h>

#include <cstdlib>
#include <queue>

#include "core/random.h"
#include "tests/game/ai/nav_test_util.h"

namespace {

std::vector<int> Cells(const NavGrid& grid, std::initializer_list<std::pair<int, int>> cr) {
    std::vector<int> out;
    for (auto& p : cr) out.push_back(NavCell(grid, p.first, p.second));
    return out;
}

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

TEST(FindPath, ListsTheGoalAndEveryTurnCell) {
    NavGrid grid;
    int s, g;
    MakeNavGrid(grid, {"S.....G"}, &s, &g);
    ASSERT_TRUE(FindPath(grid, s, g));
    EXPECT_EQ(grid.Path(), std::vector<int>{g});

    MakeNavGrid(grid, {
                          "S...",
                          "###.",
                          "...G",
                      },
                &s, &g);
    ASSERT_TRUE(FindPath(grid, s, g));
    // The corner cell, not a diagonal past the wall's end.
    EXPECT_EQ(grid.Path(), Cells(grid, {{3, 2}, {3, 0}}));
    EXPECT_EQ(WalkPath(grid, s, grid.Path()), 50);
}

TEST(FindPath, NeverCutsAWallCornerButPassesClosedCells) {
    NavGrid grid;
    int s, g;
    MakeNavGrid(grid, {
                          "S#",
                          "#G",
                      },
                &s, &g);
    EXPECT_FALSE(FindPath(grid, s, g));
    EXPECT_TRUE(grid.Path().empty());

    MakeNavGrid(grid, {
                          "Sx",
                          "xG",
                      },
                &s, &g);
    ASSERT_TRUE(FindPath(grid, s, g));
    EXPECT_EQ(grid.Path(), std::vector<int>{g});

    // Around a wall corner the diagonal past it is refused: two straight steps.
    MakeNavGrid(grid, {"S..", ".#.", "..G"}, &s, &g);
    ASSERT_TRUE(FindPath(grid, s, g));
    EXPECT_EQ(WalkPath(grid, s, grid.Path()), 40);
}

TEST(FindPath, WeighsSlowCells) {
    NavGrid grid;
    int s, g;
    // Through the 3: 30 + 10; round it by two diagonals: 28.
    MakeNavGrid(grid, {"S3G", "..."}, &s, &g);
    ASSERT_TRUE(FindPath(grid, s, g));
    EXPECT_EQ(grid.Path(), Cells(grid, {{2, 0}, {1, 1}}));
    // Round a 5 the diagonals cost 70 + 14, so the 3 is crossed.
    MakeNavGrid(grid, {"S3G", ".5."}, &s, &g);
    ASSERT_TRUE(FindPath(grid, s, g));
    EXPECT_EQ(grid.Path(), std::vector<int>{g});
    EXPECT_EQ(WalkPath(grid, s, grid.Path()), 40);
}

TEST(FindPath, GoalReachedAsTheLastOpenCellIsFound) {
    NavGrid grid;
    int s, g;
    MakeNavGrid(grid, {"S.G"}, &s, &g);
    ASSERT_TRUE(FindPath(grid, s, g));
    EXPECT_EQ(grid.Path(), std::vector<int>{g});
    MakeNavGrid(grid, {"S.#..", "##..G"}, &s, &g);
    EXPECT_FALSE(FindPath(grid, s, g));
}

TEST(FindPath, StartEqualsGoalAndBadCellsLeaveNoStalePath) {
    NavGrid grid;
    int s, g;
    MakeNavGrid(grid, {"S..", "..G"}, &s, &g);
    ASSERT_TRUE(FindPath(grid, s, g));
    ASSERT_FALSE(grid.Path().empty());
    EXPECT_TRUE(FindPath(grid, g, g));
    EXPECT_TRUE(grid.Path().empty());

    ASSERT_TRUE(FindPath(grid, s, g));
    EXPECT_FALSE(FindPath(grid, s, -1));
    EXPECT_TRUE(grid.Path().empty());
    EXPECT_FALSE(FindPath(grid, grid.CellCount(), g));
    // A goal inside a wall or a closed cell is never reached.
    MakeNavGrid(grid, {"S.#"}, &s);
    EXPECT_FALSE(FindPath(grid, s, 2));
    MakeNavGrid(grid, {"S.x"}, &s);
    EXPECT_FALSE(FindPath(grid, s, 2));
}

TEST(FindPath, MatchesAReferenceSearchOnRandomGrids) {
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
        ASSERT_EQ(WalkPath(grid, start, grid.Path()), best) << "round " << round;
        // Every listed cell but the goal is a turn.
        std::vector<int> p = grid.Path();
        p.push_back(start);
        for (size_t i = 1; i + 1 < p.size(); i++) {
            ASSERT_NE(Heading(grid, p[i + 1], p[i]), Heading(grid, p[i], p[i - 1])) << "round " << round;
        }
    }
    EXPECT_GT(found, 1000);
}
