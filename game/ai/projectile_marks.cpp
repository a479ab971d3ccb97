#include "game/ai/projectile_marks.h"

void ProjectileMarks::Take(CProjectileManager& projectiles) {
    std::list<CProjectile>& list = projectiles.projectiles;
    marks_.clear();
    squares_.Clear();
    for (CProjectile& p : list)
        if (p.alive) {
            squares_.Add(uint32_t(marks_.size()), p.GetPosition());
            marks_.push_back(Mark{p.GetPosition(), &p});
        }
    squares_.Sort();
    taken_ = &projectiles;
    removals_ = projectiles.Removals();
    listedAny_ = !list.empty();
    if (listedAny_)
        lastMarked_ = std::prev(list.end());
}
