#include "game/ai/formation.h"

#include <cmath>

float FollowDistanceSquared(int k) {
    const float d = float(k) * 1.5f + 3.0f;
    return d * d;
}

bool FormLineAbreast(const Vector3& leader, const Vector3& target, const std::vector<Vector3>& followers,
                     std::vector<Vector3>& offsets) {
    offsets.clear();
    const float dx = target.x - leader.x, dy = target.y - leader.y;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (!(length > 0.0f) || !std::isfinite(length)) return false;
    const Vector3 across{dy / length, -dx / length, 0.0f};
    int left = 0, right = 0;
    for (const Vector3& p : followers) {
        Vector3 toLeft, toRight;
        Vector3Scale(toLeft, across, -10.0f * float(left + 1));
        Vector3Scale(toRight, across, 10.0f * float(right + 1));
        auto distance = [&](const Vector3& offset) {
            const float x = leader.x + offset.x - p.x, y = leader.y + offset.y - p.y;
            return x * x + y * y;
        };
        if (distance(toRight) < distance(toLeft)) {
            offsets.push_back(toRight);
            right++;
        } else {
            offsets.push_back(toLeft);
            left++;
        }
    }
    return true;
}
