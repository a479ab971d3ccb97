// The lookups that spare the soldiers a scan of every projectile and every
// squad member, checked against the plain scan on random layouts: they may
// list more, never miss one that counts, and keep the world's order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "core/vector.h"
#include "game/ai/mark_squares.h"
#include "game/ai/member_box.h"
#include "game/ai/projectile_marks.h"
#include "game/weapons/projectile.h"

namespace {

float DistanceSquared(const Vector3& a, const Vector3& b) {
    Vector3 d;
    return Vector3LengthSquared(Vector3Subtract(d, a, b));
}

}  // namespace

TEST(NearbyLookups, MarkSquaresListEveryPointInReachInOrder) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> ground(-300.0f, 300.0f), height(-20.0f, 40.0f);
    const float reach = 50.0f, nan = std::numeric_limits<float>::quiet_NaN();
    for (int layout = 0; layout < 200; layout++) {
        std::vector<Vector3> points;
        for (int i = 0; i < 300; i++)
            points.push_back(Vector3{ground(rng), ground(rng), height(rng)});
        // Exactly on square lines, a hair over, far off and not finite.
        points.push_back(Vector3{64.0f, -128.0f, 0.0f});
        points.push_back(Vector3{std::nextafter(64.0f, 0.0f), 0.0f, 0.0f});
        points.push_back(Vector3{3e9f, -3e9f, 0.0f});
        points.push_back(Vector3{nan, 0.0f, 0.0f});
        points.push_back(Vector3{250.0f, -250.0f, nan});
        MarkSquares squares;
        for (size_t i = 0; i < points.size(); i++)
            squares.Add(uint32_t(i), points[i]);
        squares.Sort();
        std::vector<uint32_t> listed;
        for (int probe = 0; probe < 20; probe++) {
            const Vector3 p = probe == 0 ? Vector3{64.0f + reach, 0.0f, 0.0f} : Vector3{ground(rng), ground(rng), 0.0f};
            ASSERT_TRUE(squares.Around(p, listed));
            ASSERT_TRUE(std::is_sorted(listed.begin(), listed.end()));
            ASSERT_EQ(std::adjacent_find(listed.begin(), listed.end()), listed.end());
            for (size_t i = 0; i < points.size(); i++) {
                const float d = DistanceSquared(points[i], p);
                // NaN distances count too: the dodge does not pass over them.
                if (d <= reach * reach || d != d) {
                    EXPECT_TRUE(std::binary_search(listed.begin(), listed.end(), uint32_t(i)))
                        << "layout " << layout << " point " << i;
                }
            }
        }
    }
    // A position not finite on any axis is as far from every point as it is
    // near: the caller scans them all.
    MarkSquares squares;
    squares.Add(0, Vector3{1.0f, 1.0f, 0.0f});
    for (const Vector3& p : {Vector3{INFINITY, 0.0f, 0.0f}, Vector3{0.0f, nan, 0.0f}, Vector3{0.0f, 0.0f, nan}}) {
        std::vector<uint32_t> listed{7};
        EXPECT_FALSE(squares.Around(p, listed)) << p.x << " " << p.y << " " << p.z;
        EXPECT_TRUE(listed.empty());
    }
}

// Marks read as the whole list does, in its order: those taken, then the
// projectiles added since; once the list has lost one, the list itself.
TEST(NearbyLookups, ProjectileMarksFindWhatTheListHolds) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> ground(-300.0f, 300.0f), height(-20.0f, 40.0f);
    const float reach = ProjectileMarks::WatchRadius, nan = std::numeric_limits<float>::quiet_NaN();
    CProjectileManager manager(nullptr);
    auto add = [&](int count) {
        for (int i = 0; i < count; i++) {
            manager.projectiles.emplace_back();
            CProjectile& p = manager.projectiles.back();
            p.body.position = Vector3{ground(rng), ground(rng), i == 0 ? nan : height(rng)};
            p.alive = rng() % 8 != 0;
        }
    };
    ProjectileMarks marks;
    for (int layout = 0; layout < 60; layout++) {
        const bool losesOne = layout % 3 == 2;
        manager.Clear();
        add(layout % 4 == 0 ? 0 : 150);
        if (losesOne)
            manager.Update(0.0f);   // the spent go now, so that one goes below
        marks.Take(manager);
        if (losesOne && !manager.projectiles.empty()) {
            manager.projectiles.front().alive = false;
            manager.Update(0.0f);
            add(1);   // as many as were marked
        }
        add(int(rng() % 20));
        for (int probe = 0; probe < 20; probe++) {
            const Vector3 near{ground(rng), ground(rng), 0.0f};
            auto counts = [&](const CProjectile& p, const Vector3& at) {
                const float d = DistanceSquared(at, near);
                return p.alive && (d <= reach * reach || d != d);
            };
            std::vector<const CProjectile*> all, found;
            for (const CProjectile& p : manager.projectiles)
                if (counts(p, p.GetPosition()))
                    all.push_back(&p);
            marks.Find(manager, near, [&](CProjectile& p, const Vector3& at) {
                if (counts(p, at))
                    found.push_back(&p);
                return false;
            });
            ASSERT_EQ(found, all) << "layout " << layout << " probe " << probe;
        }
    }
    marks.Drop();
}

TEST(NearbyLookups, MemberBoxGapIsNeverMoreThanAMembersDistance) {
    std::mt19937 rng(9);
    std::uniform_real_distribution<float> ground(-100.0f, 100.0f), spread(0.0f, 20.0f);
    for (int layout = 0; layout < 500; layout++) {
        std::vector<Vector3> members;
        const Vector3 centre{ground(rng), ground(rng), 0.0f};
        const int count = 1 + int(rng() % 10);
        for (int i = 0; i < count; i++)
            members.push_back(Vector3{centre.x + spread(rng), centre.y - spread(rng), spread(rng) * 0.1f});
        const MemberBox box = MemberBoxAround(members);
        ASSERT_TRUE(box.bounded);
        for (int probe = 0; probe < 20; probe++) {
            const Vector3 p{ground(rng), ground(rng), 0.0f};
            float nearest = INFINITY;
            for (const Vector3& m : members)
                nearest = std::min(nearest, DistanceSquared(m, p));
            EXPECT_LE(MemberBoxGapSquared(box, p), nearest);
        }
    }
    // No members, or one not finite: the box cannot rule anything out.
    EXPECT_FALSE(MemberBoxAround({}).bounded);
    const MemberBox lost = MemberBoxAround({Vector3{0, 0, 0}, Vector3{INFINITY, 0, 0}});
    EXPECT_EQ(MemberBoxGapSquared(lost, Vector3{500, 500, 0}), 0.0f);
}

// The gap is the distance to the box itself, so a squad is passed over only
// as far off as it really is: off each face alone, on x, y and height, the
// gap is that axis's distance to the face.
TEST(NearbyLookups, MemberBoxGapIsExactOnEveryAxis) {
    const MemberBox box = MemberBoxAround({Vector3{1, 2, 3}, Vector3{4, 6, 5}, Vector3{2, 3, 4}});
    ASSERT_TRUE(box.bounded);
    struct Case {
        const char* axis;
        Vector3 below, above;
    };
    const Case cases[] = {{"x", Vector3{-2, 4, 4}, Vector3{9, 4, 4}},
                          {"y", Vector3{3, -1, 4}, Vector3{3, 11, 4}},
                          {"z", Vector3{3, 4, 0}, Vector3{3, 4, 10}}};
    for (const Case& c : cases) {
        EXPECT_EQ(MemberBoxGapSquared(box, c.below), 9.0f) << c.axis << " below";
        EXPECT_EQ(MemberBoxGapSquared(box, c.above), 25.0f) << c.axis << " above";
    }
    EXPECT_EQ(MemberBoxGapSquared(box, Vector3{0, 0, 7}), 1.0f + 4.0f + 4.0f) << "off a corner";
    EXPECT_EQ(MemberBoxGapSquared(box, Vector3{3, 3, 4}), 0.0f) << "inside";
}
