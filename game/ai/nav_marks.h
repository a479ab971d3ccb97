// What marks the navigation grid: the ground footprint of every static prop
// is a wall, so routes go round walls, rocks and trees and sight lines stop
// at them. Moving props (crates) and vehicles leave the grid alone.
#ifndef GAME_AI_NAV_MARKS_H
#define GAME_AI_NAV_MARKS_H

#include <cstdint>

#include "core/geometry.h"
#include "game/ai/nav_grid.h"

class CWorld;

// Sets every cell whose square the box's projection on the ground overlaps
// (touching an edge is not overlapping). Returns the cells set.
int MarkBoxFootprint(NavGrid& grid, const OrientedBox& box, uint8_t value);

// Marks the footprint of each collision part's box of every static prop
// as a wall. Returns the cells set.
int MarkStaticProps(NavGrid& grid, const CWorld& world);

#endif
