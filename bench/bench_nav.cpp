// Path searches and line-of-sight walks across a whole navigation grid.
#include <benchmark/benchmark.h>

#include "game/ai/nav_grid.h"

namespace {

// A square grid of `side` cells with wall strips across it, alternately open
// at either end, so the path winds over the whole grid; slow patches between.
void MakeMaze(NavGrid& grid, int side) {
    grid.SetUpOver(0.0f, 5.0f * side, 0.0f, 5.0f * side, 5);
    for (int row = 4; row < side - 1; row += 8) {
        const bool openLeft = (row / 8) % 2 == 0;
        for (int column = 0; column < side; column++) {
            const bool gap = openLeft ? column < 3 : column >= side - 3;
            if (!gap) grid.SetCell(row * side + column, NavCellWall);
        }
    }
    for (int cell = 0; cell < side * side; cell += 7) {
        if (grid.Cell(cell) == NavCellFree) grid.SetCell(cell, 3);
    }
}

void BM_FindPathAcrossGrid(benchmark::State& state) {
    const int side = int(state.range(0));
    NavGrid grid;
    MakeMaze(grid, side);
    const int start = 1, goal = side * side - 2;
    for (auto _ : state) {
        bool ok = FindPath(grid, start, goal);
        benchmark::DoNotOptimize(ok);
        if (!ok) state.SkipWithError("no path");
    }
    state.counters["turns"] = double(grid.Path().size());
}
// 200: the shipped 1 km terrain; 400: a 2 km terrain.
BENCHMARK(BM_FindPathAcrossGrid)->Arg(200)->Arg(400)->Unit(benchmark::kMicrosecond);

// Corner to corner round one wall across the middle: the common case of a
// mostly free grid.
void BM_FindPathOpenGrid(benchmark::State& state) {
    const int side = int(state.range(0));
    NavGrid grid;
    grid.SetUpOver(0.0f, 5.0f * side, 0.0f, 5.0f * side, 5);
    for (int column = side / 4; column < side; column++) grid.SetCell((side / 2) * side + column, NavCellWall);
    for (auto _ : state) {
        bool ok = FindPath(grid, side - 1, side * side - 1);
        benchmark::DoNotOptimize(ok);
    }
}
BENCHMARK(BM_FindPathOpenGrid)->Arg(200)->Unit(benchmark::kMicrosecond);

void BM_LineOfSightAcrossGrid(benchmark::State& state) {
    const int side = int(state.range(0));
    NavGrid grid;
    grid.SetUpOver(0.0f, 5.0f * side, 0.0f, 5.0f * side, 5);
    const Vector3 from{1.0f, 2.0f, 0.0f}, to{5.0f * side - 1.0f, 5.0f * side - 7.0f, 0.0f};
    for (auto _ : state) {
        bool clear = LineOfSight(from, to, grid);
        benchmark::DoNotOptimize(clear);
    }
}
BENCHMARK(BM_LineOfSightAcrossGrid)->Arg(200)->Arg(400);

}  // namespace
