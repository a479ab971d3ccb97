#include "game/ai/member_box.h"

#include <algorithm>
#include <cmath>

MemberBox MemberBoxAround(const std::vector<Vector3>& positions) {
    MemberBox box;
    if (positions.empty())
        return box;
    box.min = box.max = positions.front();
    for (const Vector3& p : positions) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
            return MemberBox{};
        box.min = Vector3{std::min(box.min.x, p.x), std::min(box.min.y, p.y), std::min(box.min.z, p.z)};
        box.max = Vector3{std::max(box.max.x, p.x), std::max(box.max.y, p.y), std::max(box.max.z, p.z)};
    }
    box.bounded = true;
    return box;
}

namespace {

// Rounding keeps the order of differences, so the gap on an axis is never
// more than a position's own difference there.
float Gap(float p, float low, float high) {
    if (p < low)
        return low - p;
    if (p > high)
        return p - high;
    return 0.0f;
}

}  // namespace

float MemberBoxGapSquared(const MemberBox& box, const Vector3& p) {
    if (!box.bounded)
        return 0.0f;
    const Vector3 gap{Gap(p.x, box.min.x, box.max.x), Gap(p.y, box.min.y, box.max.y),
                      Gap(p.z, box.min.z, box.max.z)};
    return Vector3LengthSquared(gap);
}
