#ifndef TESTS_GAME_AI_NAV_TEST_UTIL_H
#define TESTS_GAME_AI_NAV_TEST_UTIL_H

#include <string>
#include <vector>

#include "game/ai/nav_grid.h"

// Builds a grid from rows of text separated by '|', origin (0, 0), cells of
// 5 units: '.' free, '#' wall (100), 'x' closed (1), '2'..'9' slow cells,
// 'S' and 'G' free cells whose numbers are returned in start and goal.
inline void MakeNavGrid(NavGrid& grid, const std::string& text, int* start = nullptr, int* goal = nullptr) {
    std::vector<std::string> rows(1);
    for (char ch : text) {
        if (ch == '|') {
            rows.emplace_back();
        } else {
            rows.back() += ch;
        }
    }
    const int height = int(rows.size()), width = int(rows[0].size());
    grid.SetUpOver(0.0f, 5.0f * width, 0.0f, 5.0f * height, 5);
    for (int r = 0; r < height; r++) {
        for (int c = 0; c < width; c++) {
            const char ch = rows[size_t(r)][size_t(c)];
            const int cell = r * width + c;
            uint8_t value = NavCellFree;
            if (ch == '#') value = NavCellWall;
            if (ch == 'x') value = NavCellClosed;
            if (ch >= '2' && ch <= '9') value = uint8_t(ch - '0');
            grid.SetCell(cell, value);
            if (ch == 'S' && start) *start = cell;
            if (ch == 'G' && goal) *goal = cell;
        }
    }
}

inline int NavCell(const NavGrid& grid, int column, int row) { return row * grid.Width() + column; }

// Centre of a cell as a world point.
inline Vector3 NavPoint(int column, int row) {
    return Vector3{column * 5.0f + 2.5f, row * 5.0f + 2.5f, 0.0f};
}

#endif
