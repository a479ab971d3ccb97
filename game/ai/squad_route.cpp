#include "game/ai/squad_route.h"

#include <algorithm>

#include "game/ai/nav_grid.h"

int SquadRoute::IndexOf(RouteNode node) const {
    if (node == RouteEnd) return -1;
    // Serials grow along the route: binary search.
    auto it = std::lower_bound(nodes_.begin(), nodes_.end(), node,
                               [](const std::pair<RouteNode, int>& n, RouteNode s) { return n.first < s; });
    return it != nodes_.end() && it->first == node ? int(it - nodes_.begin()) : -1;
}

RouteNode SquadRoute::Push(int cell) {
    if (nextSerial_ == RouteEnd) {
        // After four billion nodes the serials start again: drop the old ones
        // so the order along the route still holds.
        nodes_.clear();
        nextSerial_ = 1;
    }
    nodes_.emplace_back(nextSerial_, cell);
    return nextSerial_++;
}

void SquadRoute::CutBack(const std::vector<RouteNode>& walked) {
    int first = -1;
    for (RouteNode node : walked) {
        const int index = IndexOf(node);
        if (index >= 0 && (first < 0 || index < first)) first = index;
    }
    if (first < 0) {
        nodes_.clear();
    } else {
        nodes_.erase(nodes_.begin(), nodes_.begin() + first);
    }
}

void SquadRoute::RemoveAt(int index) {
    if (index >= 0 && index < Size()) nodes_.erase(nodes_.begin() + index);
}

int FindVisibleRouteNode(const SquadRoute& route, RouteNode leaderNode, const Vector3& member,
                         const NavGrid& grid) {
    int index = route.IndexOf(leaderNode);
    if (index < 0) index = route.Size() - 1;
    for (; index > 0; index--) {
        if (LineOfSight(member, grid.CellCentre(route.CellAt(index)), grid)) return index;
    }
    return -1;
}

bool AdvanceTrail(SquadRoute& route, int leaderCell, bool reset, const NavGrid& grid, RouteNode& dropped,
                  RouteNode& next) {
    if (reset) route.Clear();
    route.Push(leaderCell);
    const int size = route.Size();
    if (size <= 2) return false;
    const Vector3 third = grid.CellCentre(route.CellAt(size - 3));
    if (!LineOfSight(third, grid.CellCentre(leaderCell), grid)) return false;
    dropped = route.NodeAt(size - 2);
    next = route.NodeAt(size - 1);
    route.RemoveAt(size - 2);
    return true;
}
