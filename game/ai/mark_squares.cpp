#include "game/ai/mark_squares.h"

#include <algorithm>
#include <cmath>

namespace {

// Dividing by a power of two is exact and clamping keeps order, so the
// squares of two points never lie farther apart than the points themselves.
// A height that is not finite makes every distance so too: such a point has
// no square.
bool SquareOf(const Vector3& p, int& column, int& row) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
        return false;
    column = int(std::floor(std::min(std::max(p.x / MarkSquares::SquareSize, -1e6f), 1e6f)));
    row = int(std::floor(std::min(std::max(p.y / MarkSquares::SquareSize, -1e6f), 1e6f)));
    return true;
}

uint64_t Key(int column, int row) {
    return (uint64_t(uint32_t(column)) << 32) | uint32_t(row);
}

}  // namespace

void MarkSquares::Clear() {
    filed_.clear();
    anywhere_.clear();
}

void MarkSquares::Add(uint32_t index, const Vector3& point) {
    int column, row;
    if (SquareOf(point, column, row))
        filed_.emplace_back(Key(column, row), index);
    else
        anywhere_.push_back(index);
}

void MarkSquares::Sort() {
    std::sort(filed_.begin(), filed_.end());
}

bool MarkSquares::Around(const Vector3& p, std::vector<uint32_t>& out) const {
    out.clear();
    int column, row;
    if (!SquareOf(p, column, row))
        return false;
    out = anywhere_;
    for (int c = column - 1; c <= column + 1; c++)
        for (int r = row - 1; r <= row + 1; r++) {
            const std::pair<uint64_t, uint32_t> first(Key(c, r), 0);
            for (auto it = std::lower_bound(filed_.begin(), filed_.end(), first);
                 it != filed_.end() && it->first == first.first; ++it)
                out.push_back(it->second);
        }
    std::sort(out.begin(), out.end());
    return true;
}
