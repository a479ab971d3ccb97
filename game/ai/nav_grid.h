#ifndef GAME_AI_NAV_GRID_H
#define GAME_AI_NAV_GRID_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/vector.h"

// Cell values of the navigation grid.
const uint8_t NavCellFree = 0;     // costs 1
const uint8_t NavCellClosed = 1;   // never entered, does not block diagonals
const uint8_t NavCellWall = 100;   // never entered, blocks diagonals past it
// 2..99: entered at that cost. Values above 100 count as walls.

// Per-cell search state, reused by every search.
struct NavSearchRecord {
    uint8_t closed = 0;
    uint8_t cameFrom = 0;  // keypad direction of the step that reached the cell
    int32_t heapIndex = 0; // place in the open list, 0 when not in it
    int64_t g = 0;         // cost from the start (0: not reached yet)
    int64_t f = 0;         // g + estimate to the goal
};

// A grid of square cells laid over the terrain's ground rectangle, for path
// finding and line-of-sight tests. Cell number = row * width + column; rows
// follow y, columns x, both counted from the grid origin.
class NavGrid {
public:
    // Cells per side at most (10 km of terrain at 5 units a cell).
    static const int MaxSide = 2048;

    // Frees earlier buffers; allocates and clears width * height cells and
    // search records when both are positive.
    void SetUp(int width, int height, int cellSize);
    // Lays a grid of `cellSize` cells over the ground rectangle: the origin is
    // (minX, minY) and the grid covers the whole extent, the last column and
    // row included even when cut short by the edge.
    void SetUpOver(float minX, float maxX, float minY, float maxY, int cellSize);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int CellSize() const { return cellSize_; }
    float InvCellSize() const { return invCellSize_; }
    float OriginX() const { return originX_; }
    float OriginY() const { return originY_; }
    int CellCount() const { return width_ * height_; }

    // The "cell test": 0 <= column < width and 0 <= row < height.
    bool CellInGrid(int column, int row) const {
        return column >= 0 && column < width_ && row >= 0 && row < height_;
    }
    bool CellNumberInGrid(int cell) const { return cell >= 0 && cell < CellCount(); }

    // Column and row of a ground position (x, y used), not range-checked.
    void ColumnRowOf(const Vector3& p, int& column, int& row) const;
    // The cell holding a position, or -1 outside the grid.
    int CellOf(const Vector3& p) const;
    // The cell holding a position, with column and row clamped into the grid;
    // -1 only for an empty grid.
    int NearestCellOf(const Vector3& p) const;
    // World point standing for a cell: its corner plus half a cell (whole
    // units), z = 0.
    Vector3 CellCentre(int cell) const;

    // Cell numbers must be in the grid (CellNumberInGrid).
    uint8_t Cell(int cell) const { return cells_[size_t(cell)]; }
    void SetCell(int cell, uint8_t value) { cells_[size_t(cell)] = value; }
    // The value at a column and row; `outside` when the pair is off the grid.
    uint8_t CellAt(int column, int row, uint8_t outside) const {
        return CellInGrid(column, row) ? cells_[size_t(row * width_ + column)] : outside;
    }

    // Turn cells of the last successful search, from the goal toward the start.
    const std::vector<int>& Path() const { return path_; }

private:
    friend bool FindPath(NavGrid& grid, int startCell, int goalCell);

    int width_ = 0;
    int height_ = 0;
    int cellSize_ = 5;
    float invCellSize_ = 0.2f;
    float originX_ = 0.0f;
    float originY_ = 0.0f;
    std::vector<uint8_t> cells_;
    std::vector<NavSearchRecord> records_;
    std::vector<int> open_;  // 1-based binary min-heap on f; element 0 unused
    std::vector<int> path_;
};

// True when no blocking cell lies on the grid line from `to` toward `from`
// (x and y used). The cell of `to` is not tested; leaving the grid counts as
// clear.
bool LineOfSight(const Vector3& from, const Vector3& to, const NavGrid& grid);

// A* search with eight neighbours from one cell to another. On success the
// grid's path holds the turn cells from the goal back toward the start (empty
// when start and goal are one cell); on failure it is empty.
bool FindPath(NavGrid& grid, int startCell, int goalCell);

#endif
