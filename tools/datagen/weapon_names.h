#ifndef DATAGEN_WEAPON_NAMES_H
#define DATAGEN_WEAPON_NAMES_H

// The weapons the weapons table lists, in its row order: each model's base name
// under models\weapons\ (its heads-up picture under ui\ has the same base name)
// and the shape built for it.
enum class WeaponShape { Knife, Rifle, RocketLauncher, FlareGun, Hatchet, Mortar };

struct WeaponModelName {
  const char* name;
  WeaponShape shape;
};

const WeaponModelName WeaponModels[] = {
    {"knife", WeaponShape::Knife},
    {"rifle", WeaponShape::Rifle},
    {"launcher", WeaponShape::RocketLauncher},
    {"flaregun", WeaponShape::FlareGun},
    {"hatchet", WeaponShape::Hatchet},
    {"mortar", WeaponShape::Mortar},
};

class MeshBuilder;
struct Vec3;

// Adds the weapon's shape to the mesh; returns the muzzle position.
Vec3 BuildWeapon(WeaponShape shape, MeshBuilder& mesh);

#endif
