// Points filed by square of the ground, so the points within a radius of a
// position are found without visiting every one: the team AI files its
// projectile marks here once per update for the soldiers' dodges.
#ifndef GAME_AI_MARK_SQUARES_H
#define GAME_AI_MARK_SQUARES_H

#include <cstdint>
#include <utility>
#include <vector>

#include "core/vector.h"

class MarkSquares {
public:
    // Squares wider than any radius asked about: a point within it of a
    // position lies in the position's square or a neighbour.
    static constexpr float SquareSize = 64.0f;

    void Clear();
    // Files point number `index` (numbers rising with each call).
    void Add(uint32_t index, const Vector3& point);
    void Sort();
    // The numbers, rising, of the points in the 3 x 3 squares around p: every
    // point within SquareSize of it on the ground, and every point not finite
    // on some axis. False (nothing listed) for a position not finite on some
    // axis.
    bool Around(const Vector3& p, std::vector<uint32_t>& out) const;

private:
    std::vector<std::pair<uint64_t, uint32_t>> filed_;   // (square, number), sorted
    std::vector<uint32_t> anywhere_;
};

#endif
