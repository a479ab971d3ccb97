#include "game/ai/nav_grid.h"

#include <cmath>

void NavGrid::SetUp(int width, int height, int cellSize) {
    cells_.clear();
    cells_.shrink_to_fit();
    records_.clear();
    records_.shrink_to_fit();
    path_.clear();
    open_.clear();
    open_.reserve(100);
    width_ = 0;
    height_ = 0;
    if (width > 0 && height > 0) {
        width_ = width < MaxSide ? width : MaxSide;
        height_ = height < MaxSide ? height : MaxSide;
        cells_.assign(size_t(width_) * size_t(height_), NavCellFree);
        records_.assign(size_t(width_) * size_t(height_), NavSearchRecord{});
    }
    cellSize_ = cellSize > 0 ? cellSize : 5;
    invCellSize_ = 1.0f / float(cellSize_);
}

void NavGrid::SetUpOver(float minX, float maxX, float minY, float maxY, int cellSize) {
    if (cellSize <= 0) cellSize = 5;
    // Whole cells over the extent, rounding up so positions in the last,
    // partly covered strip still have a cell.
    auto count = [cellSize](float extent) {
        if (!(extent > 0.0f)) return 0;
        double n = std::ceil(double(extent) / cellSize);
        return n > NavGrid::MaxSide ? NavGrid::MaxSide : int(n);
    };
    SetUp(count(maxX - minX), count(maxY - minY), cellSize);
    originX_ = std::isfinite(minX) ? minX : 0.0f;
    originY_ = std::isfinite(minY) ? minY : 0.0f;
}

void NavGrid::ColumnRowOf(const Vector3& p, int& column, int& row) const {
    // Floor, not truncation: positions just below the origin are off the grid.
    auto whole = [](float v) {
        if (!(v > -1e9f)) return -1000000000;
        if (!(v < 1e9f)) return 1000000000;
        return int(std::floor(v));
    };
    column = whole((p.x - originX_) * invCellSize_);
    row = whole((p.y - originY_) * invCellSize_);
}

int NavGrid::CellOf(const Vector3& p) const {
    int column, row;
    ColumnRowOf(p, column, row);
    return CellInGrid(column, row) ? row * width_ + column : -1;
}

int NavGrid::NearestCellOf(const Vector3& p) const {
    if (width_ <= 0 || height_ <= 0) return -1;
    int column, row;
    ColumnRowOf(p, column, row);
    column = column < 0 ? 0 : column >= width_ ? width_ - 1 : column;
    row = row < 0 ? 0 : row >= height_ ? height_ - 1 : row;
    return row * width_ + column;
}

Vector3 NavGrid::CellCentre(int cell) const {
    const int half = cellSize_ / 2;
    const int w = width_ > 0 ? width_ : 1;
    return Vector3{float(cellSize_ * (cell % w) + half) + originX_,
                   float(cellSize_ * (cell / w) + half) + originY_, 0.0f};
}
