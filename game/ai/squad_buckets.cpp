#include "game/ai/squad_buckets.h"

#include <algorithm>
#include <cmath>

namespace {

int BucketCount(float extent) {
    if (!(extent > 0.0f)) return 1;
    // A terrain of 10 km or more still gets a bounded table.
    const double n = std::ceil(double(extent) / SquadBuckets::BucketSize);
    return n > 100.0 ? 100 : std::max(1, int(n));
}

int ClampedWhole(float v, int count) {
    if (!(v >= 0.0f)) return 0;  // negative or not a number
    if (!(v < float(count))) return count - 1;
    return int(v);
}

}  // namespace

void SquadBuckets::SetUp(float minX, float maxX, float minY, float maxY) {
    originX_ = std::isfinite(minX) ? minX : 0.0f;
    originY_ = std::isfinite(minY) ? minY : 0.0f;
    columns_ = BucketCount(maxX - minX);
    rows_ = BucketCount(maxY - minY);
    buckets_.assign(size_t(columns_) * size_t(rows_), Bucket{});
}

void SquadBuckets::ColumnRowOf(const Vector3& p, int& column, int& row) const {
    column = ClampedWhole((p.x - originX_) / BucketSize, columns_);
    row = ClampedWhole((p.y - originY_) / BucketSize, rows_);
}

SquadBuckets::Bucket& SquadBuckets::AtPosition(const Vector3& p) {
    int column, row;
    ColumnRowOf(p, column, row);
    return At(column, row);
}

SquadBuckets::Span SquadBuckets::Around(int column, int row) const {
    return Span{std::max(column - 1, 0), std::min(column + 1, columns_ - 1), std::max(row - 1, 0),
                std::min(row + 1, rows_ - 1)};
}

Vector3 SquadBuckets::Centre(int column, int row) const {
    return Vector3{originX_ + BucketSize * float(column) + BucketSize * 0.5f,
                   originY_ + BucketSize * float(row) + BucketSize * 0.5f, 0.0f};
}

void SquadBuckets::RemoveSquad(CSquad* squad, int column, int row) {
    std::vector<CSquad*>& squads = At(column, row).squads;
    squads.erase(std::remove(squads.begin(), squads.end(), squad), squads.end());
}

void InfluenceMap::SetUp(int columns, int rows) {
    columns_ = std::max(columns, 0);
    rows_ = std::max(rows, 0);
    values_.assign(size_t(columns_) * size_t(rows_), 0.0f);
}

void InfluenceMap::Clear() { std::fill(values_.begin(), values_.end(), 0.0f); }

void InfluenceMap::Spread(int column, int row, float value) {
    auto add = [this](int c, int r, float v) {
        if (c >= 0 && c < columns_ && r >= 0 && r < rows_) values_[size_t(c + r * columns_)] += v;
    };
    add(column, row, value);
    add(column - 1, row, value * 0.5f);
    add(column + 1, row, value * 0.5f);
    add(column, row - 1, value * 0.5f);
    add(column, row + 1, value * 0.5f);
}

float InfluenceMap::Value(int column, int row) const {
    if (column < 0 || column >= columns_ || row < 0 || row >= rows_) return 0.0f;
    return values_[size_t(column + row * columns_)];
}
