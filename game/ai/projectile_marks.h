// Where the live projectiles stand as the team AI's update begins, filed by
// square of the ground, so that each soldier's dodge reads only the marks
// around it instead of the world's whole list. Projectiles stand still while
// the AI runs; those fired meanwhile follow the last marked one in the list.
#ifndef GAME_AI_PROJECTILE_MARKS_H
#define GAME_AI_PROJECTILE_MARKS_H

#include <cstdint>
#include <iterator>
#include <list>
#include <vector>

#include "core/vector.h"
#include "game/ai/mark_squares.h"
#include "game/weapons/projectile.h"

class ProjectileMarks {
public:
    // How far from a soldier a projectile can matter to it.
    static constexpr float WatchRadius = 50.0f;
    static_assert(WatchRadius < MarkSquares::SquareSize, "marks are filed by watch radius");

    // Marks the live projectiles of the list, as an update begins.
    void Take(CProjectileManager& projectiles);
    // As the update ends: the projectiles move on, lookups read the list.
    void Drop() { taken_ = nullptr; }

    // Calls f(projectile, position) for the projectiles of the list in its
    // order until f returns true; f checks that the projectile is alive and
    // passes over those farther than WatchRadius from `near`. Marks serve
    // while they are of this list and it has lost none since; otherwise the
    // whole list is read.
    template <typename F>
    void Find(CProjectileManager& projectiles, const Vector3& near, F f);

private:
    struct Mark {
        Vector3 position;
        CProjectile* projectile;
    };

    bool Hold(const CProjectileManager& projectiles) const {
        return taken_ == &projectiles && projectiles.Removals() == removals_;
    }

    const CProjectileManager* taken_ = nullptr;   // none: no marks
    uint64_t removals_ = 0;                         // the list's removals when taken
    bool listedAny_ = false;
    std::list<CProjectile>::iterator lastMarked_;  // the list's last when taken
    std::vector<Mark> marks_;
    MarkSquares squares_;
    std::vector<uint32_t> around_;
};

template <typename F>
void ProjectileMarks::Find(CProjectileManager& projectiles, const Vector3& near, F f) {
    std::list<CProjectile>& list = projectiles.projectiles;
    auto from = list.begin();
    if (Hold(projectiles)) {
        if (squares_.Around(near, around_)) {
            for (uint32_t i : around_)
                if (f(*marks_[i].projectile, marks_[i].position))
                    return;
        } else {
            for (const Mark& m : marks_)
                if (f(*m.projectile, m.position))
                    return;
        }
        from = listedAny_ ? std::next(lastMarked_) : list.begin();
    }
    // Projectiles fired since the marks were taken, or all of them.
    for (auto it = from; it != list.end(); ++it)
        if (f(*it, it->GetPosition()))
            return;
}

#endif
