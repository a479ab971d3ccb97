#ifndef DATAGEN_PROJECTILE_NAMES_H
#define DATAGEN_PROJECTILE_NAMES_H

// The models under models\projectiles\ that the projectile and grenade tables
// name, each with its shape.
enum class ProjectileShape { Bullet, Rocket, Grenade };

struct ProjectileModelName {
  const char* name;
  ProjectileShape shape;
};

const ProjectileModelName ProjectileModels[] = {
    {"bullet", ProjectileShape::Bullet},
    {"rocket", ProjectileShape::Rocket},
    {"grenade", ProjectileShape::Grenade},
};

class MeshBuilder;

// Adds the projectile's shape to the mesh.
void BuildProjectile(ProjectileShape shape, MeshBuilder& mesh);

#endif
