#ifndef GAME_AI_SQUAD_ROUTE_H
#define GAME_AI_SQUAD_ROUTE_H

#include <cstdint>
#include <utility>
#include <cstddef>
#include <vector>

#include "core/vector.h"

class NavGrid;

// A node of a squad route as a member holds it. Every pushed node gets a new
// serial, never reused, so a member whose node was dropped or whose route was
// restarted finds it gone instead of reading a stale position.
using RouteNode = uint32_t;
const RouteNode RouteEnd = 0;

// The grid cells still ahead of a squad's leader, or the trail a player-led
// squad walked, oldest first.
class SquadRoute {
public:
    bool Empty() const { return nodes_.empty(); }
    int Size() const { return int(nodes_.size()); }
    int CellAt(int index) const { return nodes_[size_t(index)].second; }
    RouteNode NodeAt(int index) const { return nodes_[size_t(index)].first; }
    RouteNode LastNode() const { return nodes_.empty() ? RouteEnd : nodes_.back().first; }
    // Place of a node on the route; -1 for the end or a node no longer on it.
    int IndexOf(RouteNode node) const;
    // A node that is not the end and no longer on the route.
    bool Stale(RouteNode node) const { return node != RouteEnd && IndexOf(node) < 0; }

    void Clear() { nodes_.clear(); }
    RouteNode Push(int cell);
    // Keeps the nodes from the earliest of `walked` on; empties the route when
    // none of them is still on it.
    void CutBack(const std::vector<RouteNode>& walked);
    void RemoveAt(int index);

private:
    std::vector<std::pair<RouteNode, int>> nodes_;
    RouteNode nextSerial_ = 1;
};

// Searches the route backward from the leader's node (from the last node when
// the leader's is the end or gone) down to, not including, the first node, for
// a cell whose centre the member at `member` sees. Its index, or -1.
int FindVisibleRouteNode(const SquadRoute& route, RouteNode leaderNode, const Vector3& member,
                         const NavGrid& grid);

// One step of a player-led squad's trail: the leader's cell restarts the trail
// when `reset`, else it is appended. When the trail holds more than 2 cells and
// the third cell from the end sees the leader's cell, the second from the end
// is dropped: `dropped` and `next` (the node after it) are then set, so the
// members walking `dropped` can move on to `next`. True when a node was dropped.
bool AdvanceTrail(SquadRoute& route, int leaderCell, bool reset, const NavGrid& grid, RouteNode& dropped,
                  RouteNode& next);

#endif
