#include <cstdlib>

#include "game/ai/nav_grid.h"

// Bresenham walk over the cells from `to` toward `from`: each step moves and
// then tests the new cell, so the cell of `from` is tested and that of `to`
// is not.
bool LineOfSight(const Vector3& from, const Vector3& to, const NavGrid& grid) {
    int column, row, endColumn, endRow;
    grid.ColumnRowOf(to, column, row);
    grid.ColumnRowOf(from, endColumn, endRow);
    const long long dx = std::llabs((long long)endColumn - column);
    const long long dy = std::llabs((long long)endRow - row);
    const int stepColumn = endColumn > column ? 1 : -1;
    const int stepRow = endRow > row ? 1 : -1;
    // Far-off points leave the grid within a grid's length of steps.
    const long long limit = (long long)grid.Width() + grid.Height() + 2;

    const bool rowMajor = dx < dy;
    const long long major = rowMajor ? dy : dx;
    const long long minor = rowMajor ? dx : dy;
    long long decision = 2 * minor - major;
    for (long long i = 0; i < major && i <= limit; i++) {
        const bool sideStep = decision > 0;
        decision += sideStep ? 2 * (minor - major) : 2 * minor;
        if (rowMajor) {
            row += stepRow;
            if (sideStep) column += stepColumn;
        } else {
            column += stepColumn;
            if (sideStep) row += stepRow;
        }
        if (!grid.CellInGrid(column, row)) return true;
        if (grid.CellAt(column, row, NavCellFree) != NavCellFree) return false;
    }
    return true;
}
