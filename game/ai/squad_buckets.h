#ifndef GAME_AI_SQUAD_BUCKETS_H
#define GAME_AI_SQUAD_BUCKETS_H

#include <cstddef>
#include <vector>

#include "core/vector.h"

class CSquad;

// A point that moving soldiers steer around, with its radius.
struct AiObstacle {
    Vector3 point;
    float radius = 0.0f;
};

// Squares of 100 units laid over the terrain: each holds the squads standing
// in it and the obstacles there. Perception, avoidance and target choice look
// only at the 3 x 3 buckets around a soldier or squad.
class SquadBuckets {
public:
    static constexpr float BucketSize = 100.0f;

    struct Bucket {
        std::vector<CSquad*> squads;
        std::vector<AiObstacle> obstacles;
    };
    // A 3 x 3 block of buckets cut to the grid (inclusive bounds).
    struct Span {
        int column0, column1, row0, row1;
    };

    // At least one bucket each way, whatever the terrain's size.
    void SetUp(float minX, float maxX, float minY, float maxY);

    int Columns() const { return columns_; }
    int Rows() const { return rows_; }
    // Column and row of a ground position, clamped into the grid.
    void ColumnRowOf(const Vector3& p, int& column, int& row) const;
    int Number(int column, int row) const { return column + row * columns_; }
    Bucket& At(int column, int row) { return buckets_[size_t(Number(column, row))]; }
    const Bucket& At(int column, int row) const { return buckets_[size_t(Number(column, row))]; }
    Bucket& AtPosition(const Vector3& p);
    Span Around(int column, int row) const;
    // The middle of a bucket on the ground, z = 0.
    Vector3 Centre(int column, int row) const;

    void AddObstacle(const AiObstacle& obstacle) { AtPosition(obstacle.point).obstacles.push_back(obstacle); }
    void AddSquad(CSquad* squad, int column, int row) { At(column, row).squads.push_back(squad); }
    void RemoveSquad(CSquad* squad, int column, int row);

private:
    float originX_ = 0.0f, originY_ = 0.0f;
    int columns_ = 1, rows_ = 1;
    std::vector<Bucket> buckets_ = std::vector<Bucket>(1);
};

// One value per bucket: the team's strength around its soldiers, less that of
// the enemies it knows of. Squads pick the weakest neighbouring bucket.
class InfluenceMap {
public:
    void SetUp(int columns, int rows);
    void Clear();
    // Adds `value` at the bucket and half of it at each orthogonal neighbour;
    // parts that fall off the map are dropped.
    void Spread(int column, int row, float value);
    // Off the map reads as 0.
    float Value(int column, int row) const;

private:
    int columns_ = 0, rows_ = 0;
    std::vector<float> values_;
};

#endif
